// quorvel-cli exercise as a teacher runs it: the files of a set, the same bytes for the same
// seed, and options that cannot give a set refused with nothing written.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/process.h"
#include "support/testfiles.h"

namespace {

using qv::test::cli;
using qv::test::ProgramRun;

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int pages(const QByteArray& pdf) {
    return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

} // namespace

// A set of three by the mesh method: three schemes with their loops, a page per exercise, an
// answer per exercise; made again with the seed it printed, the same bytes.
TEST(CliExercise, ASetAndTheSameSetAgainFromItsSeed) {
    QTemporaryDir dir;
    const QString first = dir.filePath("first"), second = dir.filePath("second");
    const QStringList options{"exercise", "--count",  "3",          "--kind", "ac",
                              "--nodes",  "3-4",      "--branches", "5-6",    "--current-sources",
                              "1",        "--method", "mesh"};
    ProgramRun r = cli(options + QStringList{first});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QRegularExpressionMatch seed = QRegularExpression(QStringLiteral("^seed (\\d+)\n$")).match(r.out);
    ASSERT_TRUE(seed.hasMatch()) << r.out.toStdString();
    const QStringList files{"answers.pdf", "exercise-01.tbe", "exercise-02.tbe", "exercise-03.tbe",
                            "exercises.pdf"};
    EXPECT_EQ(QDir(first).entryList(QDir::Files, QDir::Name), files);
    for (const QString& tbe : {"exercise-01.tbe", "exercise-02.tbe", "exercise-03.tbe"}) {
        ProgramRun d = cli({"dump", QDir(first).filePath(tbe)});
        ASSERT_EQ(d.status, 0) << d.err.toStdString();
        EXPECT_FALSE(QJsonDocument::fromJson(d.out.toUtf8()).object()["loops"].toArray().isEmpty())
            << tbe.toStdString();
    }
    EXPECT_EQ(pages(bytesOf(QDir(first).filePath("exercises.pdf"))), 3);
    EXPECT_GE(pages(bytesOf(QDir(first).filePath("answers.pdf"))), 3);

    r = cli(options + QStringList{"--seed", seed.captured(1), second});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    for (const QString& f : files) {
        const QByteArray a = bytesOf(QDir(first).filePath(f));
        EXPECT_FALSE(a.isEmpty()) << f.toStdString();
        EXPECT_TRUE(a == bytesOf(QDir(second).filePath(f))) << f.toStdString();
    }
}

// Each refusal: status 1, a message naming what is wrong, and no folder made.
TEST(CliExercise, OptionsThatCannotGiveASetWriteNothing) {
    QTemporaryDir dir;
    const QString out = dir.filePath("set");
    const QStringList base{"--kind", "dc", "--nodes", "3-4", "--branches", "5-6"};
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {QStringList{"--count", "0"} + base, "--count"},
        {QStringList{"--count", "two"} + base, "--count"},
        {QStringList{"--count", "2", "--kind", "both", "--nodes", "3", "--branches", "5"}, "--kind"},
        {QStringList{"--count", "2"} + base.mid(0, 4), "--branches is missing"},
        {QStringList{"--count", "2", "--kind", "dc", "--nodes", "3..4", "--branches", "5"}, "--nodes"},
        {QStringList{"--count", "2", "--kind", "dc", "--nodes", "5", "--branches", "3-4"}, "need 7 branches"},
        {QStringList{"--count", "2", "--seed", "-1"} + base, "--seed"},
        {QStringList{"--count", "2", "--method", "guess"} + base, "--method"},
        {QStringList{"--count", "2", "--current-sources", "x"} + base, "--current-sources"},
    };
    for (const auto& c : cases) {
        ProgramRun r = cli(QStringList{"exercise"} + c.args + QStringList{out});
        EXPECT_EQ(r.status, 1) << c.args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.message))) << c.message << ": " << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out)) << c.args.join(' ').toStdString();
    }
}
