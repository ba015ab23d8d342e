#pragma once
// The dialogs of drawing objects: pen and brush of any drawing object, and the text and
// font of a free text label.
#include "platform/dialogmodel.h"

namespace qv {

/// "Graphics propertes": the pen and brush of one drawing object. One instance serves every
/// drawing object; the caller names the pen and brush to edit before showing it.
class GraphicsPropertiesDialog : public DialogModel {
  public:
    GraphicsPropertiesDialog();
    QString caption() const override {
        return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Graphics propertes"));
    }
    void show() override;
    bool ok() override;

    /// The pen and brush that `show` reads and `ok` writes; null for none.
    void setTarget(Pen* pen, Brush* brush) {
        pen_ = pen;
        brush_ = brush;
    }

    static constexpr int kMaxPenWidth = 100000;

  private:
    Pen* pen_ = nullptr;
    Brush* brush_ = nullptr;
};

/// "Text input": a text with its font. Owns `dialogFont`, which the "Font" button replaces
/// with the platform font dialog's choice and OK overwrites with what the controls hold.
class TextInputDialog : public DialogModel {
  public:
    TextInputDialog();
    QString caption() const override { return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Text input")); }
    void show() override;
    bool ok() override;
    QStringList extraButtons() const override {
        return {QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Font"))};
    }
    void pressed(const QString& button) override;

    static constexpr int kMaxTextLength = 100;
    static constexpr int kMinHeight = 1, kMaxHeight = 1000;

    FontRec dialogFont;
    /// Shows the platform font dialog for "Font"; without one the button does nothing.
    DialogPresenter* fontPresenter = nullptr;
};

} // namespace qv
