// Editing through the window: tools and clicks on the pages, undo entries, the file commands
// with their questions, and the names screen readers find.
#include <QAccessible>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

#include "gui/mainwindow.h"
#include "gui/schemepage.h"
#include "gui/solutionpage.h"
#include "gui/vectorpage.h"
#include "modal.h"

using namespace qv;
using qv::gui::MainWindow;

namespace {

struct WindowDesk : ::testing::Test {
    MainWindow w;
    RecordingMessages messages;
    QTemporaryDir dir;
    QStringList asked; ///< the filters of the file dialogs shown
    QString answer;    ///< what the file dialog answers

    WindowDesk() {
        w.workbench().context().setMessages(&messages);
        w.fileChooser = [this](bool, const QString& filter) {
            asked << filter;
            return answer;
        };
        w.resize(900, 700);
        w.show();
        QCoreApplication::processEvents();
    }
    ~WindowDesk() override {
        w.workbench().setModified(false); // no question while the window goes
        w.workbench().context().setMessages(nullptr);
    }

    QAction* bar(const char* toolbar, const QString& text) {
        for (QAction* a : w.findChild<QToolBar*>(QString::fromUtf8(toolbar))->actions())
            if (a->text() == text) return a;
        ADD_FAILURE() << "no " << text.toStdString();
        return nullptr;
    }
    /// Clicks at logical (x, y) of the scheme page at 100 % with no scrolling.
    void click(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseMove(w.schemePage(), QPoint(x, y));
        QTest::mouseClick(w.schemePage(), b, Qt::NoModifier, QPoint(x, y));
    }
    void drawTwoNodesAndABranch() {
        w.menuAction("Node")->trigger();
        click(100, 100);
        w.menuAction("Node")->trigger();
        click(300, 100);
        w.menuAction("Branch")->trigger();
        click(100, 100);
        click(300, 100);
    }
};

} // namespace

TEST_F(WindowDesk, ClicksDrawAndTheEditMenuUndoesByName) {
    EXPECT_EQ(w.windowTitle(), "TOLV  Quorvel English");
    drawTwoNodesAndABranch();
    EXPECT_EQ(w.workbench().scheme().objectCount(), 6); // three elements, three labels
    EXPECT_EQ(w.windowTitle(), "*TOLV  Quorvel English");
    QAction* undo = w.menuAction("Undo Branch");
    ASSERT_NE(undo, nullptr);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_TRUE(undo->shortcuts().contains(QKeySequence::Undo));
    undo->trigger();
    EXPECT_EQ(w.workbench().scheme().objectCount(), 4);
    QAction* redo = w.menuAction("Redo Branch");
    ASSERT_NE(redo, nullptr);
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Y"))));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Shift+Z"))));
    redo->trigger();
    EXPECT_EQ(w.workbench().scheme().objectCount(), 6);
    // Escape abandons a placement in progress; the status panel names the tool meanwhile.
    w.menuAction("Branch")->trigger();
    EXPECT_EQ(w.statusPanel(0)->text(), "Branch");
    click(100, 100);
    QTest::keyClick(w.schemePage(), Qt::Key_Escape);
    EXPECT_FALSE(w.workbench().schemeEditor().placing());
    EXPECT_EQ(w.statusPanel(0)->text(), "");
    // Another page abandons the placement and the tool's name.
    w.menuAction("Node")->trigger();
    w.setCurrentPage(Page::Vector);
    EXPECT_FALSE(w.workbench().schemeEditor().placing());
    EXPECT_EQ(w.statusPanel(0)->text(), "");
    w.setCurrentPage(Page::Scheme);
    // The arrow keys scroll the scheme page by 30.
    QTest::keyClick(w.schemePage(), Qt::Key_Right);
    EXPECT_EQ(w.workbench().scrollX, 30);
}

// The arrow keys scroll the drawing page whichever control has the focus: the status bar,
// which takes it after a zoom change, or the zoom box itself. On the Solution page they move
// the caret.
TEST_F(WindowDesk, ArrowKeysScrollWhicheverControlHasTheFocus) {
    Workbench& wb = w.workbench();
    auto* zoom = w.findChild<QSpinBox*>("zoom");
    ASSERT_NE(zoom, nullptr);
    zoom->setValue(200);
    const int32_t x = wb.scrollX, y = wb.scrollY;
    QTest::keyClick(w.statusBar(), Qt::Key_Right);
    EXPECT_EQ(wb.scrollX, x + 30);
    QTest::keyClick(zoom, Qt::Key_Down);
    EXPECT_EQ(wb.scrollY, y + 30);
    EXPECT_EQ(zoom->value(), 200) << "the zoom is left as it was";
    QTest::keyClick(w.findChild<QToolBar*>("Navigation"), Qt::Key_Left);
    EXPECT_EQ(wb.scrollX, x);
    // Alt gives the menu bar the keyboard: its arrows walk the menus.
    QTest::keyClick(&w, Qt::Key_Alt);
    QAction* before = w.menuBar()->activeAction();
    QTest::keyClick(w.menuBar(), Qt::Key_Right);
    EXPECT_EQ(wb.scrollX, x);
    EXPECT_NE(w.menuBar()->activeAction(), before);
    QTest::keyClick(w.menuBar(), Qt::Key_Escape);

    w.setCurrentPage(Page::Vector);
    const int32_t vx = wb.vdScrollX;
    QTest::keyClick(w.statusBar(), Qt::Key_Left);
    EXPECT_EQ(wb.vdScrollX, vx - 100);

    w.setCurrentPage(Page::Solution);
    QTextEdit* text = w.solutionPage()->editor();
    text->setPlainText("ab");
    text->moveCursor(QTextCursor::Start);
    QTest::keyClick(text, Qt::Key_Right);
    EXPECT_EQ(text->textCursor().position(), 1);
    QTest::keyClick(w.statusBar(), Qt::Key_Up);
    EXPECT_EQ(wb.scrollY, y + 30);
    EXPECT_EQ(wb.vdScrollX, vx - 100);
}

TEST_F(WindowDesk, SaveAfterNewAsksForANameOnlyOnce) {
    drawTwoNodesAndABranch();
    w.menuAction("New")->trigger(); // unsaved changes: asked, and "Yes" saves
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "Save file?");
    EXPECT_EQ(asked.size(), 1); // the save dialog; answered with Cancel, so New stops
    EXPECT_EQ(w.workbench().scheme().objectCount(), 6);
    messages.answers = {MsgResult::No};
    w.menuAction("New")->trigger();
    EXPECT_EQ(w.workbench().scheme().objectCount(), 0);
    EXPECT_EQ(w.windowTitle(), "NewShem - TOLV - Quorvel");

    drawTwoNodesAndABranch();
    asked.clear();
    answer = dir.filePath("first");
    w.menuAction("Save")->trigger();
    EXPECT_EQ(asked, QStringList{"TOLV  Quorvel Workshop (*.qvw)"});
    EXPECT_TRUE(QFile::exists(dir.filePath("first.qvw")));
    EXPECT_EQ(w.windowTitle(), "first.qvw - TOLV - Quorvel");
    w.menuAction("Node")->trigger();
    click(200, 300);
    EXPECT_EQ(w.windowTitle(), "*first.qvw - TOLV - Quorvel");
    w.menuAction("Save")->trigger();
    EXPECT_EQ(asked.size(), 1); // written without asking
    EXPECT_EQ(w.windowTitle(), "first.qvw - TOLV - Quorvel");
}

TEST_F(WindowDesk, OpenOfAWorkshopRestoresAllThreePagesOpenSchemOnlyTheScheme) {
    drawTwoNodesAndABranch();
    w.vectorPage()->canvas()->editor().startTool(Tool::Line);
    Canvas none;
    w.workbench().vectorEditor().mouseDown({0, 0}, MouseButton::Left, &none);
    w.workbench().vectorEditor().mouseDown({200, 0}, MouseButton::Left, &none);
    w.solutionPage()->editor()->setPlainText(QString::fromUtf8("I1 = 2 А"));
    answer = dir.filePath("all.qvw");
    w.menuAction("Save As")->trigger();
    QString error;
    ASSERT_TRUE(w.workbench().saveScheme(dir.filePath("only.tbe"), &error));

    messages.answers = {MsgResult::No};
    w.menuAction("New")->trigger();
    EXPECT_EQ(w.workbench().vectorDoc().objectCount(), 0);
    EXPECT_TRUE(w.solutionPage()->editor()->toPlainText().isEmpty());

    answer = dir.filePath("all.qvw");
    w.menuAction("Open")->trigger();
    EXPECT_EQ(w.workbench().scheme().objectCount(), 6);
    EXPECT_EQ(w.workbench().vectorDoc().objectCount(), 1);
    EXPECT_EQ(w.solutionPage()->editor()->toPlainText(), QString::fromUtf8("I1 = 2 А"));
    EXPECT_EQ(w.windowTitle(), "all.qvw - TOLV - Quorvel");
    EXPECT_FALSE(w.workbench().undoStack().canUndo());

    // "Open schem" replaces the scheme and keeps the Solution page.
    w.workbench().scheme().clearRemovable();
    answer = dir.filePath("only.tbe");
    w.menuAction("Open schem")->trigger();
    EXPECT_EQ(w.workbench().scheme().objectCount(), 6);
    EXPECT_EQ(w.solutionPage()->editor()->toPlainText(), QString::fromUtf8("I1 = 2 А"));

    // A file on the command line or dropped on the window opens by its suffix.
    w.workbench().setModified(false);
    w.workbench().vectorDoc().clearRemovable();
    EXPECT_TRUE(w.openFile(dir.filePath("all.qvw")));
    EXPECT_EQ(w.workbench().vectorDoc().objectCount(), 1);
    w.workbench().vectorDoc().clearRemovable();
    for (const char* name : {"notes.txt", "all.qvw"}) {
        SCOPED_TRACE(name);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(dir.filePath(QString::fromUtf8(name)))});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QCoreApplication::sendEvent(&w, &enter);
        bool scheme = QByteArray(name).endsWith(".qvw");
        EXPECT_EQ(enter.isAccepted(), scheme);
        if (!scheme) continue;
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &drop);
        EXPECT_EQ(w.workbench().vectorDoc().objectCount(), 1);
    }
}

// "Save schem" saves the scheme only: a vector diagram drawn before it, or text typed into the
// Solution page, is still asked about when the window closes. Opening a scheme asks only when
// the scheme itself has changes.
TEST_F(WindowDesk, SavingOnePartLeavesTheOthersToBeAskedAbout) {
    const struct {
        const char* what;
        std::function<void()> change;
    } cases[] = {{"vector diagram",
                  [&] {
                      Canvas none;
                      Editor& vd = w.workbench().vectorEditor();
                      vd.startTool(Tool::Line);
                      vd.mouseDown({0, 0}, MouseButton::Left, &none);
                      vd.mouseDown({200, 0}, MouseButton::Left, &none);
                      w.workbench().commit("Line"); // as the page does after an event
                  }},
                 {"Solution page", [&] { w.solutionPage()->editor()->insertPlainText("I1 = 2 A"); }}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        messages.shown.clear();
        drawTwoNodesAndABranch();
        c.change();
        answer = dir.filePath("only.tbe");
        w.menuAction("Save schem")->trigger();
        ASSERT_TRUE(QFile::exists(answer));
        EXPECT_TRUE(w.windowTitle().startsWith('*'));
        messages.answers = {MsgResult::Cancel};
        w.menuAction("Open schem")->trigger(); // the scheme is saved: no question
        EXPECT_TRUE(messages.shown.isEmpty());
        w.close();
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, "Save file?");
        EXPECT_TRUE(w.isVisible());
        messages.answers = {MsgResult::No};
        w.menuAction("New")->trigger();
        EXPECT_FALSE(w.windowTitle().startsWith('*'));
    }
    // Undo back to the state "Save schem" wrote: nothing is left to ask about.
    drawTwoNodesAndABranch();
    w.menuAction("Save schem")->trigger();
    w.menuAction("Node")->trigger();
    click(200, 300);
    EXPECT_TRUE(w.windowTitle().startsWith('*'));
    w.menuAction("Undo Node")->trigger();
    EXPECT_FALSE(w.windowTitle().startsWith('*'));
    // Rich text keeps the whole Solution page; a text file is only a copy to read.
    w.solutionPage()->editor()->insertPlainText("I2 = 1 A");
    answer = dir.filePath("solution.txt");
    w.saveSolutionCommand();
    EXPECT_TRUE(w.windowTitle().startsWith('*'));
    answer = dir.filePath("solution");
    w.saveSolutionCommand();
    EXPECT_TRUE(QFile::exists(dir.filePath("solution.rtf")));
    EXPECT_FALSE(w.windowTitle().startsWith('*'));
}

TEST_F(WindowDesk, ScreenReadersFindEveryControlByName) {
    const QStringList acNames = {"Capacitor", "Inductor", "Impedance", "AC voltage source",
                                 "AC current source"};
    QStringList found;
    auto* ac = w.findChild<QToolBar*>("AC Devices");
    for (QAction* a : ac->actions()) {
        QWidget* button = ac->widgetForAction(a);
        ASSERT_NE(button, nullptr);
        found << button->accessibleName();
        EXPECT_TRUE(a->text().isEmpty());
        EXPECT_TRUE(button->toolTip().isEmpty());
        EXPECT_TRUE(a->isEnabled());
    }
    EXPECT_EQ(found, acNames);
    EXPECT_EQ(w.schemePage()->accessibleName(), "Scheme drawing");
    EXPECT_EQ(w.vectorPage()->canvas()->accessibleName(), "Vector diagram drawing");
    QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(w.statusPanel(1));
    ASSERT_NE(panel, nullptr);
    QTest::mouseMove(w.schemePage(), QPoint(42, 19));
    EXPECT_EQ(panel->text(QAccessible::Name), "Pos: 40,20");
    EXPECT_EQ(panel->text(QAccessible::Description), "Pointer position");
}

TEST_F(WindowDesk, RightClickOpensThePopupAndDeleteRemovesTheObject) {
    w.menuAction("Node")->trigger();
    click(100, 100);
    ASSERT_EQ(w.workbench().scheme().objectCount(), 2);
    // The menu runs its own loop: answer it from inside, once it is up.
    QStringList entries;
    QTimer poll;
    int tries = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            if (++tries > 200) poll.stop();
            return;
        }
        poll.stop();
        for (QAction* a : menu->actions())
            if (a->isVisible()) entries << a->text();
        menu->actions().first()->trigger();
        menu->close();
    });
    poll.start(10);
    click(100, 100, Qt::RightButton);
    EXPECT_EQ(entries, (QStringList{"Delete", "Move", "Properties"}));
    EXPECT_EQ(w.workbench().scheme().objectCount(), 0);
    EXPECT_EQ(w.menuAction("Undo Delete") != nullptr, true);
}

TEST(PowerNetworkTools, TheToolbarPlacesNodesASubstationAndALineThatUndoRemoves) {
    ScriptedPresenter dialogs; // every element's dialog is cancelled: defaults stand
    RecordingMessages messages;
    MainWindow w;
    w.workbench().context().setPresenter(&dialogs);
    w.workbench().context().setMessages(&messages);
    w.resize(900, 700);
    w.show();
    QCoreApplication::processEvents();
    auto* b = w.findChild<QToolBar*>("Power network");
    ASSERT_NE(b, nullptr);
    auto tool = [&](const char* hint) {
        for (QAction* a : b->actions())
            if (a->text() == hint) return a;
        ADD_FAILURE() << "no " << hint;
        return b->actions().front();
    };
    auto click = [&](int x, int y) {
        QTest::mouseMove(w.schemePage(), QPoint(x, y));
        QTest::mouseClick(w.schemePage(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    };
    auto count = [&](const char* cls) {
        int n = 0;
        for (NFizObj* o : w.workbench().scheme().objects())
            n += QByteArray(o->className()) == cls;
        return n;
    };
    tool("Network node")->trigger();
    click(100, 100);
    tool("Network node")->trigger();
    click(300, 100);
    tool("Power line")->trigger();
    click(100, 100);
    click(300, 100);
    tool("Substation")->trigger();
    click(500, 100);
    EXPECT_EQ(count("NPowerNode"), 2);
    EXPECT_EQ(count("NPowerLine"), 1);
    EXPECT_EQ(count("NTransStat"), 1);
    // Each placement asked for its element's data once.
    EXPECT_EQ(dialogs.shown,
              (QStringList{QString::fromUtf8("Параметры узла"), QString::fromUtf8("Параметры узла"),
                           QString::fromUtf8("Ввод параметров линии"),
                           QString::fromUtf8("Трансформаторная подстанция")}));
    EXPECT_TRUE(w.windowTitle().startsWith('*'));
    QAction* undo = w.menuAction("Undo Substation");
    ASSERT_NE(undo, nullptr);
    undo->trigger();
    EXPECT_EQ(count("NTransStat"), 0);
    ASSERT_NE(w.menuAction("Undo Power line"), nullptr);
    w.menuAction("Undo Power line")->trigger();
    EXPECT_EQ(count("NPowerLine"), 0);
    EXPECT_EQ(count("NPowerNode"), 2);
    w.workbench().setModified(false);
    w.workbench().context().setPresenter(nullptr);
    w.workbench().context().setMessages(nullptr);
}

// "View" of "Loops List" steps the list aside and opens "Loop propertes"; meanwhile the loop
// shows in its colour, drawn straight onto the page's buffer, and the page is painted again
// by the dialog's own event loop. Once the dialog closes the loop is hidden again, while the
// list is back.
TEST_F(WindowDesk, TheLoopShowsOnThePageWhileItsPropertiesAreOpen) {
    drawTwoNodesAndABranch();
    w.menuAction("Node")->trigger();
    click(300, 300);
    w.menuAction("Branch")->trigger();
    click(300, 100);
    click(300, 300);
    w.menuAction("Branch")->trigger();
    click(300, 300);
    click(100, 100);
    w.menuAction("New Loop")->trigger();
    for (QPoint p : {QPoint(100, 100), QPoint(200, 100), QPoint(300, 200), QPoint(200, 200)})
        click(p.x(), p.y());
    ASSERT_EQ(w.workbench().scheme().loops().count(), 1);

    // Pixels of the loop's colour along the first branch, off its ends.
    auto loopPixels = [](const QImage& page) {
        int n = 0;
        for (int x = 120; x <= 280; ++x)
            for (int y = 98; y <= 102; ++y)
                n += QColor(page.pixel(x, y)) == QColor(0, 128, 0);
        return n;
    };
    // What the screen shows of the page: the pixels the page last painted and flushed.
    auto onScreen = [&] {
        QCoreApplication::processEvents();
        const QPoint at = w.schemePage()->mapTo(&w, QPoint(0, 0));
        const QSize size = w.schemePage()->size();
        return w.screen()->grabWindow(w.winId(), at.x(), at.y(), size.width(), size.height()).toImage();
    };
    EXPECT_EQ(loopPixels(onScreen()), 0);

    bool listAside = false;
    QImage during, after;
    onModal([&](QDialog* list) {
        auto* loops = list->findChild<QListWidget*>("loops");
        auto* view = list->findChild<QPushButton*>("View");
        if (!loops || !view) return list->reject();
        loops->setCurrentRow(0);
        onModal([&](QDialog* properties) {
            EXPECT_EQ(properties->windowTitle(), "Loop propertes");
            listAside = !list->isVisible();
            const QRect loopArea(w.schemePage()->mapToGlobal(QPoint(100, 100)),
                                 w.schemePage()->mapToGlobal(QPoint(300, 300)));
            EXPECT_FALSE(properties->frameGeometry().intersects(loopArea)) << "the dialog covers the loop";
            (void)QTest::qWaitFor([&] { return loopPixels(during = onScreen()) > 150; }, 2000);
            properties->accept();
        });
        view->setFocus(Qt::MouseFocusReason); // as a click with the mouse leaves it
        view->click();
        onModal([&, loops](QDialog* again) { // the list, shown again: the loop is hidden meanwhile
            // and the keyboard is back in the list, not on "View".
            EXPECT_EQ(again->focusWidget(), loops);
            (void)QTest::qWaitFor([&] { return loopPixels(after = onScreen()) == 0; }, 2000);
            again->accept();
        });
    });
    w.menuAction("Loops List")->trigger();

    EXPECT_TRUE(listAside);
    EXPECT_GT(loopPixels(during), 150);
    EXPECT_EQ(loopPixels(after), 0);
    EXPECT_EQ(loopPixels(onScreen()), 0);
}
