#pragma once
// The layer check-list shown by the "Layers" window and beside the vector diagram.
#include <QListWidget>
#include <vector>

namespace qv::gui {

/// The scheme's six layers in the order the document expects their ticks, then the values of
/// the last solution ("Results"), all ticked.
class LayerList : public QListWidget {
    Q_OBJECT
  public:
    explicit LayerList(QWidget* parent = nullptr);
    /// The same with the items `names` (the vector diagram's layers).
    LayerList(const QStringList& names, QWidget* parent);
    /// The items of the vector diagram's layer box.
    static QStringList vectorLayerNames();
    std::vector<bool> ticks() const;

  signals:
    /// A tick changed; carries all ticks.
    void ticksChanged(const std::vector<bool>& ticks);
};

} // namespace qv::gui
