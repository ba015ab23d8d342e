#include "mainwindow.h"

#include <QAction>
#include <QDockWidget>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>

#include "app/solvecommand.h"
#include "icons.h"
#include "layerlist.h"
#include "schemepage.h"
#include "solutionpage.h"
#include "vectorpage.h"

namespace qv::gui {
namespace {

// Tab order of the pages.
constexpr Page kPages[] = {Page::Scheme, Page::Solution, Page::Vector};

QAction* findIn(const QList<QAction*>& actions, const QString& caption) {
    for (QAction* a : actions) {
        if (a->text() == caption) return a;
        if (QMenu* m = a->menu())
            if (QAction* found = findIn(m->actions(), caption)) return found;
    }
    return nullptr;
}

} // namespace

MainWindow::MainWindow(const QString& homeDir, QWidget* parent)
    : QMainWindow(parent), messages_(this), presenter_(this),
      workbench_(std::make_unique<Workbench>(homeDir)) {
    workbench_->context().setMessages(&messages_);
    workbench_->context().setPresenter(&presenter_);

    buildPages();
    buildMenus();
    buildLayersWindow();
    buildStatusBar();
    setWindowTitle(workbench_->caption());
    resize(1000, 700);
    applyPageTools();
}

MainWindow::~MainWindow() {
    // The pages and the layer list refer to the workbench, which goes before Qt would delete
    // them; and removing the pages must not run the page-change handler.
    tabs_->blockSignals(true);
    delete tabs_;
    delete layers_;
}

void MainWindow::buildPages() {
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("pages"));
    schemePage_ = new SchemePage(*workbench_, tabs_);
    solutionPage_ = new SolutionPage(tabs_);
    vectorPage_ = new VectorPage(*workbench_, tabs_);
    tabs_->addTab(schemePage_, QStringLiteral("Scheme"));
    tabs_->addTab(solutionPage_, QStringLiteral("Solution"));
    tabs_->addTab(vectorPage_, QStringLiteral("Vector diagram"));
    setCentralWidget(tabs_);
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { applyPageTools(); });
}

QAction* MainWindow::command(QMenu* menu, const QString& caption, std::function<void()> run) {
    QAction* a = menu->addAction(caption);
    // Commands whose work is not built yet stay visible but cannot be chosen.
    if (run)
        connect(a, &QAction::triggered, this, std::move(run));
    else
        a->setEnabled(false);
    return a;
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    shared_["New"] = command(file, QStringLiteral("New"));
    shared_["New"]->setIcon(makeIcon(IconKind::New));
    shared_["Open"] = command(file, QStringLiteral("Open"));
    shared_["Open"]->setIcon(makeIcon(IconKind::Open));
    command(file, QStringLiteral("Open schem"), [this] { openSchemeCommand(); });
    command(file, QStringLiteral("Open vector diagram"));
    file->addSeparator();
    shared_["Save"] = command(file, QStringLiteral("Save"));
    shared_["Save"]->setIcon(makeIcon(IconKind::Save));
    command(file, QStringLiteral("Save As"));
    command(file, QStringLiteral("Save schem"), [this] { saveSchemeCommand(); });
    command(file, QStringLiteral("Save vector diagram"));
    command(file, QStringLiteral("Save schem image"));
    command(file, QStringLiteral("Save vector diagram image"));
    command(file, QStringLiteral("Save solution"));
    file->addSeparator();
    command(file, QStringLiteral("Exit"), [this] { exitCommand(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("Edit"));
    command(edit, QStringLiteral("Undo"));
    edit->addSeparator();
    QMenu* insert = edit->addMenu(QStringLiteral("Insert Device"));
    const std::pair<const char*, IconKind> devices[] = {{"Node", IconKind::Node},
                                                        {"Branch", IconKind::Branch},
                                                        {"Resistor", IconKind::Resistor},
                                                        {"DC voltage source", IconKind::DcVoltage},
                                                        {"DC curent source", IconKind::DcCurrent},
                                                        {"Ground", IconKind::Ground}};
    for (auto [caption, icon] : devices) {
        QAction* a = command(insert, QString::fromUtf8(caption));
        a->setIcon(makeIcon(icon));
        shared_[a->text()] = a;
    }
    command(edit, QStringLiteral("Edit Devices"));
    command(edit, QStringLiteral("Insert Graphics"));
    edit->addSeparator();
    command(edit, QStringLiteral("Kill all branch arrows"), [this] {
        workbench_->setAllArrows(false);
        repaintScheme();
    });
    command(edit, QStringLiteral("Set all branch arrows"), [this] {
        workbench_->setAllArrows(true);
        repaintScheme();
    });

    QMenu* loops = menuBar()->addMenu(QStringLiteral("Loops"));
    command(loops, QStringLiteral("New Loop"));
    shared_["Loops List"] = command(loops, QStringLiteral("Loops List"), [this] {
        workbench_->showLoopsList();
        repaintScheme(); // a loop shown while its dialog was open is hidden again
    });
    shared_["Loops List"]->setIcon(makeIcon(IconKind::LoopList));

    QMenu* calc = menuBar()->addMenu(QStringLiteral("Calculate"));
    shared_["Solve by Kirchoff Laws"] =
        command(calc, QStringLiteral("Solve by Kirchoff Laws"), [this] { solveCommand("kirchhoff"); });
    shared_["Solve by Kirchoff Laws"]->setIcon(makeIcon(IconKind::SolveKirchhoff));
    shared_["Solve by mesh current method"] =
        command(calc, QStringLiteral("Solve by mesh current method"), [this] { solveCommand("mesh"); });
    shared_["Solve by mesh current method"]->setIcon(makeIcon(IconKind::SolveMesh));
    shared_["Solve by node voltage method"] =
        command(calc, QStringLiteral("Solve by node voltage method"), [this] { solveCommand("node"); });
    shared_["Solve by node voltage method"]->setIcon(makeIcon(IconKind::SolveNodes));
    calc->addSeparator();
    for (const char* caption : {"Power balance", "Potential diagram", "Create vector diagramm"})
        command(calc, QString::fromUtf8(caption));
    calc->addSeparator();
    command(calc, QStringLiteral("Freqncy"), [this] {
        if (FrequencyDialog::edit(workbench_->scheme())) workbench_->modified = true;
    });

    QMenu* service = menuBar()->addMenu(QStringLiteral("Service"));
    shared_["Calculator"] = command(service, QStringLiteral("Calculator"), [this] { calculatorCommand(); });
    shared_["Calculator"]->setIcon(makeIcon(IconKind::Calculator));
    command(service, QStringLiteral("Option"), [this] { workbench_->showOptions(); });
    shared_["Background and snap"] = command(service, QStringLiteral("Background and snap"));
    shared_["Background and snap"]->setIcon(makeIcon(IconKind::Snap));
    command(service, QStringLiteral("Vector diagram editor"));

    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    command(help, QStringLiteral("User guide"));
    command(help, QStringLiteral("About"), [this] { aboutCommand(); });

    buildToolBars();
    viewToggle(view, QStringLiteral("Drawings"), drawing_);
    viewToggle(view, QStringLiteral("DC Devices"), dcDevices_);
    viewToggle(view, QStringLiteral("Navigation"), navigation_);
    viewToggle(view, QStringLiteral("Files"), files_);
}

QToolBar* MainWindow::makeToolBar(const QString& name) {
    QToolBar* bar = addToolBar(name);
    bar->setObjectName(name);
    bar->setIconSize(QSize(24, 24));
    return bar;
}

void MainWindow::buildToolBars() {
    auto disabled = [](QToolBar* bar, IconKind icon, const QString& hint) {
        QAction* a = bar->addAction(makeIcon(icon), hint);
        a->setEnabled(false);
        return a;
    };

    files_ = makeToolBar(QStringLiteral("Files"));
    files_->addAction(shared_["New"]);
    files_->addAction(shared_["Open"]);
    files_->addAction(shared_["Save"]);
    disabled(files_, IconKind::Print, QStringLiteral("Print"));

    navigation_ = makeToolBar(QStringLiteral("Navigation"));
    disabled(navigation_, IconKind::Left, QStringLiteral("Left"));
    disabled(navigation_, IconKind::Right, QStringLiteral("Right"));
    disabled(navigation_, IconKind::Up, QStringLiteral("Up"));
    disabled(navigation_, IconKind::Down, QStringLiteral("Down"));
    navigation_->addAction(shared_["Background and snap"]);
    auto* zoom = new QSpinBox(navigation_);
    zoom->setObjectName(QStringLiteral("zoom"));
    zoom->setRange(25, 400);
    zoom->setSingleStep(25);
    zoom->setValue(100);
    zoom->setSuffix(QStringLiteral(" %"));
    navigation_->addWidget(zoom);
    connect(zoom, &QSpinBox::valueChanged, this, [this](int value) {
        workbench_->zoom = Extended(value) / 100;
        statusBar()->setFocus();
        repaintScheme();
        vectorPage_->canvas()->update();
    });

    calculation_ = makeToolBar(QStringLiteral("Calculation"));
    disabled(calculation_, IconKind::Loop, QStringLiteral("Create Loop"));
    calculation_->addAction(shared_["Loops List"]);
    QAction* solveKirchhoff =
        calculation_->addAction(makeIcon(IconKind::SolveKirchhoff), QStringLiteral("Solve by Kirchoff Law"));
    connect(solveKirchhoff, &QAction::triggered, this, [this] { solveCommand("kirchhoff"); });
    QAction* solveMesh =
        calculation_->addAction(makeIcon(IconKind::SolveMesh), QStringLiteral("Solve by loops equations"));
    connect(solveMesh, &QAction::triggered, this, [this] { solveCommand("mesh"); });
    QAction* solveNodes =
        calculation_->addAction(makeIcon(IconKind::SolveNodes), QStringLiteral("Solve by nodes equations"));
    connect(solveNodes, &QAction::triggered, this, [this] { solveCommand("node"); });
    disabled(calculation_, IconKind::PowerBalance, QStringLiteral("Power balance calculation"));
    calculation_->addAction(shared_["Calculator"]);
    QAction* options = calculation_->addAction(makeIcon(IconKind::Options), QStringLiteral("Options"));
    connect(options, &QAction::triggered, this, [this] { workbench_->showOptions(); });

    addToolBarBreak();
    dcDevices_ = makeToolBar(QStringLiteral("DC Devices"));
    for (const char* caption :
         {"Node", "Branch", "Resistor", "DC voltage source", "DC curent source", "Ground"})
        dcDevices_->addAction(shared_[QString::fromUtf8(caption)]);

    // The second device toolbar's buttons have no hints.
    acDevices_ = makeToolBar(QStringLiteral("AC Devices"));
    const std::pair<const char*, IconKind> ac[] = {{"capacitor", IconKind::Capacitor},
                                                   {"inductor", IconKind::Inductor},
                                                   {"impedance", IconKind::Impedance},
                                                   {"acVoltageSource", IconKind::AcVoltage},
                                                   {"acCurrentSource", IconKind::AcCurrent}};
    for (auto [name, icon] : ac) {
        QAction* a = disabled(acDevices_, icon, QString());
        a->setObjectName(QString::fromUtf8(name));
    }

    drawing_ = makeToolBar(QStringLiteral("Drawing"));
    disabled(drawing_, IconKind::Line, QStringLiteral("Line"));
    disabled(drawing_, IconKind::Circle, QStringLiteral("Circle"));
    disabled(drawing_, IconKind::Arc, QStringLiteral("Arc"));
    disabled(drawing_, IconKind::Text, QStringLiteral("Text"));
    disabled(drawing_, IconKind::Polygon, QStringLiteral("Polygon"));
    disabled(drawing_, IconKind::Polyline, QStringLiteral("Polyline"));

    vectorTools_ = makeToolBar(QStringLiteral("Vector diagram"));
    disabled(vectorTools_, IconKind::Line, QStringLiteral("Line"));
    disabled(vectorTools_, IconKind::Text, QStringLiteral("Text"));
    disabled(vectorTools_, IconKind::Vector, QStringLiteral("Vector"));
    disabled(vectorTools_, IconKind::Circle, QStringLiteral("Circle"));
    disabled(vectorTools_, IconKind::Polygon, QStringLiteral("Polygon"));
    disabled(vectorTools_, IconKind::Polyline, QStringLiteral("Polyline"));
    disabled(vectorTools_, IconKind::Point, QStringLiteral("Point"))->setVisible(false);
}

void MainWindow::viewToggle(QMenu* menu, const QString& caption, QToolBar* bar) {
    QAction* a = menu->addAction(caption);
    a->setCheckable(true);
    a->setChecked(!bar->isHidden());
    connect(a, &QAction::triggered, bar, &QToolBar::setVisible);
    viewChecks_.insert(bar, a);
    // Whoever hides the toolbar (the page, its own close, the menu), the check follows.
    bar->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) {
        auto* bar = qobject_cast<QToolBar*>(watched);
        if (QAction* check = bar ? viewChecks_.value(bar) : nullptr) {
            QSignalBlocker quiet(check);
            check->setChecked(event->type() == QEvent::ShowToParent);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::buildLayersWindow() {
    layers_ = new QDockWidget(QStringLiteral("Layers"), this);
    layers_->setObjectName(QStringLiteral("Layers"));
    layerList_ = new LayerList(layers_);
    layers_->setWidget(layerList_);
    addDockWidget(Qt::LeftDockWidgetArea, layers_);
    layers_->setFloating(true);
    layers_->resize(170, 190);
    connect(layerList_, &LayerList::ticksChanged, this, [this](const std::vector<bool>& ticks) {
        workbench_->scheme().syncLayerVisibility(ticks);
        repaintScheme();
    });
}

void MainWindow::buildStatusBar() {
    status0_ = new QLabel(this);
    status0_->setFixedWidth(240);
    status1_ = new QLabel(this);
    status1_->setMinimumWidth(50);
    statusBar()->addWidget(status0_);
    statusBar()->addWidget(status1_, 1);
    connect(schemePage_, &SchemePage::pointerText, status1_, &QLabel::setText);
}

Page MainWindow::currentPage() const {
    int i = tabs_->currentIndex();
    return i >= 0 && i < int(std::size(kPages)) ? kPages[i] : Page::Scheme;
}

void MainWindow::setCurrentPage(Page page) {
    for (int i = 0; i < int(std::size(kPages)); ++i)
        if (kPages[i] == page) tabs_->setCurrentIndex(i);
}

void MainWindow::applyPageTools() {
    ToolVisibility t = Workbench::toolsForPage(currentPage());
    // The floating window is a window of its own: show it only with the main window.
    if (!t.layers || isVisible()) layers_->setVisible(t.layers);
    dcDevices_->setVisible(t.devices);
    acDevices_->setVisible(t.acDevices);
    drawing_->setVisible(t.drawing);
    vectorTools_->setVisible(t.vectorTools);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    layers_->move(frameGeometry().topLeft() + QPoint(20, 150));
    applyPageTools();
}

void MainWindow::repaintScheme() {
    schemePage_->update();
}

bool MainWindow::openScheme(const QString& path) {
    QString error;
    if (!workbench_->openScheme(path, &error)) {
        messages_.show(error, QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    repaintScheme();
    return true;
}

void MainWindow::solveCommand(const std::string& method) {
    QTextEdit* editor = solutionPage_->editor();
    QTextCursor caret = editor->textCursor();
    const int before = editor->document()->characterCount();
    const bool solved = runSolveCommand(workbench_->scheme(), method, caret);
    // A failed solution keeps what it wrote; the page shows that too.
    if (solved || editor->document()->characterCount() != before) {
        editor->setTextCursor(caret);
        tabs_->setCurrentWidget(solutionPage_);
    }
}

void MainWindow::openSchemeCommand() {
    QString path =
        QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("Schem file(*.tbe)"));
    if (!path.isEmpty()) openScheme(path);
}

void MainWindow::saveSchemeCommand() {
    QString path =
        QFileDialog::getSaveFileName(this, QString(), QString(), QStringLiteral("Schem file(*.tbe)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".tbe");
    QString error;
    if (!workbench_->saveScheme(path, &error))
        messages_.show(error, QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Error);
}

void MainWindow::calculatorCommand() {
    // The calculator does not block the main window; OK evaluates and it stays open.
    if (!calculator_) {
        calculator_ = new ModelDialog(workbench_->calculator(), this);
        calculator_->setModal(false);
    }
    calculator_->show();
    calculator_->raise();
    calculator_->activateWindow();
}

void MainWindow::exitCommand() {
    if (workbench_->modified &&
        workbench_->context().messages()->show(QStringLiteral("Save file?"), QStringLiteral("Exit"),
                                               MsgButtons::YesNo) == MsgResult::Yes) {
        // Saving the workshop joins here once workshop files are built.
    }
    close();
}

void MainWindow::aboutCommand() {
    QMessageBox::about(this, QStringLiteral("About"),
                       QStringLiteral("<h3>Quorvel</h3><p>A workbench for direct- and alternating-current "
                                      "circuits.</p><p>Version %1</p>")
                           .arg(QStringLiteral(QUORVEL_VERSION)));
}

QAction* MainWindow::menuAction(const QString& caption) const {
    return findIn(menuBar()->actions(), caption);
}

} // namespace qv::gui
