#include "mainwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>

#include "app/circuitcommands.h"
#include "app/exercises.h"
#include "app/solvecommand.h"
#include "icons.h"
#include "layerlist.h"
#include "potentialwindow.h"
#include "schemepage.h"
#include "solutionpage.h"
#include "vectorpage.h"

namespace qv::gui {
namespace {

/// The part of the workshop that opening `path` replaces; none for a workshop, which replaces all.
std::optional<Workbench::Part> partOfFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("qvw")) return std::nullopt;
    return suffix == QLatin1String("qvv") ? Workbench::Part::Vector : Workbench::Part::Scheme;
}

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
    // The Solution page is the workshop's third part, with a changed state of its own.
    workbench_->setSolutionPage(solutionPage_->editor()->document());
    solutionPage_->beforeEdit = [this] { workbench_->finishSolutionPage(); };
    connect(solutionPage_->editor()->document(), &QTextDocument::modificationChanged, this,
            [this] { updateCaption(); });
    buildMenus();
    buildLayersWindow();
    buildStatusBar();
    updateCaption();
    resize(1000, 700);
    setAcceptDrops(true);
    restoreGeometry(QSettings().value(QStringLiteral("window/geometry")).toByteArray());
    applyPageTools();
    // The arrow keys scroll the drawing page whichever control of the window has the focus.
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    // The pages and the layer list refer to the workbench, which goes before Qt would delete
    // them; and removing the pages must not run the page-change handler, nor the history's
    // last signals the caption handler.
    workbench_->undoStack().disconnect(this);
    // The keeper reads the Solution page, which goes with the pages.
    recovery_.reset();
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
    tabs_->addTab(schemePage_, tr("Scheme"));
    tabs_->addTab(solutionPage_, tr("Solution"));
    tabs_->addTab(vectorPage_, tr("Vector diagram"));
    setCentralWidget(tabs_);
    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        // A placement belongs to its page: leaving the page abandons it.
        workbench_->cancelEditing();
        refreshPages();
        applyPageTools();
        updateCaption();
    });
    for (Page page : {Page::Scheme, Page::Vector}) {
        DrawingArea* area = drawingArea(page);
        connect(area, &DrawingArea::edited, this, [this] { updateCaption(); });
        connect(area, &DrawingArea::popupRequested, this,
                [this, page](QPoint at, const Editor::Popup& popup) { popupMenu(page, at, popup); });
        connect(area, &DrawingArea::zoomStep, this,
                [this](int direction) { zoom_->setValue(zoom_->value() + direction * zoom_->singleStep()); });
    }
}

DrawingArea* MainWindow::drawingArea(Page page) const {
    switch (page) {
    case Page::Scheme:
        return schemePage_;
    case Page::Vector:
        return vectorPage_->canvas();
    case Page::Solution:
        return nullptr;
    }
    return nullptr;
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
    QMenu* file = menuBar()->addMenu(tr("File"));
    // A command shown in a menu and on a toolbar: one action with its icon and shortcut.
    auto shared = [this](Shared id, QMenu* menu, const QString& caption, IconKind icon,
                         std::function<void()> run,
                         QKeySequence::StandardKey key = QKeySequence::UnknownKey) {
        QAction* a = command(menu, caption, std::move(run));
        a->setIcon(makeIcon(icon));
        if (key != QKeySequence::UnknownKey) a->setShortcut(key);
        shared_[size_t(id)] = a;
        return a;
    };
    shared(
        Shared::New, file, tr("New"), IconKind::New, [this] { newCommand(); }, QKeySequence::New);
    shared(
        Shared::Open, file, tr("Open"), IconKind::Open, [this] { openCommand(); }, QKeySequence::Open);
    command(file, tr("Open schem"), [this] { openSchemeCommand(); });
    command(file, tr("Open vector diagram"), [this] { openVectorCommand(); });
    recent_ = file->addMenu(tr("Recent files"));
    rebuildRecentMenu();
    file->addSeparator();
    shared(
        Shared::Save, file, tr("Save"), IconKind::Save, [this] { saveCommand(false); }, QKeySequence::Save);
    command(file, tr("Save As"), [this] {
        saveCommand(true);
    })->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    command(file, tr("Save schem"), [this] { saveSchemeCommand(); });
    command(file, tr("Save vector diagram"), [this] { saveVectorCommand(); });
    command(file, tr("Save schem image"), [this] { saveSchemeImageCommand(); });
    command(file, tr("Save vector diagram image"), [this] { saveVectorImageCommand(); });
    command(file, tr("Save solution"), [this] { saveSolutionCommand(); });
    file->addSeparator();
    // A netlist's scheme takes the place of the open one, like a scheme file opened.
    command(file, tr("Import SPICE netlist"), [this] {
        if (!maybeSave(tr("Import SPICE netlist"))) return;
        const QString path =
            chooseFile(false, QString(), tr("SPICE netlist (*.cir *.net *.sp *.spice *.ckt);;All files (*)"));
        if (path.isEmpty()) return;
        QStringList problems;
        if (!importNetlistCommand(*workbench_, path, problems)) {
            workbench_->context().messages()->show(problems.join('\n'), tr("Import SPICE netlist"),
                                                   MsgButtons::Ok, MsgIcon::Error);
            return;
        }
        refreshPages();
        tabs_->setCurrentWidget(schemePage_);
        updateCaption();
    });
    // A drawn exercise takes the place of the open scheme, like an imported netlist.
    command(file, tr("New exercise..."), [this] {
        if (!maybeSave(tr("New exercise")) || !runNewExerciseCommand(*workbench_)) return;
        refreshPages();
        tabs_->setCurrentWidget(schemePage_);
        updateCaption();
    });
    command(file, tr("Export SPICE netlist"), [this] {
        QString path = chooseFile(true, QString(), tr("SPICE netlist (*.cir)"));
        if (path.isEmpty()) return;
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".cir");
        QString error;
        if (!exportNetlistCommand(*workbench_, path, error)) showError(error);
    });
    file->addSeparator();
    shared(
        Shared::Print, file, tr("Print"), IconKind::Print, [this] { printCommand(); }, QKeySequence::Print);
    file->addSeparator();
    command(file, tr("Exit"), [this] { exitCommand(); })->setShortcut(QKeySequence::Quit);

    QMenu* edit = menuBar()->addMenu(tr("Edit"));
    undo_ = command(edit, tr("Undo"), [this] { undoCommand(false); });
    undo_->setShortcut(QKeySequence::Undo);
    redo_ = command(edit, tr("Redo"), [this] { undoCommand(true); });
    redo_->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    QUndoStack& stack = workbench_->undoStack();
    auto followStack = [this, &stack] {
        undo_->setEnabled(stack.canUndo());
        redo_->setEnabled(stack.canRedo());
        undo_->setText(stack.canUndo() ? tr("Undo ") + stack.undoText() : tr("Undo"));
        redo_->setText(stack.canRedo() ? tr("Redo ") + stack.redoText() : tr("Redo"));
        updateCaption();
    };
    connect(&stack, &QUndoStack::indexChanged, this, followStack);
    connect(&stack, &QUndoStack::cleanChanged, this, followStack);
    followStack();
    edit->addSeparator();
    QMenu* insert = edit->addMenu(tr("Insert Device"));
    const std::tuple<const char*, IconKind, Tool> devices[] = {
        {QT_TR_NOOP("Node"), IconKind::Node, Tool::Node},
        {QT_TR_NOOP("Branch"), IconKind::Branch, Tool::Branch},
        {QT_TR_NOOP("Resistor"), IconKind::Resistor, Tool::Resistor},
        {QT_TR_NOOP("DC voltage source"), IconKind::DcVoltage, Tool::DcVoltageSource},
        {QT_TR_NOOP("DC curent source"), IconKind::DcCurrent, Tool::DcCurrentSource},
        {QT_TR_NOOP("Ground"), IconKind::Ground, Tool::Ground}};
    for (auto [caption, icon, tool] : devices) {
        QAction* a = command(insert, tr(caption), [this, tool = tool] { toolCommand(Page::Scheme, tool); });
        a->setIcon(makeIcon(icon));
        dcDeviceActions_.push_back(a);
    }
    command(edit, tr("Edit Devices"));
    command(edit, tr("Insert Graphics"));
    edit->addSeparator();
    command(edit, tr("Kill all branch arrows"), [this] {
        workbench_->setAllArrows(false);
        repaintScheme();
    });
    command(edit, tr("Set all branch arrows"), [this] {
        workbench_->setAllArrows(true);
        repaintScheme();
    });

    QMenu* loops = menuBar()->addMenu(tr("Loops"));
    shared_[size_t(Shared::NewLoop)] =
        command(loops, tr("New Loop"), [this] { toolCommand(Page::Scheme, Tool::Loop); });
    shared(Shared::LoopsList, loops, tr("Loops List"), IconKind::LoopList, [this] {
        workbench_->showLoopsList();
        repaintScheme(); // a loop shown while its dialog was open is hidden again
    });
    command(loops, QCoreApplication::translate("qv::Message", kFindLoopsCaption.toUtf8().constData()),
            [this] {
                findLoopsCommand(*workbench_);
                repaintScheme();
                updateCaption();
            });

    QMenu* calc = menuBar()->addMenu(tr("Calculate"));
    command(calc, tr("Solve by Kirchoff Laws"), [this] {
        solveCommand("kirchhoff");
    })->setIcon(makeIcon(IconKind::SolveKirchhoff));
    command(calc, tr("Solve by mesh current method"), [this] {
        solveCommand("mesh");
    })->setIcon(makeIcon(IconKind::SolveMesh));
    command(calc, tr("Solve by node voltage method"), [this] {
        solveCommand("node");
    })->setIcon(makeIcon(IconKind::SolveNodes));
    calc->addSeparator();
    shared_[size_t(Shared::PowerBalance)] = command(calc, tr("Power balance"), [this] {
        workbench_->finishSolutionPage();
        QTextEdit* editor = solutionPage_->editor();
        QTextCursor caret = editor->textCursor();
        if (!runPowerBalanceCommand(workbench_->scheme(), caret)) return;
        editor->setTextCursor(caret);
        tabs_->setCurrentWidget(solutionPage_);
    });
    command(calc, tr("Potential diagram"), [this] { potentialDiagramCommand(*workbench_, this); });
    command(calc, tr("Create vector diagramm"), [this] { createVectorCommand(); });
    calc->addSeparator();
    command(calc, tr("Freqncy"), [this] {
        if (FrequencyDialog::edit(workbench_->scheme())) workbench_->commit(tr("Freqncy"));
    });

    QMenu* service = menuBar()->addMenu(tr("Service"));
    shared(Shared::Calculator, service, tr("Calculator"), IconKind::Calculator,
           [this] { calculatorCommand(); });
    command(service, tr("Option"), [this] { optionsCommand(); });
    shared(Shared::BackgroundAndSnap, service, tr("Background and snap"), IconKind::Snap, [this] {
        if (workbench_->showDesktopOptions()) repaintScheme();
    });
    QAction* wires = command(service, tr("Vector diagram editor"), [this] {
        QString error;
        if (!workbench_->showWireCatalogue(&error)) showError(error);
    });
    wires->setStatusTip(tr("Справочник: the wire catalogue"));
    command(service, tr("Transformer catalogue"), [this] {
        QString error;
        if (!workbench_->showTransformerCatalogue(&error)) showError(error);
    });
    command(service, tr("Voltage classes"), [this] {
        QString error;
        if (!workbench_->showVoltageClasses(&error)) showError(error);
        repaintScheme();
    });

    QMenu* view = menuBar()->addMenu(tr("View"));
    QMenu* help = menuBar()->addMenu(tr("Help"));
    command(help, tr("User guide"));
    command(help, tr("About"), [this] { aboutCommand(); });

    buildToolBars();
    viewToggle(view, tr("Drawings"), drawing_);
    viewToggle(view, tr("DC Devices"), dcDevices_);
    viewToggle(view, tr("Navigation"), navigation_);
    viewToggle(view, tr("Files"), files_);
    buildPowerNetworkTools(insert, view);
    buildResultsView(view);
    buildLanguageMenu(view);
}

void MainWindow::buildResultsView(QMenu* view) {
    // Both choices are the user's and outlive the window; the values themselves do not.
    QSettings settings;
    OperatingPoint& results = workbench_->operatingPoint();
    results.setAcFormat(workbench_->scheme(), settings.value(QStringLiteral("view/acResults")).toInt() == 1
                                                  ? AcResultFormat::Rectangular
                                                  : AcResultFormat::Polar);
    QAction* show =
        view->addAction(QCoreApplication::translate("qv::Message", kShowResultsCaption.toUtf8().constData()));
    show->setCheckable(true);
    show->setChecked(settings.value(QStringLiteral("view/showResults"), false).toBool());
    results.shown = show->isChecked();
    connect(show, &QAction::toggled, this, [this](bool on) {
        workbench_->operatingPoint().shown = on;
        QSettings().setValue(QStringLiteral("view/showResults"), on);
        repaintScheme();
    });
}

void MainWindow::optionsCommand() {
    if (!workbench_->showOptions()) return;
    const bool rectangular = workbench_->operatingPoint().acFormat() == AcResultFormat::Rectangular;
    QSettings().setValue(QStringLiteral("view/acResults"), rectangular ? 1 : 0);
    repaintScheme();
}

Language MainWindow::chosenLanguage() {
    const QString name = QSettings().value(QStringLiteral("view/language")).toString();
    return languageFromName(name).value_or(Language::AsWritten);
}

void MainWindow::buildLanguageMenu(QMenu* view) {
    // The windows are built in one language; the choice takes effect at the next start.
    view->addSeparator();
    QMenu* menu = view->addMenu(tr("Language"));
    auto* group = new QActionGroup(menu);
    const std::tuple<const char*, Language> choices[] = {{QT_TR_NOOP("As written"), Language::AsWritten},
                                                         {"English", Language::English},
                                                         {"Русский", Language::Russian}};
    const Language chosen = chosenLanguage();
    for (auto [caption, language] : choices) {
        // Each language names itself, so that it can be found whatever the interface's.
        QAction* a =
            menu->addAction(language == Language::AsWritten ? tr(caption) : QString::fromUtf8(caption));
        a->setCheckable(true);
        a->setChecked(language == chosen);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, language = language] {
            if (language == chosenLanguage()) return;
            QSettings().setValue(QStringLiteral("view/language"), languageName(language));
            workbench_->context().messages()->show(
                tr("The language is used from the next start of the program."), tr("Language"),
                MsgButtons::Ok, MsgIcon::Information);
        });
    }
}

void MainWindow::buildPowerNetworkTools(QMenu* insert, QMenu* view) {
    QMenu* menu = insert->addMenu(tr("Power network"));
    powerNetwork_ = makeToolBar(QStringLiteral(QT_TR_NOOP("Power network")));
    const std::tuple<IconKind, Tool> tools[] = {{IconKind::PowerNode, Tool::PowerNode},
                                                {IconKind::Substation, Tool::Substation},
                                                {IconKind::PowerLine, Tool::PowerLine},
                                                {IconKind::Breaker, Tool::Breaker},
                                                {IconKind::Transformer, Tool::Transformer}};
    for (auto [icon, tool] : tools) {
        QAction* a =
            command(menu, toolCaption(tool), [this, tool = tool] { toolCommand(Page::Scheme, tool); });
        a->setIcon(makeIcon(icon));
        powerNetwork_->addAction(a);
    }
    powerNetwork_->hide();
    viewToggle(view, tr("Power network"), powerNetwork_);
    // The user's choice (the View menu or the toolbar area's own menu) outlives the window;
    // the page decides only while it is on.
    auto keep = [](bool on) { QSettings().setValue(QStringLiteral("view/powerNetwork"), on); };
    connect(viewChecks_.value(powerNetwork_), &QAction::triggered, this, keep);
    connect(powerNetwork_->toggleViewAction(), &QAction::triggered, this, keep);
}

QToolBar* MainWindow::makeToolBar(const QString& name) {
    // The name stays the bar's object name; its title is in the interface's language.
    QToolBar* bar = addToolBar(tr(name.toUtf8().constData()));
    bar->setObjectName(name);
    bar->setAccessibleName(name);
    bar->setIconSize(QSize(24, 24));
    return bar;
}

void MainWindow::buildToolBars() {
    auto disabled = [](QToolBar* bar, IconKind icon, const QString& hint) {
        QAction* a = bar->addAction(makeIcon(icon), hint);
        a->setEnabled(false);
        return a;
    };
    auto button = [this](QToolBar* bar, IconKind icon, const QString& hint, std::function<void()> run) {
        QAction* a = bar->addAction(makeIcon(icon), hint);
        connect(a, &QAction::triggered, this, std::move(run));
        return a;
    };

    files_ = makeToolBar(QStringLiteral(QT_TR_NOOP("Files")));
    for (Shared id : {Shared::New, Shared::Open, Shared::Save, Shared::Print})
        files_->addAction(shared_[size_t(id)]);

    navigation_ = makeToolBar(QStringLiteral(QT_TR_NOOP("Navigation")));
    button(navigation_, IconKind::Left, tr("Left"), [this] { navigate(EditorKey::Left); });
    button(navigation_, IconKind::Right, tr("Right"), [this] { navigate(EditorKey::Right); });
    button(navigation_, IconKind::Up, tr("Up"), [this] { navigate(EditorKey::Up); });
    button(navigation_, IconKind::Down, tr("Down"), [this] { navigate(EditorKey::Down); });
    navigation_->addAction(shared_[size_t(Shared::BackgroundAndSnap)]);
    QAction* grid = navigation_->addAction(tr("Grid"));
    grid->setCheckable(true);
    grid->setChecked(true);
    connect(grid, &QAction::triggered, this, [this] {
        workbench_->toggleGrid();
        repaintScheme();
    });
    zoom_ = new QSpinBox(navigation_);
    zoom_->setObjectName(QStringLiteral("zoom"));
    zoom_->setAccessibleName(tr("Zoom"));
    zoom_->setRange(25, 400);
    zoom_->setSingleStep(25);
    zoom_->setValue(100);
    zoom_->setSuffix(QStringLiteral(" %"));
    navigation_->addWidget(zoom_);
    connect(zoom_, &QSpinBox::valueChanged, this, [this](int value) {
        workbench_->zoom = Extended(value) / 100;
        statusBar()->setFocus();
        repaintScheme();
        vectorPage_->canvas()->refresh();
    });

    calculation_ = makeToolBar(QStringLiteral(QT_TR_NOOP("Calculation")));
    QAction* loop = calculation_->addAction(makeIcon(IconKind::Loop), tr("Create Loop"));
    connect(loop, &QAction::triggered, shared_[size_t(Shared::NewLoop)], &QAction::trigger);
    calculation_->addAction(shared_[size_t(Shared::LoopsList)]);
    QAction* solveKirchhoff =
        calculation_->addAction(makeIcon(IconKind::SolveKirchhoff), tr("Solve by Kirchoff Law"));
    connect(solveKirchhoff, &QAction::triggered, this, [this] { solveCommand("kirchhoff"); });
    QAction* solveMesh =
        calculation_->addAction(makeIcon(IconKind::SolveMesh), tr("Solve by loops equations"));
    connect(solveMesh, &QAction::triggered, this, [this] { solveCommand("mesh"); });
    QAction* solveNodes =
        calculation_->addAction(makeIcon(IconKind::SolveNodes), tr("Solve by nodes equations"));
    connect(solveNodes, &QAction::triggered, this, [this] { solveCommand("node"); });
    button(calculation_, IconKind::PowerBalance, tr("Power balance calculation"),
           [this] { shared_[size_t(Shared::PowerBalance)]->trigger(); });
    calculation_->addAction(shared_[size_t(Shared::Calculator)]);
    QAction* options = calculation_->addAction(makeIcon(IconKind::Options), tr("Options"));
    connect(options, &QAction::triggered, this, [this] { optionsCommand(); });

    addToolBarBreak();
    dcDevices_ = makeToolBar(QStringLiteral(QT_TR_NOOP("DC Devices")));
    for (QAction* a : dcDeviceActions_)
        dcDevices_->addAction(a);

    // The second device toolbar's buttons have no hints; screen readers get their names.
    acDevices_ = makeToolBar(QStringLiteral(QT_TR_NOOP("AC Devices")));
    const std::tuple<const char*, IconKind, Tool> ac[] = {
        {"capacitor", IconKind::Capacitor, Tool::Capacitor},
        {"inductor", IconKind::Inductor, Tool::Inductor},
        {"impedance", IconKind::Impedance, Tool::Impedance},
        {"acVoltageSource", IconKind::AcVoltage, Tool::AcVoltageSource},
        {"acCurrentSource", IconKind::AcCurrent, Tool::AcCurrentSource}};
    for (auto [name, icon, tool] : ac) {
        QAction* a = acDevices_->addAction(makeIcon(icon), QString());
        a->setObjectName(QString::fromUtf8(name));
        connect(a, &QAction::triggered, this, [this, tool = tool] { toolCommand(Page::Scheme, tool); });
        if (QWidget* w = acDevices_->widgetForAction(a)) {
            w->setAccessibleName(toolCaption(tool));
            w->setToolTip(QString());
        }
    }

    drawing_ = makeToolBar(QStringLiteral(QT_TR_NOOP("Drawing")));
    const std::tuple<IconKind, Tool> drawings[] = {
        {IconKind::Line, Tool::Line},       {IconKind::Circle, Tool::Circle},
        {IconKind::Arc, Tool::Arc},         {IconKind::Text, Tool::Text},
        {IconKind::Polygon, Tool::Polygon}, {IconKind::Polyline, Tool::Polyline}};
    for (auto [icon, tool] : drawings)
        button(drawing_, icon, toolCaption(tool), [this, tool = tool] { toolCommand(Page::Scheme, tool); });
    auto* colour = new QComboBox(drawing_);
    colour->setObjectName(QStringLiteral("drawColor"));
    colour->setAccessibleName(tr("Drawing colour"));
    colour->setToolTip(tr("Drawing colour"));
    for (Qt::GlobalColor c : {Qt::black, Qt::darkRed, Qt::darkGreen, Qt::darkYellow, Qt::darkBlue,
                              Qt::darkMagenta, Qt::darkCyan, Qt::gray, Qt::darkGray, Qt::red, Qt::green,
                              Qt::yellow, Qt::blue, Qt::magenta, Qt::cyan, Qt::white}) {
        QPixmap swatch(16, 16);
        swatch.fill(QColor(c));
        colour->addItem(QIcon(swatch), QColor(c).name(), QColor(c));
    }
    drawing_->addWidget(colour);
    connect(colour, &QComboBox::currentIndexChanged, this, [this, colour](int i) {
        QColor c = colour->itemData(i).value<QColor>();
        workbench_->scheme().drawColor = rgb(c.red(), c.green(), c.blue());
    });

    vectorTools_ = makeToolBar(QStringLiteral(QT_TR_NOOP("Vector diagram")));
    button(vectorTools_, IconKind::Line, tr("Line"), [this] { toolCommand(Page::Vector, Tool::Line); });
    button(vectorTools_, IconKind::Text, tr("Text"), [this] { toolCommand(Page::Vector, Tool::Text); });
    button(vectorTools_, IconKind::Vector, tr("Vector"), [this] { toolCommand(Page::Vector, Tool::Vector); });
    button(vectorTools_, IconKind::Circle, tr("Circle"), [this] { toolCommand(Page::Vector, Tool::Circle); });
    button(vectorTools_, IconKind::Polygon, tr("Polygon"),
           [this] { toolCommand(Page::Vector, Tool::Polygon); });
    button(vectorTools_, IconKind::Polyline, tr("Polyline"),
           [this] { toolCommand(Page::Vector, Tool::Polyline); });
    disabled(vectorTools_, IconKind::Point, tr("Point"))->setVisible(false);
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
    if (event->type() == QEvent::KeyPress) {
        // The menu bar, when the keyboard walks it, keeps its arrows.
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget && widget->window() == this && !qobject_cast<QMenuBar*>(widget) &&
               arrowKey(*static_cast<QKeyEvent*>(event));
    }
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
    layers_ = new QDockWidget(tr("Layers"), this);
    layers_->setObjectName(QStringLiteral("Layers"));
    layerList_ = new LayerList(layers_);
    layers_->setWidget(layerList_);
    addDockWidget(Qt::LeftDockWidgetArea, layers_);
    layers_->setFloating(true);
    layers_->resize(170, 190);
    connect(layerList_, &LayerList::ticksChanged, this, [this](const std::vector<bool>& ticks) {
        workbench_->setLayerTicks(Page::Scheme, ticks);
        repaintScheme();
    });
}

void MainWindow::buildStatusBar() {
    status0_ = new QLabel(this);
    status0_->setFixedWidth(240);
    // A screen reader reads a label's text as its name; the description says what it is.
    status0_->setAccessibleDescription(tr("Status"));
    status1_ = new QLabel(this);
    status1_->setMinimumWidth(50);
    status1_->setAccessibleDescription(tr("Pointer position"));
    statusBar()->addWidget(status0_);
    statusBar()->addWidget(status1_, 1);
    connect(schemePage_, &SchemePage::pointerText, status1_, &QLabel::setText);
    connect(vectorPage_->canvas(), &DrawingArea::pointerText, status1_, &QLabel::setText);
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
    powerNetwork_->setVisible(t.devices && QSettings().value(QStringLiteral("view/powerNetwork")).toBool());
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    layers_->move(frameGeometry().topLeft() + QPoint(20, 150));
    applyPageTools();
}

void MainWindow::repaintScheme() {
    schemePage_->refresh();
}

void MainWindow::refreshPages() {
    schemePage_->refresh();
    vectorPage_->canvas()->refresh();
}

void MainWindow::updateCaption() {
    // The usual mark of unsaved changes in front of the caption.
    setWindowTitle((workbench_->isModified() ? QStringLiteral("*") : QString()) + workbench_->caption());
    // The first panel names the tool while something is being placed.
    Page page = currentPage();
    if (status0_ && (page == Page::Solution || !workbench_->editorFor(page).placing())) status0_->clear();
}

void MainWindow::showError(const QString& text) {
    messages_.show(text, tr("Error"), MsgButtons::Ok, MsgIcon::Error);
}

QString MainWindow::chooseFile(bool save, const QString& start, const QString& filter) {
    if (fileChooser) return fileChooser(save, filter);
    return save ? QFileDialog::getSaveFileName(this, QString(), start, filter)
                : QFileDialog::getOpenFileName(this, QString(), start, filter);
}

bool MainWindow::maybeSave(const QString& caption, std::optional<Workbench::Part> replaced) {
    if (replaced ? !workbench_->isModified(*replaced) : !workbench_->isModified()) return true;
    switch (workbench_->context().messages()->show(tr("Save file?"), caption, MsgButtons::YesNoCancel)) {
    case MsgResult::Yes:
        return saveCommand(false);
    case MsgResult::No:
        return true;
    default:
        return false;
    }
}

QByteArray MainWindow::solutionBytes() const {
    workbench_->finishSolutionPage();
    return Workbench::solutionRecord(*solutionPage_->editor()->document());
}

void MainWindow::setSolutionBytes(const QByteArray& bytes) {
    workbench_->finishSolutionPage();
    QString error;
    if (!Workbench::readSolutionRecord(bytes, *solutionPage_->editor()->document(), &error))
        messages_.show(error, tr("Error"), MsgButtons::Ok, MsgIcon::Error);
}

void MainWindow::saveSolutionCommand() {
    QString path = chooseFile(
        true, QString(),
        QStringLiteral(
            "Rich text (*.rtf);;OpenDocument text (*.odt);;HTML (*.html);;PDF (*.pdf);;Text (*.txt)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".rtf");
    workbench_->finishSolutionPage();
    QString error;
    if (!Workbench::saveSolution(*solutionPage_->editor()->document(), path, &error)) {
        messages_.show(error, tr("Error"), MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    // Rich text keeps the whole page, as a workshop does; the other kinds are copies for reading.
    if (QFileInfo(path).suffix().compare(QLatin1String("rtf"), Qt::CaseInsensitive) == 0)
        workbench_->markSaved(Workbench::Part::Solution);
    if (recovery_) recovery_->noteSaved();
}

bool MainWindow::loadFile(const QString& path, QString* errorOut) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    QString error;
    bool ok = false;
    if (suffix == QLatin1String("qvw")) {
        QByteArray solution;
        ok = workbench_->openWorkshop(path, solution, &error);
        if (ok) {
            setSolutionBytes(solution);
            workbench_->markSaved(Workbench::Part::Solution);
        }
    } else if (suffix == QLatin1String("qvv")) {
        ok = workbench_->openVector(path, &error);
    } else {
        ok = workbench_->openScheme(path, &error);
    }
    if (!ok) {
        if (errorOut)
            *errorOut = error;
        else
            showError(error);
        return false;
    }
    // The layers of a file come with their own ticks: the windows' ticks rule.
    workbench_->setLayerTicks(Page::Scheme, layerList_->ticks());
    workbench_->setLayerTicks(Page::Vector, vectorPage_->layers()->ticks());
    if (recovery_) recovery_->noteSaved();
    addRecentFile(path);
    refreshPages();
    // A vector diagram file is opened to be looked at.
    if (suffix == QLatin1String("qvv")) tabs_->setCurrentWidget(vectorPage_);
    updateCaption();
    return true;
}

bool MainWindow::openFile(const QString& path, QString* error) {
    if (!maybeSave(tr("Open"), partOfFile(path))) return false;
    return loadFile(path, error);
}

bool MainWindow::openScheme(const QString& path) {
    return openFile(path);
}

void MainWindow::newCommand() {
    if (!maybeSave(tr("New"))) return;
    workbench_->finishSolutionPage();
    workbench_->newWorkshop();
    solutionPage_->editor()->clear();
    if (recovery_) recovery_->noteSaved();
    refreshPages();
    updateCaption();
}

void MainWindow::openCommand() {
    if (!maybeSave(tr("Open"))) return;
    QString path = chooseFile(false, QString(), tr("TOLV  Quorvel Workshop (*.qvw)"));
    if (!path.isEmpty()) loadFile(path);
}

void MainWindow::solveCommand(const std::string& method) {
    workbench_->finishSolutionPage();
    QTextEdit* editor = solutionPage_->editor();
    QTextCursor caret = editor->textCursor();
    const int before = editor->document()->characterCount();
    const bool solved = workbench_->solveIntoPage(method, caret);
    repaintScheme();
    // A failed solution keeps what it wrote; the page shows that too.
    if (solved || editor->document()->characterCount() != before) {
        editor->setTextCursor(caret);
        tabs_->setCurrentWidget(solutionPage_);
        // A long solution goes on in steps; the view keeps the caret after it in sight until
        // the user moves the caret or scrolls elsewhere.
        auto shown = std::make_shared<int>(editor->verticalScrollBar()->value());
        workbench_->followSolutionPage([editor, shown](int position, bool) {
            const QTextCursor now = editor->textCursor();
            QScrollBar* bar = editor->verticalScrollBar();
            if (now.hasSelection() || now.position() != position || bar->value() != *shown) return;
            editor->ensureCursorVisible();
            *shown = bar->value();
        });
    }
}

void MainWindow::openSchemeCommand() {
    if (!maybeSave(tr("Open"), Workbench::Part::Scheme)) return;
    QString path = chooseFile(false, QString(), tr("Schem file(*.tbe)"));
    if (!path.isEmpty()) loadFile(path);
}

void MainWindow::openVectorCommand() {
    if (!maybeSave(tr("Open"), Workbench::Part::Vector)) return;
    QString path = chooseFile(false, QString(), tr("Vectory(*.qvv)"));
    if (!path.isEmpty()) loadFile(path);
}

bool MainWindow::saveCommand(bool askName) {
    QString path = workbench_->workshopFile;
    if (askName || path.isEmpty()) {
        path = chooseFile(true, path, tr("TOLV  Quorvel Workshop (*.qvw)"));
        if (path.isEmpty()) return false;
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".qvw");
    }
    QString error;
    if (!workbench_->saveWorkshop(path, solutionBytes(), &error)) {
        showError(error);
        return false;
    }
    if (recovery_) recovery_->noteSaved();
    addRecentFile(path);
    refreshPages();
    updateCaption();
    return true;
}

void MainWindow::saveSchemeCommand() {
    QString path = chooseFile(true, QString(), tr("Schem file(*.tbe)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".tbe");
    QString error;
    if (!workbench_->saveScheme(path, &error))
        showError(error);
    else
        addRecentFile(path);
    if (recovery_) recovery_->noteSaved();
    updateCaption();
}

void MainWindow::saveVectorCommand() {
    QString path = chooseFile(true, QString(), tr("Vectory(*.qvv)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".qvv");
    QString error;
    if (!workbench_->saveVector(path, &error)) showError(error);
    if (recovery_) recovery_->noteSaved();
}

void MainWindow::printCommand() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    workbench_->cancelEditing();
    NTBEFizDisp& doc = workbench_->scheme();
    Rect bounds;
    if (!doc.getBounds(bounds)) return;
    QPainter p;
    if (!p.begin(&printer)) {
        showError(tr("Cannot print."));
        return;
    }
    // The whole drawing, fitted to the page and keeping its proportions.
    QRect page = p.viewport();
    int32_t left = std::min(bounds.left, bounds.right), right = std::max(bounds.left, bounds.right);
    int32_t top = std::min(bounds.top, bounds.bottom), bottom = std::max(bounds.top, bounds.bottom);
    double w = std::max(1, right - left + 20), h = std::max(1, bottom - top + 20);
    double scale = std::min(page.width() / w, page.height() / h);
    p.scale(scale, scale);
    p.translate(-(left - 10), -(top - 10));
    doc.viewLeft = left - 10;
    doc.viewTop = top - 10;
    doc.viewRight = right + 10;
    doc.viewBottom = bottom + 10;
    uint8_t grid = doc.gridVisible;
    doc.gridVisible = 0;
    Canvas canvas(&p);
    doc.paint(&canvas);
    doc.gridVisible = grid;
    p.end();
    repaintScheme();
}

void MainWindow::toolCommand(Page page, Tool tool) {
    setCurrentPage(page);
    workbench_->cancelEditing();
    refreshPages();
    if (workbench_->editorFor(page).startTool(tool)) status0_->setText(toolCaption(tool));
    drawingArea(page)->setFocus();
}

void MainWindow::undoCommand(bool redo) {
    if (redo)
        workbench_->redo();
    else
        workbench_->undo();
    refreshPages();
    updateCaption();
}

void MainWindow::navigate(EditorKey key) {
    if (DrawingArea* area = drawingArea(currentPage())) area->scrollBy(key);
}

bool MainWindow::arrowKey(const QKeyEvent& event) {
    // On the Solution page the arrows belong to the text; with Ctrl, Alt or Meta to the control.
    if (currentPage() == Page::Solution ||
        (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    switch (event.key()) {
    case Qt::Key_Left:
        navigate(EditorKey::Left);
        return true;
    case Qt::Key_Right:
        navigate(EditorKey::Right);
        return true;
    case Qt::Key_Up:
        navigate(EditorKey::Up);
        return true;
    case Qt::Key_Down:
        navigate(EditorKey::Down);
        return true;
    default:
        return false;
    }
}

void MainWindow::popupMenu(Page page, QPoint at, const Editor::Popup& popup) {
    Editor& ed = workbench_->editorFor(page);
    DrawingArea* area = drawingArea(page);
    QMenu menu(this);
    auto after = [this, area] {
        area->refresh();
        updateCaption();
    };
    if (popup.onObject) {
        QAction* del = menu.addAction(tr("Delete"), this, [&] {
            ed.deleteCommand();
            after();
        });
        del->setVisible(popup.deleteEntry);
        menu.addAction(tr("Move"), this, [&] {
            ed.moveCommand();
            after();
        });
        menu.addAction(tr("Properties"), this, [&] {
            ed.propertiesCommand();
            after();
        });
    } else {
        menu.addAction(tr("Copy"), this, [this] {
            QGuiApplication::clipboard()->setMimeData(workbench_->vectorPictureMimeData());
        });
        QAction* snap = menu.addAction(tr("Snap"), this, [&] {
            workbench_->toggleVectorSnap();
            after();
        });
        snap->setCheckable(true);
        snap->setChecked(workbench_->vectorDoc().snapVisible);
        for (const char* caption :
             {QT_TR_NOOP("Axis"), QT_TR_NOOP("Snap options"), QT_TR_NOOP("Background options")})
            menu.addAction(tr(caption), this, [&] {
                workbench_->showVectorEditorOptions();
                after();
            });
    }
    menu.exec(at);
    // A menu closed without a choice leaves the mark until the next click.
}

void MainWindow::addRecentFile(const QString& path) {
    QSettings settings;
    QStringList files = settings.value(QStringLiteral("recentFiles")).toStringList();
    QString full = QFileInfo(path).absoluteFilePath();
    files.removeAll(full);
    files.prepend(full);
    while (files.size() > 8)
        files.removeLast();
    settings.setValue(QStringLiteral("recentFiles"), files);
    rebuildRecentMenu();
}

void MainWindow::rebuildRecentMenu() {
    recent_->clear();
    const QStringList files = QSettings().value(QStringLiteral("recentFiles")).toStringList();
    for (const QString& f : files)
        recent_->addAction(QFileInfo(f).fileName(), this, [this, f] { openFile(f); })->setToolTip(f);
    recent_->setEnabled(!files.isEmpty());
}

QString MainWindow::choosePicturePath() {
    // The metafile first, as before; the other formats by their extension.
    const QStringList filters = {tr("Enhanced Metafiles (*.emf)"), tr("SVG pictures (*.svg)"),
                                 tr("PDF documents (*.pdf)"), tr("PNG pictures (*.png)")};
    QString filter = filters.front();
    QString path =
        QFileDialog::getSaveFileName(this, QString(), QString(), filters.join(QStringLiteral(";;")), &filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + filter.section(QStringLiteral("*."), 1).chopped(1);
    return path;
}

void MainWindow::saveSchemeImageCommand() {
    const QString path = choosePicturePath();
    if (path.isEmpty()) return;
    QString error;
    if (!workbench_->exportSchemePicture(path, &error, logicalDpiX(), logicalDpiY()))
        messages_.show(error, tr("Error"), MsgButtons::Ok, MsgIcon::Error);
}

void MainWindow::saveVectorImageCommand() {
    const QString path = choosePicturePath();
    if (path.isEmpty()) return;
    QString error;
    if (!workbench_->exportVectorPicture(path, &error))
        messages_.show(error, tr("Error"), MsgButtons::Ok, MsgIcon::Error);
}

void MainWindow::createVectorCommand() {
    if (!workbench_->createVectorDiagram()) return;
    vectorPage_->canvas()->refresh();
    updateCaption();
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

void MainWindow::showCatalogueErrors() {
    if (workbench_->catalogueErrors.isEmpty()) return;
    const QString text = tr("These catalogue files could not be read; the built-in catalogues stand in for "
                            "them until their catalogue window writes them anew:\n\n") +
                         workbench_->catalogueErrors.join(QLatin1Char('\n'));
    workbench_->catalogueErrors.clear(); // told once
    workbench_->context().messages()->show(text, tr("Справочник"), MsgButtons::Ok, MsgIcon::Warning);
}

void MainWindow::startRecovery(const QString& folder, std::chrono::milliseconds delay) {
    recovery_ =
        std::make_unique<RecoveryKeeper>(*workbench_, folder, solutionPage_->editor()->document(), delay);
    if (!recovery_->isActive()) qWarning("%s", qPrintable(recovery_->lastError()));
}

void MainWindow::offerRecovery() {
    if (!recovery_) return;
    for (LeftCopy& copy : recovery_->findLeftCopies()) {
        const QString when = QLocale().toString(copy.savedAt.toLocalTime(), QLocale::ShortFormat);
        if (!copy.error.isEmpty()) {
            const QString aside = RecoveryKeeper::setAside(copy);
            workbench_->context().messages()->show(
                tr("The unsaved work from %1 cannot be restored: %2.\nIts recovery copy is kept as %3.")
                    .arg(when, copy.error, QDir::toNativeSeparators(aside)),
                tr("Error"), MsgButtons::Ok, MsgIcon::Warning);
            continue;
        }
        QMessageBox ask(QMessageBox::Question, Workbench::applicationTitle(),
                        tr("Restore unsaved work from %1?").arg(when), QMessageBox::NoButton, this);
        QPushButton* restore = ask.addButton(tr("Restore"), QMessageBox::AcceptRole);
        restore->setAccessibleName(QStringLiteral("Restore"));
        QPushButton* discard = ask.addButton(tr("Discard"), QMessageBox::DestructiveRole);
        discard->setAccessibleName(QStringLiteral("Discard"));
        ask.setDefaultButton(restore);
        ask.exec();
        if (ask.clickedButton() == discard) {
            RecoveryKeeper::removeCopy(copy);
            continue;
        }
        if (ask.clickedButton() != restore) continue; // closed: asked again at the next start
        QByteArray solution;
        QString error;
        if (!restoreRecoveredWork(*workbench_, copy.record, solution, &error)) {
            showError(error);
            continue;
        }
        setSolutionBytes(solution);
        workbench_->markUnsaved(Workbench::Part::Solution);
        workbench_->setLayerTicks(Page::Scheme, layerList_->ticks());
        workbench_->setLayerTicks(Page::Vector, vectorPage_->layers()->ticks());
        refreshPages();
        updateCaption();
        // The work is this window's now: its own copy first, then the old one may go.
        if (recovery_->writeNow()) RecoveryKeeper::removeCopy(copy);
        // One window holds one work; further copies wait for the next start.
        break;
    }
}

void MainWindow::exitCommand() {
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // However the window is closed, unsaved changes are asked about.
    if (!maybeSave(tr("Exit"))) {
        event->ignore();
        return;
    }
    QSettings().setValue(QStringLiteral("window/geometry"), saveGeometry());
    // Saved, or dropped by "No": nothing to offer at the next start.
    if (recovery_) recovery_->markClean();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls[0].isLocalFile()) {
        const QString suffix = QFileInfo(urls[0].toLocalFile()).suffix().toLower();
        if (suffix == QLatin1String("tbe") || suffix == QLatin1String("qvv") ||
            suffix == QLatin1String("qvw"))
            event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1) return;
    event->acceptProposedAction();
    openFile(urls[0].toLocalFile());
}

void MainWindow::aboutCommand() {
    QMessageBox::about(this, tr("About"),
                       tr("<h3>Quorvel</h3><p>A workbench for direct- and alternating-current "
                          "circuits.</p><p>Version %1</p>")
                           .arg(QStringLiteral(QUORVEL_VERSION)));
}

QAction* MainWindow::menuAction(const QString& caption) const {
    return findIn(menuBar()->actions(), caption);
}

} // namespace qv::gui
