// Recovery through the window: drawn work is offered again after an end without a clean
// close, restored unsaved with its file name, discarded on request; a clean close leaves
// nothing; a damaged copy is reported and kept aside. One test kills a real window process.
#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <signal.h>
#include <sys/types.h>

#include "gui/mainwindow.h"
#include "gui/schemepage.h"
#include "gui/solutionpage.h"
#include "modal.h"

using namespace qv;
using namespace std::chrono_literals;
using qv::gui::MainWindow;

namespace {

/// Runs the event loop until `done` holds or `limit` passes; answers `done()`.
template <class F> bool waitFor(F done, std::chrono::milliseconds limit = 15s) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limit.count())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

QStringList copiesIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.qvr")}, QDir::Files);
}

void click(MainWindow& w, int x, int y) {
    QTest::mouseMove(w.schemePage(), QPoint(x, y));
    QTest::mouseClick(w.schemePage(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
}

/// Two nodes and a branch between them, by the tools and clicks.
void drawTwoNodesAndABranch(MainWindow& w) {
    w.menuAction("Node")->trigger();
    click(w, 100, 100);
    w.menuAction("Node")->trigger();
    click(w, 300, 100);
    w.menuAction("Branch")->trigger();
    click(w, 100, 100);
    click(w, 300, 100);
}

/// A window as the program starts it, keeping its copy in `folder`.
struct Window {
    MainWindow w;
    RecordingMessages messages;
    explicit Window(const QString& folder, std::chrono::milliseconds delay = 20ms) {
        w.workbench().context().setMessages(&messages);
        w.resize(900, 700);
        w.show();
        QCoreApplication::processEvents();
        w.startRecovery(folder, delay);
    }
    ~Window() { w.workbench().context().setMessages(nullptr); }
};

/// Answers the recovery offer with the button of this accessible name, remembering the text.
void answerOffer(const char* button, QString* text) {
    onModal([button, text](QDialog* d) {
        auto* box = qobject_cast<QMessageBox*>(d);
        ASSERT_NE(box, nullptr);
        *text = box->text();
        for (QAbstractButton* b : box->buttons())
            if (b->accessibleName() == QLatin1String(button)) return b->click();
        ADD_FAILURE() << "no button " << button;
        d->reject();
    });
}

} // namespace

TEST(RecoveryWindow, WorkLeftBehindIsRestoredUnsavedWithItsFileName) {
    QTemporaryDir dir, files;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    QByteArray drawn;
    {
        Window first(folder);
        first.w.fileChooser = [&](bool, const QString&) {
            return files.filePath(QStringLiteral("first.qvw"));
        };
        first.w.menuAction("Save")->trigger(); // named, and clean: nothing to keep
        EXPECT_TRUE(copiesIn(folder).isEmpty());
        drawTwoNodesAndABranch(first.w);
        ASSERT_TRUE(waitFor([&] { return copiesIn(folder).size() == 1; }));
        drawn = first.w.workbench().committedRecord(Page::Scheme);
        // The window goes without a close, as in a crash: its copy stays.
    }
    ASSERT_EQ(copiesIn(folder).size(), 1);

    Window second(folder);
    QString asked;
    answerOffer("Restore", &asked);
    second.w.offerRecovery();
    EXPECT_TRUE(asked.startsWith("Restore unsaved work from ")) << asked.toStdString();
    EXPECT_TRUE(asked.endsWith("?"));
    EXPECT_EQ(second.w.workbench().committedRecord(Page::Scheme), drawn);
    EXPECT_EQ(second.w.workbench().scheme().objectCount(), 6);
    EXPECT_EQ(second.w.windowTitle(), "*first.qvw - TOLV - Quorvel");
    EXPECT_EQ(QFileInfo(second.w.workbench().workshopFile).fileName(), "first.qvw");
    // Each part came back unsaved: opening a scheme over it asks first.
    second.messages.answers = {MsgResult::Cancel};
    second.w.menuAction("Open schem")->trigger();
    EXPECT_EQ(second.messages.shown.value(0).text, "Save file?");
    second.messages.shown.clear();
    // The restored work is this window's now: only its own copy is left.
    EXPECT_EQ(copiesIn(folder), QStringList{QFileInfo(second.w.recovery()->copyPath()).fileName()});

    // A clean close, with "No" to "Save file?", leaves nothing to offer.
    second.messages.answers = {MsgResult::No};
    EXPECT_TRUE(second.w.close());
    EXPECT_EQ(second.messages.shown.value(0).text, "Save file?");
    EXPECT_TRUE(copiesIn(folder).isEmpty());
}

// Each part keeps its own saved state: the copy stays while any of them has changes, and goes
// when the last one is saved or undone back to its saved state.
TEST(RecoveryWindow, ACopyIsKeptWhileAnyPartIsUnsaved) {
    QTemporaryDir dir, files;
    Window win(dir.path());
    QString answer;
    win.w.fileChooser = [&](bool, const QString&) { return answer; };
    drawTwoNodesAndABranch(win.w);
    win.w.solutionPage()->editor()->insertPlainText("I1 = 2 A");
    ASSERT_TRUE(waitFor([&] { return copiesIn(dir.path()).size() == 1; }));
    answer = files.filePath(QStringLiteral("only.tbe"));
    win.w.menuAction("Save schem")->trigger();
    ASSERT_TRUE(QFile::exists(answer));
    const int writes = win.w.recovery()->writeCount();
    // Written again (the scheme's part is saved now, the page's is not), never removed.
    ASSERT_TRUE(waitFor([&] { return win.w.recovery()->writeCount() > writes; }));
    EXPECT_EQ(copiesIn(dir.path()).size(), 1);
    answer = files.filePath(QStringLiteral("page.rtf"));
    win.w.saveSolutionCommand();
    EXPECT_TRUE(copiesIn(dir.path()).isEmpty());

    // Undo back to the saved scheme leaves nothing unsaved: the copy goes at its next write.
    win.w.menuAction("Node")->trigger();
    click(win.w, 200, 300);
    ASSERT_TRUE(waitFor([&] { return copiesIn(dir.path()).size() == 1; }));
    win.w.menuAction("Undo Node")->trigger();
    EXPECT_TRUE(waitFor([&] { return copiesIn(dir.path()).isEmpty(); }));
}

TEST(RecoveryWindow, DiscardRemovesTheCopyAndADamagedOneIsReportedAndKeptAside) {
    QTemporaryDir dir;
    {
        Window first(dir.path());
        drawTwoNodesAndABranch(first.w);
        ASSERT_TRUE(waitFor([&] { return copiesIn(dir.path()).size() == 1; }));
    }
    {
        Window second(dir.path());
        QString asked;
        answerOffer("Discard", &asked);
        second.w.offerRecovery();
        EXPECT_FALSE(asked.isEmpty());
        EXPECT_EQ(second.w.workbench().scheme().objectCount(), 0);
        EXPECT_TRUE(copiesIn(dir.path()).isEmpty());
    }
    {
        Window first(dir.path());
        drawTwoNodesAndABranch(first.w);
        ASSERT_TRUE(waitFor([&] { return copiesIn(dir.path()).size() == 1; }));
    }
    const QString copy = QDir(dir.path()).filePath(copiesIn(dir.path()).value(0));
    {
        QFile f(copy);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(f.size() - 10);
        f.write("damage");
    }
    Window third(dir.path());
    third.w.offerRecovery(); // no question: the message only
    ASSERT_EQ(third.messages.shown.size(), 1);
    const QString told = third.messages.shown[0].text;
    EXPECT_TRUE(told.startsWith("The unsaved work from ")) << told.toStdString();
    EXPECT_TRUE(told.contains("its content does not match its checksum")) << told.toStdString();
    EXPECT_TRUE(told.contains(copy + ".damaged")) << told.toStdString();
    EXPECT_EQ(third.w.workbench().scheme().objectCount(), 0);
    EXPECT_TRUE(QFile::exists(copy + ".damaged"));
    EXPECT_TRUE(copiesIn(dir.path()).isEmpty());
}

// ---- a real process, killed ----

namespace qv::test {

/// The window process of the test below: draws, says so, and waits to be killed. Started by
/// the test's own program with QUORVEL_RECOVERY_CHILD naming the recovery folder; the copy
/// is written after the program's own delay.
int runRecoveryChild(const QString& folder) {
    MainWindow w;
    RecordingMessages messages;
    w.workbench().context().setMessages(&messages);
    w.resize(900, 700);
    w.show();
    QCoreApplication::processEvents();
    w.startRecovery(folder);
    drawTwoNodesAndABranch(w);
    std::printf("drawn %d\n", w.workbench().scheme().objectCount());
    std::fflush(stdout);
    return QCoreApplication::exec();
}

} // namespace qv::test

TEST(RecoveryProcess, AKilledWindowsWorkIsOfferedAtTheNextStart) {
    QTemporaryDir dir;
    // Two windows at once, each a process of its own, each with its own copy.
    QProcess killed, alive;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUORVEL_RECOVERY_CHILD"), dir.path());
    for (QProcess* child : {&killed, &alive}) {
        child->setProcessEnvironment(env);
        child->start(QCoreApplication::applicationFilePath(), {});
        ASSERT_TRUE(child->waitForStarted(30000));
    }
    for (QProcess* child : {&killed, &alive}) {
        ASSERT_TRUE(waitFor([&] { return child->canReadLine(); }, 60s))
            << child->readAllStandardError().toStdString();
        EXPECT_EQ(child->readLine().trimmed(), "drawn 6");
    }
    // The program's own delay: the copies come within five seconds of the last change.
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(waitFor([&] { return copiesIn(dir.path()).size() == 2; }, 30s));
    EXPECT_LT(clock.elapsed(), 5000 + 3000); // a loaded machine may be late to write
    ::kill(pid_t(killed.processId()), SIGKILL);
    ASSERT_TRUE(killed.waitForFinished(30000));
    EXPECT_EQ(killed.exitStatus(), QProcess::CrashExit);
    // Both lock files stay: the killed one's names a process that is gone.
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.lock")}, QDir::Files).size(), 2);

    {
        Window next(dir.path());
        QString asked;
        answerOffer("Restore", &asked);
        next.w.offerRecovery(); // the live window's copy is not offered
        EXPECT_TRUE(asked.startsWith("Restore unsaved work from ")) << asked.toStdString();
        EXPECT_EQ(next.w.workbench().scheme().objectCount(), 6);
        EXPECT_TRUE(next.w.workbench().isModified());
        next.messages.answers = {MsgResult::No};
        EXPECT_TRUE(next.w.close());
    }
    // After the clean close only the live window's copy is left, and it is not offered.
    EXPECT_EQ(copiesIn(dir.path()).size(), 1);
    {
        Window after(dir.path());
        ASSERT_NE(after.w.recovery(), nullptr);
        EXPECT_TRUE(after.w.recovery()->findLeftCopies().empty());
    }
    alive.kill();
    ASSERT_TRUE(alive.waitForFinished(30000));
    Window last(dir.path());
    EXPECT_EQ(last.w.recovery()->findLeftCopies().size(), 1u);
}
