#include "gui/potentialwindow.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "app/workbench.h"
#include "platform/canvas.h"

namespace qv::gui {

namespace {

// Places at the first size, in the client area's pixels.
constexpr QRect kFrame(88, 24, 481, 289);
constexpr int kFrameBorder = 2;
constexpr int kPotentialLeft = 40;
/// Tops of the potential labels from the bottom one up.
constexpr int kPotentialTops[PotentialDiagram::kPotentialLabels] = {296, 256, 224, 192, 152, 120, 88, 48, 16};
constexpr int kAbscissaTop = 320;
constexpr int kAbscissaLefts[PotentialDiagram::kAbscissaLabels] = {192, 304, 432, 544};
constexpr QPoint kVoltUnit(32, 8);
constexpr QPoint kOhmUnit(544, 336);
constexpr QRect kOk(40, 360, 145, 33), kCopy(208, 360, 177, 33), kSave(424, 360, 137, 33);

/// The drawing area: white, grid and profile, painted on each repaint at its present size.
class DiagramArea : public QWidget {
  public:
    DiagramArea(const PotentialDiagram& diagram, QWidget* parent) : QWidget(parent), diagram_(diagram) {
        setObjectName(QStringLiteral("drawingArea"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        Canvas canvas(&painter);
        diagram_.paint(canvas, width(), height());
    }

  private:
    const PotentialDiagram& diagram_;
};

QLabel* makeLabel(QWidget* parent, const QString& name) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    return l;
}

/// Sizes a label to its text and moves it left where it would otherwise run past `rightLimit`.
void place(QLabel* label, QPoint at, int rightLimit) {
    label->adjustSize();
    const int x = std::max(0, std::min(at.x(), rightLimit - label->width()));
    label->move(x, at.y());
}

} // namespace

PotentialWindow::PotentialWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("potentialWindow"));
    setWindowTitle(tr("Voltage diagramm"));
    setSizeGripEnabled(true);
    setMinimumSize(kClientWidth, kClientHeight);

    frame_ = new QFrame(this);
    frame_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame_->setLineWidth(kFrameBorder);
    area_ = new DiagramArea(diagram_, frame_);

    for (int k = 0; k < PotentialDiagram::kPotentialLabels; ++k)
        potentialLabels_.push_back(makeLabel(this, QStringLiteral("potential%1").arg(k)));
    for (int k = 0; k < PotentialDiagram::kAbscissaLabels; ++k)
        abscissaLabels_.push_back(makeLabel(this, QStringLiteral("abscissa%1").arg(k)));
    voltUnit_ = makeLabel(this, QStringLiteral("voltUnit"));
    voltUnit_->setText(QString::fromUtf8("В"));
    ohmUnit_ = makeLabel(this, QStringLiteral("ohmUnit"));
    ohmUnit_->setText(QString::fromUtf8("Ом"));

    ok_ = new QPushButton(tr("OK"), this);
    ok_->setDefault(true);
    copy_ = new QPushButton(tr("Copy to cllipboard"), this);
    save_ = new QPushButton(tr("Save To file"), this);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(copy_, &QPushButton::clicked, this, [this] { copyPicture(); });
    connect(save_, &QPushButton::clicked, this, [this] { savePicture(); });

    chooseFile = [this] { return QFileDialog::getSaveFileName(this); };
    resize(kClientWidth, kClientHeight);
    setDiagram(diagram_);
}

void PotentialWindow::setDiagram(const PotentialDiagram& diagram) {
    diagram_ = diagram;
    for (int k = 0; k < PotentialDiagram::kPotentialLabels; ++k)
        potentialLabels_[size_t(k)]->setText(diagram_.potentialLabels().value(k));
    for (int k = 0; k < PotentialDiagram::kAbscissaLabels; ++k)
        abscissaLabels_[size_t(k)]->setText(diagram_.abscissaLabels().value(k));
    layOut();
    area_->update();
}

QSize PotentialWindow::drawingSize() const {
    return area_->size();
}

void PotentialWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layOut();
}

// At the first size everything stands where the table of places puts it; a larger window
// gives its growth to the drawing area, and the scale's labels keep to their grid lines. A
// potential label too wide for the margin left of the frame moves the frame's left edge
// right rather than run under it.
void PotentialWindow::layOut() {
    const int dx = std::max(0, width() - kClientWidth);
    const int dy = std::max(0, height() - kClientHeight);
    const int gap = kFrame.left() - 2; // the labels end here at the latest
    int widest = 0;
    for (QLabel* l : potentialLabels_) {
        l->adjustSize();
        widest = std::max(widest, l->width());
    }
    const int shift = std::max(0, widest - gap);
    frame_->setGeometry(kFrame.adjusted(shift, 0, dx, dy));
    area_->setGeometry(frame_->contentsRect());

    for (int k = 0; k < PotentialDiagram::kPotentialLabels; ++k) {
        const int top = kPotentialTops[k] + dy * (PotentialDiagram::kPotentialLabels - 1 - k) /
                                                (PotentialDiagram::kPotentialLabels - 1);
        place(potentialLabels_[size_t(k)], {kPotentialLeft, top}, gap + shift);
    }
    for (int k = 0; k < PotentialDiagram::kAbscissaLabels; ++k) {
        const int n = PotentialDiagram::kAbscissaLabels;
        const int left = kAbscissaLefts[k] + dx * (k + 1) / n + shift * (n - 1 - k) / n;
        place(abscissaLabels_[size_t(k)], {left, kAbscissaTop + dy}, width());
    }
    placeVoltUnit();
    place(ohmUnit_, kOhmUnit + QPoint(dx, dy), width());
    ok_->setGeometry(kOk.translated(0, dy));
    copy_->setGeometry(kCopy.translated(0, dy));
    save_->setGeometry(kSave.translated(0, dy));
}

// The unit stands where the table of places puts it unless the top potential label reaches
// there: then just left of that label, or, where the label is too wide for that, above the
// drawing area's left end, clear of every label.
void PotentialWindow::placeVoltUnit() {
    constexpr int kGap = 2;
    voltUnit_->adjustSize();
    const QRect top = potentialLabels_.back()->geometry();
    QPoint at = kVoltUnit;
    if (QRect(at, voltUnit_->size()).intersects(top.adjusted(-kGap, 0, 0, 0))) {
        at.setX(top.left() - kGap - voltUnit_->width());
        if (at.x() < 0) at = QPoint(frame_->x() + kGap, std::max(0, frame_->y() - voltUnit_->height()));
    }
    voltUnit_->move(at);
}

void PotentialWindow::copyPicture() {
    QGuiApplication::clipboard()->setImage(picture());
}

void PotentialWindow::savePicture() {
    const QString path = chooseFile ? chooseFile() : QString();
    if (path.isEmpty()) return;
    QString error;
    if (writePotentialPicture(diagram_, path, drawingSize(), &error)) return;
    if (messages) messages->show(error, QString(), MsgButtons::Ok, MsgIcon::Warning);
}

void potentialDiagramCommand(Workbench& workbench, QWidget* parent) {
    PotentialDiagram diagram;
    if (!workbench.potentialDiagram(diagram)) return;
    auto* window = parent ? parent->findChild<PotentialWindow*>(QStringLiteral("potentialWindow")) : nullptr;
    if (!window) window = new PotentialWindow(parent);
    window->messages = workbench.context().messages();
    window->setDiagram(diagram);
    // Centred on the screen, as the window has always opened.
    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        QRect r = window->frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        window->move(r.topLeft());
    }
    window->exec();
}

} // namespace qv::gui
