#pragma once
// "Voltage diagramm": the potential diagram of a loop with its scale, shown modally. The
// window is made once and reused; it can be made larger, and the drawing area grows with it.
#include <QDialog>
#include <QImage>
#include <functional>
#include <vector>

#include "app/potentialcommand.h"
#include "platform/messages.h"

class QFrame;
class QLabel;
class QPushButton;

namespace qv {
class Workbench;
}

namespace qv::gui {

class PotentialWindow : public QDialog {
    Q_OBJECT

  public:
    /// The client area at its first (and smallest) size.
    static constexpr int kClientWidth = 587;
    static constexpr int kClientHeight = 406;

    explicit PotentialWindow(QWidget* parent = nullptr);

    /// Replaces the window's copy of the profile and relabels the scale.
    void setDiagram(const PotentialDiagram& diagram);
    const PotentialDiagram& diagram() const { return diagram_; }

    /// The drawing area's size in pixels (477 x 285 at the first size).
    QSize drawingSize() const;
    /// The drawing area as a picture of its present size.
    QImage picture() const { return diagram_.image(drawingSize().width(), drawingSize().height()); }

    /// "Copy to cllipboard".
    void copyPicture();
    /// "Save To file": asks for a name (`chooseFile`), then writes PNG or SVG by the extension,
    /// a bitmap otherwise; a file that cannot be written is told in a message box.
    void savePicture();
    /// Asks for the file name of "Save To file"; empty for cancel. The save dialog by default.
    std::function<QString()> chooseFile;
    /// Where a failed save is told; not owned.
    Messages* messages = nullptr;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layOut();
    void placeVoltUnit();
    PotentialDiagram diagram_;
    QFrame* frame_ = nullptr;
    QWidget* area_ = nullptr;
    std::vector<QLabel*> potentialLabels_; ///< bottom to top
    std::vector<QLabel*> abscissaLabels_;
    QLabel* voltUnit_ = nullptr;
    QLabel* ohmUnit_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* save_ = nullptr;
};

/// The "Potential diagram" command of the main window: the loop dialog, then the window
/// (one per `parent`, kept for the next time) with the chosen loop's profile. Nothing is shown
/// when no loop was chosen or its profile cannot be made.
void potentialDiagramCommand(Workbench& workbench, QWidget* parent);

} // namespace qv::gui
