// The command-line tool, run as a user runs it.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/process.h"
#include "support/testfiles.h"

namespace {

using qv::test::bytesOf;
using qv::test::cli;
using qv::test::fixture;

using qv::test::ProgramRun;

} // namespace

TEST(Cli, ResaveReproducesFilesOfAnotherWriterByteForByte) {
    QTemporaryDir dir;
    for (const char* name : {"dc_parallel.tbe", "dc_current_source_ground.tbe", "ac_rlc.tbe"}) {
        QString out = dir.filePath(name);
        ProgramRun r = cli({"resave", fixture(name), out});
        ASSERT_EQ(r.status, 0) << name << r.err.toStdString();
        EXPECT_EQ(bytesOf(out), bytesOf(fixture(name))) << name;
    }
}

TEST(Cli, DumpShowsObjectsValuesAndLoops) {
    ProgramRun r = cli({"dump", fixture("dc_parallel.tbe")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QJsonObject root = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(root["frequency"].toDouble(), 50.0);
    QJsonArray objects = root["objects"].toArray();
    QList<double> resistances;
    double emf = 0;
    int nodes = 0, branches = 0;
    for (const auto& v : objects) {
        QJsonObject o = v.toObject();
        QString cls = o["class"].toString();
        if (cls == "NUniRes") resistances << o["Resistance"].toDouble();
        if (cls == "NUniEds") emf = o["Emf"].toDouble();
        if (cls == "NTbeNode") ++nodes;
        if (cls == "NTbeLine") {
            ++branches;
            EXPECT_EQ(objects[o["node1"].toInt()].toObject()["class"].toString(), "NTbeNode");
        }
    }
    std::sort(resistances.begin(), resistances.end());
    EXPECT_EQ(resistances, QList<double>({2.0, 4.0, 6.0}));
    EXPECT_EQ(emf, 12.0);
    EXPECT_EQ(nodes, 2);
    EXPECT_EQ(branches, 3);
    QJsonArray loops = root["loops"].toArray();
    ASSERT_EQ(loops.size(), 2);
    EXPECT_EQ(loops[0].toObject()["name"].toString(), "1");
    EXPECT_EQ(loops[0].toObject()["nodes"].toArray().size(), 3);
}

TEST(Cli, ProblemsAreReportedOnStderrWithStatusOne) {
    QTemporaryDir dir;
    QString bad = dir.filePath("cut.tbe");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytesOf(fixture("ac_rlc.tbe")).left(100));
    f.close();
    struct Case {
        QStringList args;
        const char* mentions;
    } cases[] = {
        {{"dump", dir.filePath("missing.tbe")}, "missing.tbe"},
        {{"dump", bad}, "cut.tbe"},
        {{"resave", bad, dir.filePath("out.tbe")}, "cut.tbe"},
    };
    for (const auto& c : cases) {
        ProgramRun r = cli(c.args);
        EXPECT_EQ(r.status, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.mentions)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("out.tbe")));
    EXPECT_EQ(cli({"frobnicate"}).status, 2);
}

TEST(Cli, CommandLineHelpVersionAndWrongUsage) {
    const QByteArray general = "Usage: quorvel-cli [options] COMMAND";
    const struct Case {
        QStringList args;
        int status;
        QByteArray out;           ///< stdout starts with this
        QList<QByteArray> errHas; ///< stderr contains each
    } cases[] = {
        {{"--help"}, 0, general, {}},
        {{"dump", "--help"}, 0, "Usage: quorvel-cli dump [options] FILE", {}},
        {{"resave", "-h", "x.tbe"}, 0, "Usage: quorvel-cli resave [options] IN OUT", {}},
        {{"--version"}, 0, "quorvel-cli " QUORVEL_VERSION "\n", {}},
        {{}, 2, {}, {"no command", general}},
        {{"--frobnicate", "dump"}, 2, {}, {"frobnicate", general}},
        {{"frobnicate"}, 2, {}, {"unknown command 'frobnicate'", general}},
        {{"dump", "--frobnicate", "x.tbe"}, 2, {}, {"frobnicate", "Usage: quorvel-cli dump"}},
        {{"dump"}, 2, {}, {"dump: missing FILE", "Usage: quorvel-cli dump"}},
        {{"resave", "x.tbe"}, 2, {}, {"resave: missing OUT", "Usage: quorvel-cli resave"}},
        {{"eval", "1", "-2"}, 2, {}, {"eval: unexpected argument '-2'", "Usage: quorvel-cli eval"}},
        // A leading minus starts an expression, not an option.
        {{"eval", "-2*3"}, 0, "-6\n", {}},
        {{"eval", "-sqrt(4)"}, 0, "-2\n", {}},
        {{"eval", "--", "-1"}, 0, "-1\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ProgramRun r = cli(c.args);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        if (c.out.isEmpty()) {
            EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        } else {
            EXPECT_TRUE(r.out.startsWith(c.out)) << r.out.toStdString();
            EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        }
        for (const QByteArray& text : c.errHas)
            EXPECT_TRUE(r.err.contains(text)) << r.err.toStdString();
    }
    // The general help names every command.
    const ProgramRun help = cli({"--help"});
    for (const char* command : {"dump FILE", "resave IN OUT", "eval EXPR", "vector SCHEME.tbe OUT"})
        EXPECT_TRUE(help.out.contains(command)) << command;
}

TEST(Cli, PictureWritesTheFormatOfTheExtension) {
    QTemporaryDir dir;
    const struct {
        const char* name;
        QByteArray magic;
        qsizetype at;
    } cases[] = {{"s.emf", " EMF", 40}, {"s.svg", "<?xml", 0}, {"s.pdf", "%PDF", 0}, {"s.png", "\x89PNG", 0}};
    for (const auto& c : cases) {
        const ProgramRun r = cli({"picture", fixture("dc_parallel.tbe"), dir.filePath(c.name)});
        ASSERT_EQ(r.status, 0) << c.name << r.err.toStdString();
        EXPECT_EQ(bytesOf(dir.filePath(c.name)).mid(c.at, c.magic.size()), c.magic) << c.name;
    }
    const ProgramRun wrong = cli({"picture", fixture("dc_parallel.tbe"), dir.filePath("s.gif")});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_TRUE(wrong.err.contains(".emf, .svg, .pdf or .png")) << wrong.err.toStdString();
    EXPECT_EQ(cli({"picture", fixture("dc_parallel.tbe")}).status, 2);
}

TEST(Cli, CommandsThatOnlyReadAndComputeNeedNoDisplay) {
    // Numbers, dumps, copies and values start without the GUI application: a display
    // platform that cannot be had does not stop them.
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "no-such-platform");
    const QString cliPath = qv::test::requiredEnvironment("QUORVEL_CLI");
    const QStringList commands[] = {
        {"solve", fixture("ac_rlc.tbe"), "--method", "node", "--json", "-"},
        {"solve", fixture("dc_parallel.tbe"), "--method", "mesh", "--json", "-"},
        {"dump", fixture("dc_parallel.tbe")},
        {"resave", fixture("dc_parallel.tbe"), dir.filePath("copy.tbe")},
        {"eval", "2*3"},
    };
    for (const QStringList& args : commands) {
        const ProgramRun r = qv::test::runProgram(cliPath, args, env);
        EXPECT_EQ(r.status, 0) << args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    }
}
