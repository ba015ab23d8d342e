// Recovery copies: the file that holds one, the keeper that writes it a delay after a change,
// and telling the copies of running workbenches from those left behind.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "app/recovery.h"
#include "app/workbench.h"
#include "platform/binarystream.h"
#include "support/placement.h"

using namespace qv;
using namespace std::chrono_literals;

namespace {

/// Runs the event loop until `done` holds or `limit` passes; answers `done()`.
template <class F> bool waitFor(F done, std::chrono::milliseconds limit = 10s) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limit.count())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

/// A node placed and committed as the editor does.
void drawNode(Workbench& wb, int32_t x, int32_t y) {
    test::placeNode(wb.scheme(), x, y);
    wb.commit(QStringLiteral("Node"));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

TEST(RecoveryRecord, ReadsBackWhatWasWrittenAndRefusesEveryDamage) {
    const RecoveryRecord original{QDateTime::fromMSecsSinceEpoch(1765380000123, Qt::UTC),
                                  QString::fromUtf8("/home/ученик/схема 1.qvw"),
                                  QByteArray("workshop bytes\0\1", 16)};
    const QByteArray bytes = writeRecoveryRecord(original);
    RecoveryRecord back;
    QString error;
    ASSERT_TRUE(readRecoveryRecord(bytes, back, &error)) << error.toStdString();
    EXPECT_EQ(back.savedAt, original.savedAt);
    EXPECT_EQ(back.workshopFile, original.workshopFile);
    EXPECT_EQ(back.workshop, original.workshop);

    for (qsizetype n = 0; n < bytes.size(); ++n)
        EXPECT_FALSE(readRecoveryRecord(bytes.left(n), back, &error)) << "cut at " << n;
    // Any byte changed, in the mark, the lengths, the checksum or the work.
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        QByteArray changed = bytes;
        changed[at] = char(changed[at] ^ 0x21);
        RecoveryRecord r;
        const bool read = readRecoveryRecord(changed, r, &error);
        // Only the time and the name are not covered by the checksum; a change there reads as
        // another time or name, never as other work.
        if (read)
            EXPECT_EQ(r.workshop, original.workshop) << at;
        else
            EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_FALSE(readRecoveryRecord(bytes + "x", back, &error));
    EXPECT_FALSE(readRecoveryRecord(
        QByteArray("QVRECOV1") + QByteArray(8, '\0') + QByteArray("\xff\xff\xff\x7f", 4), back, &error));
    EXPECT_EQ(error, "its header is damaged");
}

TEST(RecoveryKeeper, WritesTheWorkshopADelayAfterAChangeAndRemovesItWhenClean) {
    QTemporaryDir dir;
    Workbench wb;
    QTextDocument page;
    RecoveryKeeper keeper(wb, dir.path(), &page, 40ms);
    ASSERT_TRUE(keeper.isActive()) << keeper.lastError().toStdString();
    EXPECT_TRUE(QFile::exists(keeper.lockPath()));
    wb.workshopFile = QStringLiteral("/somewhere/first.qvw");

    drawNode(wb, 100, 100);
    EXPECT_FALSE(QFile::exists(keeper.copyPath())); // not before the delay
    ASSERT_TRUE(waitFor([&] { return QFile::exists(keeper.copyPath()); }));
    EXPECT_EQ(keeper.writeCount(), 1);

    RecoveryRecord record;
    QString error;
    ASSERT_TRUE(readRecoveryRecord(readAll(keeper.copyPath()), record, &error)) << error.toStdString();
    EXPECT_EQ(record.workshopFile, "/somewhere/first.qvw");
    EXPECT_LE(std::abs(record.savedAt.secsTo(QDateTime::currentDateTimeUtc())), 60);
    {
        // The copy restores into another workbench: the same scheme, unsaved, with the name.
        Workbench other;
        QByteArray solution;
        ASSERT_TRUE(restoreRecoveredWork(other, record, solution, &error)) << error.toStdString();
        EXPECT_EQ(other.committedRecord(Page::Scheme), wb.committedRecord(Page::Scheme));
        EXPECT_TRUE(other.isModified());
        EXPECT_EQ(other.workshopFile, "/somewhere/first.qvw");
        EXPECT_EQ(other.caption(), "first.qvw - TOLV - Quorvel");
    }

    // Undo back to the saved state: nothing is unsaved, and the copy goes at the next turn.
    wb.setModified(false);
    drawNode(wb, 200, 100);
    wb.undo();
    ASSERT_TRUE(waitFor([&] { return !QFile::exists(keeper.copyPath()); }));

    // The Solution page's text is part of the work.
    QTextCursor(&page).insertText(QStringLiteral("Solution"));
    ASSERT_TRUE(waitFor([&] { return QFile::exists(keeper.copyPath()); }));
    ASSERT_TRUE(readRecoveryRecord(readAll(keeper.copyPath()), record, &error));
    EXPECT_TRUE(record.workshop.endsWith(Workbench::solutionRecord(page)));

    keeper.markClean();
    EXPECT_FALSE(QFile::exists(keeper.copyPath()));
    QCoreApplication::processEvents();
    EXPECT_EQ(filesIn(dir.path()), QStringList{QFileInfo(keeper.lockPath()).fileName()});
}

TEST(RecoveryKeeper, ChangesThatKeepComingAreWrittenOncePerDelay) {
    QTemporaryDir dir;
    Workbench wb;
    const auto delay = 60ms;
    RecoveryKeeper keeper(wb, dir.path(), nullptr, delay);
    QElapsedTimer clock;
    clock.start();
    int x = 0;
    // A change every few milliseconds for ten delays: waiting for a pause would write nothing.
    while (clock.elapsed() < 10 * delay.count()) {
        drawNode(wb, x += 10, 100);
        waitFor([] { return false; }, 5ms);
    }
    const qint64 elapsed = clock.elapsed();
    EXPECT_GE(keeper.writeCount(), 2);
    EXPECT_LE(keeper.writeCount(), elapsed / delay.count() + 1);
}

TEST(RecoveryKeeper, OnlyCopiesOfEndedWorkbenchesAreFoundAndADamagedOneIsKeptAside) {
    QTemporaryDir dir;
    Workbench running, gone, starting;
    RecoveryKeeper runningKeeper(running, dir.path(), nullptr, 10ms);
    auto goneKeeper = std::make_unique<RecoveryKeeper>(gone, dir.path(), nullptr, 10ms);
    drawNode(running, 100, 100);
    drawNode(gone, 300, 300);
    ASSERT_TRUE(runningKeeper.writeNow());
    ASSERT_TRUE(goneKeeper->writeNow());
    const QString goneCopy = goneKeeper->copyPath();

    RecoveryKeeper keeper(starting, dir.path(), nullptr, 10ms);
    EXPECT_TRUE(keeper.findLeftCopies().empty()); // both still run

    // An end without a clean close leaves the copy, no longer guarded.
    goneKeeper.reset();
    // A copy that is not a recovery copy at all, and one whose work is damaged inside a
    // sound frame.
    QFile junk(QDir(dir.path()).filePath(QStringLiteral("junk.qvr")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a copy");
    junk.flush();
    // Its time is the file's: an old one.
    junk.setFileTime(QDateTime::fromSecsSinceEpoch(1000, Qt::UTC), QFileDevice::FileModificationTime);
    junk.close();
    QFile inner(QDir(dir.path()).filePath(QStringLiteral("inner.qvr")));
    ASSERT_TRUE(inner.open(QIODevice::WriteOnly));
    inner.write(
        writeRecoveryRecord({QDateTime::fromSecsSinceEpoch(1000, Qt::UTC), QString(), "\1\0\0\0\5\0\0\0"}));
    inner.close();

    std::vector<LeftCopy> found = keeper.findLeftCopies();
    ASSERT_EQ(found.size(), 3u);
    // Newest first: the copy just written.
    EXPECT_EQ(found[0].path, goneCopy);
    EXPECT_TRUE(found[0].error.isEmpty()) << found[0].error.toStdString();
    QStringList errors;
    for (size_t i = 1; i < found.size(); ++i)
        errors << QFileInfo(found[i].path).fileName() + ": " + found[i].error;
    errors.sort();
    EXPECT_TRUE(errors[0].startsWith("inner.qvr: the work is damaged or not a workshop file"))
        << errors[0].toStdString();
    EXPECT_EQ(errors[1], "junk.qvr: it is not a recovery copy");
    {
        // While found, the copies are locked: a workbench starting meanwhile does not see them.
        Workbench third;
        RecoveryKeeper another(third, dir.path(), nullptr, 10ms);
        EXPECT_TRUE(another.findLeftCopies().empty());
    }
    for (size_t i = 1; i < found.size(); ++i) {
        const QString aside = RecoveryKeeper::setAside(found[i]);
        EXPECT_TRUE(aside.endsWith(".damaged")) << aside.toStdString();
        EXPECT_TRUE(QFile::exists(aside));
    }
    RecoveryKeeper::removeCopy(found[0]);
    found.clear();
    EXPECT_TRUE(keeper.findLeftCopies().empty());
    EXPECT_TRUE(QFile::exists(runningKeeper.copyPath())); // the running one's copy is untouched
}
