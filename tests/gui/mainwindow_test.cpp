// The main window: caption, pages and their tools, the View menu, commands and exit.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>
#include <gtest/gtest.h>

#include "app/circuitcommands.h"
#include "app/solvecommand.h"
#include "app/workbench.h"
#include "gui/layerlist.h"
#include "gui/mainwindow.h"
#include "gui/schemepage.h"
#include "gui/vectorpage.h"
#include "modal.h"
#include "model/document.h"
#include "platform/emfreader.h"
#include "support/ink.h"
#include "support/testfiles.h"

using namespace qv;
using qv::gui::MainWindow;

namespace {

QToolBar* bar(const MainWindow& w, const char* name) {
    auto* b = w.findChild<QToolBar*>(QString::fromUtf8(name));
    if (!b) ADD_FAILURE() << "no toolbar " << name;
    return b;
}

QAction* barAction(const MainWindow& w, const char* toolbar, const char* hint) {
    if (QToolBar* b = bar(w, toolbar))
        for (QAction* a : b->actions())
            if (a->text() == QString::fromUtf8(hint)) return a;
    ADD_FAILURE() << "no button " << hint << " on " << toolbar;
    return nullptr;
}

} // namespace

TEST(MainWindowTest, CaptionAtStart) {
    MainWindow w;
    EXPECT_EQ(w.windowTitle(), "TOLV  Quorvel English");
    QStringList tabs;
    for (int i = 0; i < w.pages()->count(); ++i)
        tabs << w.pages()->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Scheme", "Solution", "Vector diagram"}));
}

TEST(MainWindowTest, EachPageShowsItsOwnTools) {
    MainWindow w;
    w.show();
    struct Shown {
        bool layers, dc, ac, drawing, vector;
        bool operator==(const Shown&) const = default;
    };
    auto shown = [&] {
        return Shown{!w.layersWindow()->isHidden(), !bar(w, "DC Devices")->isHidden(),
                     !bar(w, "AC Devices")->isHidden(), !bar(w, "Drawing")->isHidden(),
                     !bar(w, "Vector diagram")->isHidden()};
    };
    const Shown scheme{true, true, true, true, false};
    EXPECT_EQ(shown(), scheme);
    EXPECT_TRUE(w.layersWindow()->isFloating());

    const struct {
        int tab;
        Shown expected;
    } steps[] = {{1, {false, false, false, false, false}},
                 {0, scheme},
                 {2, {false, false, false, false, true}},
                 {0, scheme}};
    for (const auto& s : steps) {
        w.pages()->setCurrentIndex(s.tab);
        EXPECT_EQ(shown(), s.expected) << "on tab " << s.tab;
    }
}

TEST(MainWindowTest, ViewChecksFollowTheirToolbars) {
    MainWindow w;
    w.show();
    const struct {
        const char* caption;
        const char* toolbar;
    } cases[] = {{"Files", "Files"},
                 {"DC Devices", "DC Devices"},
                 {"Drawings", "Drawing"},
                 {"Navigation", "Navigation"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        QAction* check = w.menuAction(c.caption);
        QToolBar* b = bar(w, c.toolbar);
        ASSERT_TRUE(check && b);
        EXPECT_TRUE(check->isCheckable());
        EXPECT_TRUE(check->isChecked());
        b->hide();
        EXPECT_FALSE(check->isChecked());
        b->show();
        EXPECT_TRUE(check->isChecked());
        check->trigger(); // the menu hides the toolbar
        EXPECT_TRUE(b->isHidden());
        EXPECT_FALSE(check->isChecked());
        check->trigger();
        EXPECT_FALSE(b->isHidden());
    }
    // Closed by its own close: the check follows too.
    bar(w, "Files")->close();
    EXPECT_FALSE(w.menuAction("Files")->isChecked());
}

TEST(MainWindowTest, MenusCarryTheCommandsAndOnlyBuiltOnesAreEnabled) {
    MainWindow w;
    const QStringList enabled = {"Exit",
                                 "New",
                                 "Open",
                                 "Open schem",
                                 "Open vector diagram",
                                 "Save",
                                 "Save As",
                                 "Save schem",
                                 "Save vector diagram",
                                 "Print",
                                 "Node",
                                 "Branch",
                                 "Resistor",
                                 "DC voltage source",
                                 "DC curent source",
                                 "Ground",
                                 "New Loop",
                                 "Loops List",
                                 "Calculator",
                                 "Kill all branch arrows",
                                 "Save schem image",
                                 "Save solution",
                                 "Set all branch arrows",
                                 "Option",
                                 "Background and snap",
                                 "Solve by node voltage method",
                                 "Potential diagram",
                                 "Solve by Kirchoff Laws",
                                 "Solve by mesh current method",
                                 "Freqncy",
                                 "Power balance",
                                 "About",
                                 "Drawings",
                                 "DC Devices",
                                 "Navigation",
                                 "Files",
                                 "Power network",
                                 "Network node",
                                 "Substation",
                                 "Power line",
                                 "Breaker",
                                 "Transformer",
                                 "Vector diagram editor",
                                 "Transformer catalogue",
                                 "Voltage classes",
                                 "Save vector diagram image",
                                 "Create vector diagramm"};
    // Undo has nothing to undo in a fresh window; the rest wait for their work to be built.
    const QStringList disabled = {"Undo", "Redo", "Edit Devices", "Insert Graphics", "User guide"};
    for (const QString& c : enabled) {
        QAction* a = w.menuAction(c);
        ASSERT_NE(a, nullptr) << c.toStdString();
        EXPECT_TRUE(a->isEnabled()) << c.toStdString();
    }
    for (const QString& c : disabled) {
        QAction* a = w.menuAction(c);
        ASSERT_NE(a, nullptr) << c.toStdString();
        EXPECT_FALSE(a->isEnabled()) << c.toStdString();
    }
    QStringList menus;
    for (QAction* a : w.menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{"File", "Edit", "Loops", "Calculate", "Service", "View", "Help"}));
}

// The options reach the scheme through the generic dialog from the menu and from the
// calculation toolbar; Cancel leaves them as they were.
TEST(MainWindowTest, OptionsRoundTripThroughTheDialog) {
    const struct {
        bool fromToolbar;
        const char* button;
        uint8_t image, target;
    } cases[] = {{false, "ok", 0, 2}, {true, "ok", 0, 2}, {false, "cancel", 1, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fromToolbar ? "toolbar " : "menu ") + c.button);
        MainWindow w;
        NTBEFizDisp& doc = w.workbench().scheme();
        doc.insertSchemeImage = 1;
        doc.insertInitialData = 1;
        doc.reportTarget = 2;
        QString title;
        bool imageShownTicked = false, internalShownChosen = false, wordEnabled = true;
        onModal([&](QDialog* d) {
            title = d->windowTitle();
            auto* image = d->findChild<QCheckBox*>("image");
            auto* word = d->findChild<QRadioButton*>("target0");
            auto* internal = d->findChild<QRadioButton*>("target2");
            auto* button = d->findChild<QPushButton*>(c.button);
            if (!image || !word || !internal || !button) {
                ADD_FAILURE() << "controls of Options missing";
                return d->reject();
            }
            imageShownTicked = image->isChecked();
            internalShownChosen = internal->isChecked();
            wordEnabled = word->isEnabled();
            image->click();
            word->click(); // greyed: no word processor can be driven here, so nothing changes
            button->click();
        });
        QAction* trigger = c.fromToolbar ? barAction(w, "Calculation", "Options") : w.menuAction("Option");
        ASSERT_NE(trigger, nullptr);
        trigger->trigger();

        EXPECT_EQ(title, "Options");
        EXPECT_TRUE(imageShownTicked);
        EXPECT_TRUE(internalShownChosen);
        EXPECT_FALSE(wordEnabled);
        EXPECT_EQ(doc.insertSchemeImage, c.image);
        EXPECT_EQ(doc.reportTarget, c.target);
        EXPECT_EQ(doc.insertInitialData, 1);
    }
}

// Each layer list drives the layers of its own page's document only.
TEST(MainWindowTest, LayerTicksReachTheirDocument) {
    MainWindow w;
    auto visible = [](NLayerFDisp& doc) {
        std::vector<int> v;
        for (int i = 0; i < 6; ++i)
            v.push_back(doc.rootLayer()->sublayers.get(i)->visible);
        return v;
    };
    const std::vector<int> all(6, 1);
    w.layerList()->item(1)->setCheckState(Qt::Unchecked); // "Nodes Labels"
    EXPECT_EQ(w.layerList()->item(1)->text(), "Nodes Labels");
    EXPECT_EQ(visible(w.workbench().scheme()), (std::vector<int>{1, 0, 1, 1, 1, 1}));
    EXPECT_EQ(visible(w.workbench().vectorDoc()), all);

    w.vectorPage()->layers()->item(3)->setCheckState(Qt::Unchecked); // "Labels"
    EXPECT_EQ(w.vectorPage()->layers()->item(3)->text(), "Labels");
    EXPECT_EQ(visible(w.workbench().vectorDoc()), (std::vector<int>{1, 1, 1, 0, 1, 1}));
    EXPECT_EQ(visible(w.workbench().scheme()), (std::vector<int>{1, 0, 1, 1, 1, 1}));
}

TEST(MainWindowTest, SchemePagePaintsBackgroundAndGrid) {
    MainWindow w;
    w.show();
    QImage page = w.schemePage()->grab().toImage();
    ASSERT_GE(page.width(), 40);
    ASSERT_GE(page.height(), 40);
    EXPECT_EQ(QColor(page.pixel(5, 5)), QColor(Qt::white));
    EXPECT_EQ(QColor(page.pixel(20, 30)), QColor(Qt::black)); // a grid dot
    EXPECT_EQ(QColor(page.pixel(21, 30)), QColor(Qt::white));
}

TEST(MainWindowTest, PointerPositionInTheSecondPanel) {
    const struct {
        int zoomPercent;
        QPoint device;
        const char* expected;
    } cases[] = {{100, {37, 12}, "Pos: 40,10"}, {200, {30, 12}, "Pos: 20,10"}, {50, {30, 12}, "Pos: 60,20"}};
    for (const auto& c : cases) {
        MainWindow w;
        w.findChild<QSpinBox*>("zoom")->setValue(c.zoomPercent);
        QMouseEvent move(QEvent::MouseMove, QPointF(c.device), QPointF(c.device), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(w.schemePage(), &move);
        EXPECT_EQ(w.statusPanel(1)->text(), c.expected);
    }
    MainWindow w;
    EXPECT_EQ(w.statusPanel(0)->width(), 240);
}

TEST(MainWindowTest, ClosingAsksToSaveWhenModifiedHoweverTheWindowIsClosed) {
    // Yes saves (here into a file already named), No closes without saving, Cancel keeps
    // the window open.
    QTemporaryDir dir;
    const struct {
        bool modified;
        bool viaExit;
        MsgResult answer;
        bool asked;
        bool closed;
    } cases[] = {{true, true, MsgResult::Yes, true, true},      {true, true, MsgResult::No, true, true},
                 {false, true, MsgResult::Yes, false, true},    {true, false, MsgResult::Yes, true, true},
                 {true, false, MsgResult::Cancel, true, false}, {true, true, MsgResult::Cancel, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "modified " << c.modified << " exit " << c.viaExit);
        MainWindow w;
        RecordingMessages messages;
        messages.answers = {c.answer};
        w.workbench().context().setMessages(&messages);
        w.workbench().workshopFile = dir.filePath("exit.qvw");
        w.workbench().setModified(c.modified);
        w.show();
        if (c.viaExit)
            w.menuAction("Exit")->trigger();
        else
            w.close();
        EXPECT_EQ(w.isVisible(), !c.closed);
        ASSERT_EQ(messages.shown.size(), c.asked ? 1 : 0);
        if (c.asked) {
            EXPECT_EQ(messages.shown[0].text, "Save file?");
            EXPECT_EQ(messages.shown[0].caption, "Exit");
            EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNoCancel);
        }
        EXPECT_EQ(QFile::exists(dir.filePath("exit.qvw")), c.answer == MsgResult::Yes && c.asked);
        QFile::remove(dir.filePath("exit.qvw"));
        w.workbench().setModified(false);
        w.workbench().context().setMessages(nullptr);
    }
}

TEST(MainWindowTest, OpensASchemeFileAndPaintsIt) {
    MainWindow w;
    ASSERT_TRUE(w.openScheme(qv::test::fixture("dc_parallel.tbe")));
    EXPECT_EQ(w.workbench().scheme().objectCount(), 18);
    QImage before(400, 400, QImage::Format_RGB32);
    QPainter p(&before);
    w.workbench().paintScheme(p, before.size());
    p.end();
    // Something besides the background and the grid was drawn.
    int dark = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (qGray(before.pixel(x, y)) < 128) ++dark;
    EXPECT_GT(dark, 2000);
}

// The node-voltage button: its dialog, then the worked solution on the Solution page, which
// comes to the front; "Freqncy" stores the number typed.
TEST(MainWindowTest, NodeVoltageButtonSolvesIntoTheSolutionPage) {
    MainWindow w;
    ASSERT_TRUE(w.openScheme(qv::test::fixture("dc_current_source_ground.tbe")));
    QString title;
    onModal([&](QDialog* d) {
        title = d->windowTitle();
        auto* ok = d->findChild<QPushButton*>("ok");
        if (!ok) return d->reject();
        ok->click();
    });
    QAction* button = barAction(w, "Calculation", "Solve by nodes equations");
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled());
    button->trigger();
    EXPECT_EQ(title, "Calculation by node voltage method");
    auto* page = w.pages()->currentWidget();
    EXPECT_EQ(w.pages()->tabText(w.pages()->currentIndex()), "Solution");
    auto* editor = page->findChild<QTextEdit*>();
    ASSERT_NE(editor, nullptr);
    const QString text = editor->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Solution\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("I1=J1=2"))) << text.toStdString();

    onModal([&](QDialog* d) {
        auto* edit = d->findChild<QLineEdit*>("Edit1");
        auto* ok = d->findChild<QPushButton*>("ok");
        if (!edit || !ok) return d->reject();
        edit->setText("60");
        ok->click();
    });
    w.menuAction("Freqncy")->trigger();
    EXPECT_EQ(double(w.workbench().scheme().frequency), 60.0);
}

// "Freqncy" with a text that is not a number: the message, and the dialog stays open for a
// number; its cancel button reads "Отмена".
TEST(MainWindowTest, FreqncyTellsATextThatIsNotANumberAndStaysOpen) {
    MainWindow w;
    RecordingMessages messages;
    w.workbench().context().setMessages(&messages);
    bool openAfterRefusal = false;
    QString cancel;
    onModal([&](QDialog* d) {
        auto* edit = d->findChild<QLineEdit*>("Edit1");
        auto* ok = d->findChild<QPushButton*>("ok");
        if (auto* c = d->findChild<QPushButton*>("cancel")) cancel = c->text();
        if (!edit || !ok) return d->reject();
        edit->setText("fifty");
        ok->click();
        openAfterRefusal = d->isVisible();
        edit->setText("60");
        ok->click();
    });
    w.menuAction("Freqncy")->trigger();
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(cancel, QString::fromUtf8("Отмена"));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "'fifty' is not a valid floating point value");
    EXPECT_EQ(double(w.workbench().scheme().frequency), 60.0);
    w.workbench().setModified(false);
    w.workbench().context().setMessages(nullptr);
}

// The Kirchhoff-laws and mesh-current buttons: their dialogs, then the worked solution on the
// Solution page.
TEST(MainWindowTest, KirchhoffAndMeshButtonsSolveIntoTheSolutionPage) {
    struct Case {
        const char* button;
        const char* dialog;
        const char* line; // a result line of the scheme's current-source branch
    };
    for (const Case c : {Case{"Solve by Kirchoff Law", "Calculation by Kirchoff laws", "I1=2"},
                         Case{"Solve by loops equations", "Calculate By Mesh Current method", "I1= J1=2"}}) {
        SCOPED_TRACE(c.button);
        MainWindow w;
        ASSERT_TRUE(w.openScheme(qv::test::fixture("dc_current_source_ground.tbe")));
        QString title;
        onModal([&](QDialog* d) {
            title = d->windowTitle();
            auto* ok = d->findChild<QPushButton*>("ok");
            if (!ok) return d->reject();
            ok->click();
        });
        QAction* button = barAction(w, "Calculation", c.button);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isEnabled());
        button->trigger();
        EXPECT_EQ(title, c.dialog);
        EXPECT_EQ(w.pages()->tabText(w.pages()->currentIndex()), "Solution");
        auto* editor = w.pages()->currentWidget()->findChild<QTextEdit*>();
        ASSERT_NE(editor, nullptr);
        const QString text = editor->toPlainText();
        EXPECT_TRUE(text.contains(QStringLiteral("Решение\n"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.line))) << text.toStdString();
    }
}

namespace {

/// The View menu's entry `caption` (another menu may hold an entry of the same name).
QAction* viewCheck(const MainWindow& w, const char* caption) {
    for (QAction* m : w.menuBar()->actions())
        if (m->text() == "View")
            for (QAction* a : m->menu()->actions())
                if (a->text() == QString::fromUtf8(caption)) return a;
    ADD_FAILURE() << "no View entry " << caption;
    return nullptr;
}

} // namespace

TEST(MainWindowTest, ThePowerNetworkToolbarWaitsForTheViewMenuAndTheChoiceIsKept) {
    const QString key = QStringLiteral("view/powerNetwork");
    QSettings().remove(key);
    {
        MainWindow w;
        w.show();
        QToolBar* b = bar(w, "Power network");
        QAction* check = viewCheck(w, "Power network");
        ASSERT_TRUE(b && check);
        EXPECT_TRUE(b->isHidden());
        EXPECT_TRUE(check->isCheckable());
        EXPECT_FALSE(check->isChecked());
        // Its buttons are the entries of "Insert Device" → "Power network".
        QStringList hints;
        for (QAction* a : b->actions()) {
            hints << a->text();
            EXPECT_FALSE(a->icon().isNull());
            EXPECT_EQ(w.menuAction(a->text()), a);
        }
        EXPECT_EQ(hints, (QStringList{"Network node", "Substation", "Power line", "Breaker", "Transformer"}));
        check->trigger();
        EXPECT_FALSE(b->isHidden());
        EXPECT_TRUE(check->isChecked());
        // It places on the scheme: other pages hide it, the scheme shows it again.
        w.pages()->setCurrentIndex(1);
        EXPECT_TRUE(b->isHidden());
        w.pages()->setCurrentIndex(0);
        EXPECT_FALSE(b->isHidden());
    }
    {
        MainWindow w; // the next start keeps the choice
        w.show();
        EXPECT_FALSE(bar(w, "Power network")->isHidden());
        EXPECT_TRUE(viewCheck(w, "Power network")->isChecked());
        // Hidden from the toolbar area's own menu: the choice is kept as well.
        bar(w, "Power network")->toggleViewAction()->trigger();
        EXPECT_TRUE(bar(w, "Power network")->isHidden());
        EXPECT_FALSE(viewCheck(w, "Power network")->isChecked());
    }
    {
        MainWindow w;
        w.show();
        EXPECT_TRUE(bar(w, "Power network")->isHidden());
        viewCheck(w, "Power network")->trigger();
        viewCheck(w, "Power network")->trigger(); // on and off again from the View menu
        EXPECT_TRUE(bar(w, "Power network")->isHidden());
        EXPECT_FALSE(QSettings().value(key).toBool());
    }
    QSettings().remove(key);
}

TEST(MainWindowTest, ADamagedCatalogueFileIsToldOnceAndTheWireCatalogueWritesItAnew) {
    QTemporaryDir dir;
    {
        QFile f(dir.filePath("LineSpr.spr"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\x07\x00\x00\x00 not a catalogue");
    }
    RecordingMessages messages;
    ScriptedPresenter dialogs;
    {
        MainWindow w(dir.path());
        w.workbench().context().setMessages(&messages);
        w.workbench().context().setPresenter(&dialogs);
        w.showCatalogueErrors();
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(messages.shown[0].text.contains("LineSpr.spr")) << messages.shown[0].text.toStdString();
        EXPECT_EQ(messages.shown[0].caption, QString::fromUtf8("Справочник"));
        w.showCatalogueErrors();
        EXPECT_EQ(messages.shown.size(), 1); // once
        // Service → the wire catalogue shows "Справочник" and writes the catalogue over the
        // damaged file.
        w.menuAction("Vector diagram editor")->trigger();
        EXPECT_EQ(dialogs.shown, QStringList{QString::fromUtf8("Справочник")});
        EXPECT_EQ(messages.shown.size(), 1);
        w.workbench().context().setPresenter(nullptr);
        w.workbench().context().setMessages(nullptr);
    }
    MainWindow again(dir.path());
    EXPECT_TRUE(again.workbench().catalogueErrors.isEmpty());
    again.workbench().context().setMessages(&messages);
    again.showCatalogueErrors();
    EXPECT_EQ(messages.shown.size(), 1);
    again.workbench().context().setMessages(nullptr);
}

// "Справочник" lists its entries in a list box; an entry's transformer data dialog has its
// three pages, and it and the wire dialog cancel with "Отмена".
TEST(MainWindowTest, TheCatalogueWindowListsItsEntriesAndTheEntryDialogsAreLaidOut) {
    QTemporaryDir dir;
    MainWindow w(dir.path());
    struct Seen {
        QStringList entries;
        bool dropDown = true;
        QStringList pages;
        bool tabsInView = true;
        QString cancel;
    };
    auto look = [](const char* command, MainWindow& w) {
        Seen seen;
        onModal([&](QDialog* window) {
            auto* list = window->findChild<QListWidget*>("items");
            seen.dropDown = window->findChild<QComboBox*>("items") != nullptr;
            if (!list || list->count() == 0) return window->reject();
            for (int i = 0; i < list->count(); ++i)
                seen.entries << list->item(i)->text();
            list->setCurrentRow(0);
            onModal([&](QDialog* entry) {
                if (auto* tabs = entry->findChild<QTabWidget*>())
                    for (int i = 0; i < tabs->count(); ++i) {
                        seen.pages << tabs->tabText(i);
                        seen.tabsInView =
                            seen.tabsInView && tabs->tabBar()->tabRect(i).right() < tabs->tabBar()->width();
                    }
                if (auto* cancel = entry->findChild<QPushButton*>("cancel")) seen.cancel = cancel->text();
                entry->reject();
            });
            window->findChild<QPushButton*>(QString::fromUtf8("Изменить"))->click();
            window->accept();
        });
        w.menuAction(QString::fromUtf8(command))->trigger();
        return seen;
    };
    const Seen wires = look("Vector diagram editor", w);
    EXPECT_FALSE(wires.dropDown);
    EXPECT_FALSE(wires.entries.isEmpty());
    EXPECT_TRUE(wires.pages.isEmpty());
    EXPECT_EQ(wires.cancel, QString::fromUtf8("Отмена"));
    const Seen transformers = look("Transformer catalogue", w);
    EXPECT_FALSE(transformers.entries.isEmpty());
    EXPECT_EQ(transformers.pages, (QStringList{QString::fromUtf8("Паспортные данные"),
                                               QString::fromUtf8("Регулирование напряжения"),
                                               QString::fromUtf8("Расчетные данные")}));
    EXPECT_TRUE(transformers.tabsInView) << "the dialog is wide enough for every page's tab";
    EXPECT_EQ(transformers.cancel, QString::fromUtf8("Отмена"));
}

TEST(MainWindowTest, VectorPageHasItsLayerBoxAndTheVectorTool) {
    MainWindow w;
    QStringList items;
    for (int i = 0; i < w.vectorPage()->layers()->count(); ++i)
        items << w.vectorPage()->layers()->item(i)->text();
    EXPECT_EQ(items,
              (QStringList{"Currents", "Potencial", "Potencial difference", "Labels", "Drawing", "Axis"}));
    QAction* vector = barAction(w, "Vector diagram", "Vector");
    ASSERT_NE(vector, nullptr);
    EXPECT_TRUE(vector->isEnabled());
    QAction* point = barAction(w, "Vector diagram", "Point");
    ASSERT_NE(point, nullptr);
    EXPECT_FALSE(point->isVisible());

    // The tool draws a vector with its label; unticking "Drawing" hides the label.
    vector->trigger();
    qv::Canvas none;
    w.workbench().vectorEditor().mouseDown({0, 0}, qv::MouseButton::Left, &none);
    w.workbench().vectorEditor().mouseDown({400, 0}, qv::MouseButton::Left, &none);
    ASSERT_EQ(w.workbench().vectorDoc().objectCount(), 2);
    w.vectorPage()->layers()->item(4)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(w.workbench().vectorDoc().rootLayer()->sublayers.get(qv::NVectDiaDisp::kDrawing)->visible, 0);
    EXPECT_EQ(w.workbench().vectorDoc().rootLayer()->sublayers.get(qv::NVectDiaDisp::kDrawingToo)->visible,
              0);
}

// With "Insert Schem image to report" on, the Solution page starts with the scheme's picture,
// centred, and "Electrical scheme" under it.
TEST(MainWindowTest, TheSolutionPageShowsTheSchemePicture) {
    QTemporaryDir home;
    MainWindow w(home.path());
    w.resize(1000, 700);
    ASSERT_TRUE(w.openScheme(qv::test::fixture("ac_rlc.tbe")));
    w.workbench().scheme().insertSchemeImage = 1;
    onModal([&](QDialog* d) {
        if (auto* ok = d->findChild<QPushButton*>("ok")) return ok->click();
        d->reject();
    });
    barAction(w, "Calculation", "Solve by nodes equations")->trigger();
    auto* editor = w.pages()->currentWidget()->findChild<QTextEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(QFile::exists(home.filePath("pictures/Test1.emf")));
    const QTextBlock first = editor->document()->begin();
    EXPECT_EQ(first.text(), QString(QChar::ObjectReplacementCharacter));
    EXPECT_EQ(first.next().text(), "Electrical scheme");

    w.show();
    editor->verticalScrollBar()->setValue(0);
    QApplication::processEvents();
    const QImage shot = editor->viewport()->grab().toImage();
    if (const QByteArray keep = qgetenv("QUORVEL_KEEP_PICTURES"); !keep.isEmpty())
        w.grab().save(QString::fromLocal8Bit(keep) + "/solution-page.png");
    // The picture's ink, above the caption, lies about the middle of the page.
    const QRectF pictureRect = editor->document()->documentLayout()->blockBoundingRect(first);
    QRect ink;
    for (int y = int(pictureRect.top()); y < int(pictureRect.bottom()) && y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (qGray(shot.pixel(x, y)) < 128) ink |= QRect(x, y, 1, 1);
    ASSERT_TRUE(ink.isValid()) << "the picture is drawn";
    EXPECT_NEAR(ink.center().x(), shot.width() / 2.0, shot.width() * 0.05);
    // Every line of the metafile is there, as thin lines are too.
    EmfPicture emf;
    ASSERT_TRUE(emf.loadFile(home.filePath("pictures/Test1.emf"), nullptr));
    const auto [drawn, shown] = test::alignedInk(emf.toImage(), shot.copy(pictureRect.toRect()));
    ASSERT_FALSE(shown.isNull());
    EXPECT_GT(test::inkCovered(drawn, shown, 2), 0.95);
}

// The diagram's origin (where the blue axes cross) lies in the middle of the vector page as the
// user first sees it, not in the middle of whatever size the page had before the window's.
TEST(MainWindowTest, TheVectorPageOpensWithItsOriginInTheMiddle) {
    MainWindow w;
    // Opening a vector diagram shows its page before the window has its size.
    w.pages()->setCurrentWidget(w.vectorPage());
    w.resize(1100, 760);
    w.show();
    QApplication::processEvents();
    const QImage page = w.vectorPage()->canvas()->grab().toImage();
    auto isAxis = [&](int x, int y) {
        const QColor c = page.pixelColor(x, y);
        return c.blue() > 200 && c.red() < 80 && c.green() < 80;
    };
    int bestX = -1, bestY = -1, most = 0;
    for (int x = 0; x < page.width(); ++x) {
        int n = 0;
        for (int y = 0; y < page.height(); ++y)
            n += isAxis(x, y);
        if (n > most) most = n, bestX = x;
    }
    most = 0;
    for (int y = 0; y < page.height(); ++y) {
        int n = 0;
        for (int x = 0; x < page.width(); ++x)
            n += isAxis(x, y);
        if (n > most) most = n, bestY = y;
    }
    EXPECT_NEAR(bestX, page.width() / 2, page.width() / 20);
    EXPECT_NEAR(bestY, page.height() / 2, page.height() / 20);
}

// A long solution: its beginning is on the page when the command returns and the rest
// follows from the event loop; a key typed meanwhile, a workshop saved meanwhile and a second
// solve all come after the whole of it.
TEST(MainWindowTest, ALongSolutionGoesOnInStepsAndNothingLandsInsideIt) {
    QTemporaryDir home;
    MainWindow w(home.path());
    w.resize(1000, 700);
    w.show();
    // A rail of 40 resistors fed by current sources: a report of some thousands of runs.
    QString netlist = "* ladder\nRA n1 0 5\n";
    for (int k = 1; k < 40; ++k)
        netlist += QStringLiteral("R%1 n%1 n%2 %3\n").arg(k).arg(k + 1).arg(k % 7 + 1);
    for (int k = 1; k <= 40; ++k)
        netlist += QStringLiteral("I%1 0 n%1 DC 0.0%2\n").arg(k).arg(k % 4 + 1);
    netlist += "IB n40 0 DC 0.005\n.op\n.end\n";
    const QString path = home.filePath("ladder.cir");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(netlist.toUtf8());
    f.close();
    QStringList problems;
    ASSERT_TRUE(importNetlistCommand(w.workbench(), path, problems)) << problems.join('\n').toStdString();
    w.workbench().scheme().insertSchemeImage = 0;

    // The whole solution as a page that is not shown gets it.
    QTextDocument whole;
    QTextCursor wholeCaret(&whole);
    ASSERT_EQ(solveIntoDocument(w.workbench().scheme(),
                                SolveRequest::fromScheme(w.workbench().scheme(), "node"), wholeCaret)
                  .status,
              SolveResult::Solved);

    auto solve = [&] {
        onModal([](QDialog* d) {
            if (auto* ok = d->findChild<QPushButton*>("ok")) return ok->click();
            d->reject();
        });
        w.menuAction("Solve by node voltage method")->trigger();
    };
    QTextEdit* editor = w.findChild<QTextEdit*>();
    ASSERT_NE(editor, nullptr);
    solve();
    ASSERT_TRUE(w.workbench().solutionPageInSteps());
    EXPECT_TRUE(whole.toPlainText().startsWith(editor->toPlainText().left(200)));
    EXPECT_LT(editor->document()->characterCount(), whole.characterCount());
    // Scrolled back to the top meanwhile, the view stays there.
    editor->verticalScrollBar()->setValue(0);
    const int firstStep = editor->document()->characterCount();
    for (int i = 0; i < 1000000 && editor->document()->characterCount() == firstStep; ++i)
        QApplication::processEvents();
    EXPECT_GT(editor->document()->characterCount(), firstStep) << "a later step went on";
    ASSERT_TRUE(w.workbench().solutionPageInSteps());
    EXPECT_EQ(editor->verticalScrollBar()->value(), 0);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, QStringLiteral("Z"));
    QApplication::sendEvent(editor, &key);
    EXPECT_FALSE(w.workbench().solutionPageInSteps());
    EXPECT_EQ(editor->toPlainText(), whole.toPlainText() + "Z");

    // A second solution, saved before it is all on the page: the workshop holds it whole.
    solve();
    ASSERT_TRUE(w.workbench().solutionPageInSteps());
    const QByteArray saved = w.solutionBytes();
    EXPECT_FALSE(w.workbench().solutionPageInSteps());
    QTextDocument readBack;
    QString error;
    ASSERT_TRUE(Workbench::readSolutionRecord(saved, readBack, &error)) << error.toStdString();
    EXPECT_EQ(readBack.toPlainText(), whole.toPlainText() + "Z" + whole.toPlainText());

    // A third one while the second goes on comes after it.
    solve();
    solve();
    for (int i = 0; i < 100000 && w.workbench().solutionPageInSteps(); ++i)
        QApplication::processEvents();
    EXPECT_EQ(editor->toPlainText(),
              whole.toPlainText() + "Z" + whole.toPlainText() + whole.toPlainText() + whole.toPlainText());
    EXPECT_EQ(editor->textCursor().position(), editor->document()->characterCount() - 1);
    QApplication::processEvents();
    EXPECT_TRUE(editor->viewport()->rect().contains(editor->cursorRect()))
        << "left alone, the view follows the caret to the end";
    w.workbench().setModified(false);
    editor->document()->setModified(false);
}
