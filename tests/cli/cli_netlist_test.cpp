// quorvel-cli import-spice, export-spice, find-loops and solve --find-loops, run as a user
// runs them: the files, the messages and the exit statuses.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/componentbench.h"
#include "support/process.h"
#include "support/testfiles.h"

namespace {

using qv::test::cli;
using qv::test::ProgramRun;
using qv::test::textOf;

void write(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QJsonObject dump(const QString& path) {
    ProgramRun r = cli({"dump", path});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out.toUtf8()).object();
}

} // namespace

TEST(CliNetlist, ImportSolveFindLoopsAndExport) {
    QTemporaryDir dir;
    const QString cir = dir.filePath("divider.cir"), tbe = dir.filePath("divider.tbe");
    write(cir, "Divider\nVin top 0 DC 10\nRload top out 4.7k\nRlow out 0 3.3k\nRpar out 0 10k\n.op\n.end\n");
    ProgramRun r = cli({"import-spice", cir, tbe});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject scheme = dump(tbe);
    QStringList parts;
    int grounds = 0;
    for (const QJsonValue& v : scheme["objects"].toArray()) {
        const QJsonObject o = v.toObject();
        if (o["class"] == "NUniRes" || o["class"] == "NUniEds")
            parts << o["class"].toString() + ":" + o["name"].toString();
        grounds += o["class"] == "NFGroundObj";
    }
    parts.sort();
    EXPECT_EQ(parts, (QStringList{"NUniEds:in", "NUniRes:load", "NUniRes:low", "NUniRes:par"}));
    EXPECT_EQ(grounds, 1);
    EXPECT_TRUE(scheme["loops"].toArray().isEmpty());

    // Solving by loops with a set found for the run leaves the file as it was.
    for (const char* method : {"kirchhoff", "mesh"}) {
        ProgramRun s = cli({"solve", tbe, "--method", method, "--find-loops", "--json", "-"});
        ASSERT_EQ(s.status, 0) << method << s.err.toStdString();
        const QJsonArray branches = QJsonDocument::fromJson(s.out.toUtf8()).object()["branches"].toArray();
        ASSERT_EQ(branches.size(), 3);
        // 10 V over 4.7k + 3.3k || 10k.
        EXPECT_NEAR(std::fabs(branches[0].toObject()["current"].toDouble()),
                    10 / (4700 + 1 / (1 / 3300.0 + 1 / 10000.0)), 1e-12);
    }
    EXPECT_TRUE(dump(tbe)["loops"].toArray().isEmpty());

    const QString looped = dir.filePath("looped.tbe");
    r = cli({"find-loops", tbe, looped});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(dump(looped)["loops"].toArray().size(), 2);

    const QString out = dir.filePath("back.cir");
    r = cli({"export-spice", looped, out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString text = textOf(out);
    EXPECT_TRUE(text.startsWith("back\n"));
    EXPECT_TRUE(text.contains("\nVin ") && text.contains("\nRload ") && text.endsWith(".op\n.end\n"))
        << text.toStdString();
}

TEST(CliNetlist, ARefusedNetlistWritesNoFileAndNamesEachLine) {
    QTemporaryDir dir;
    const QString cir = dir.filePath("amp.cir"), tbe = dir.filePath("amp.tbe");
    write(cir,
          "amplifier\nVcc vcc 0 12\nQ1 c b e bc547\nR1 vcc c 1k\nX1 b e opamp\n.include models.lib\n.end\n");
    ProgramRun r = cli({"import-spice", cir, tbe});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "line 3: Q1: semiconductor devices are not supported\n"
                     "line 5: X1: subcircuits are not supported\n"
                     "line 6: .include: other files are not read; put the whole circuit into this netlist\n");
    EXPECT_FALSE(QFile::exists(tbe));

    r = cli({"import-spice", dir.filePath("none.cir"), tbe});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith("Cannot read ")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(tbe));

    r = cli({"import-spice", cir});
    EXPECT_EQ(r.status, 2);
}

TEST(CliNetlist, MoreLoopsThanTheListHoldsAreRefused) {
    QTemporaryDir dir;
    const QString tbe = dir.filePath("many.tbe");
    {
        qv::test::ComponentBench b;
        qv::NTbeNode* a = b.node(0, 0);
        qv::NTbeNode* z = b.node(0, 100);
        for (int k = 0; k < 102; ++k)
            b.branch(a, z, {{20 + 10 * k, 0}, {20 + 10 * k, 100}});
        QString error;
        ASSERT_TRUE(b.wb.saveScheme(tbe, &error)) << error.toStdString();
    }
    const QString out = dir.filePath("out.tbe");
    for (const QStringList& args : {QStringList{"find-loops", tbe, out},
                                    QStringList{"solve", tbe, "--method", "mesh", "--find-loops"}}) {
        ProgramRun r = cli(args);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_EQ(r.err, "The scheme has 101 independent loops; the loop list holds at most 100.\n");
    }
    EXPECT_FALSE(QFile::exists(out));
}
