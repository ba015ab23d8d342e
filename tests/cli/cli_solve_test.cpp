// quorvel-cli solve, run as a user runs it: the JSON, the report files and the exit statuses.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

#include "support/componentbench.h"
#include "support/process.h"
#include "support/testfiles.h"

namespace {

using qv::test::cli;
using qv::test::fixture;
using qv::test::textOf;

using qv::test::ProgramRun;

qv::ScriptedPresenter::Script value(const char* v) {
    return [v](qv::DialogModel& m) {
        m.field("value").text = QString::fromUtf8(v);
        return m.ok();
    };
}

} // namespace

TEST(CliSolve, NodeMethodWritesFullPrecisionJson) {
    ProgramRun r = cli({"solve", fixture("dc_current_source_ground.tbe"), "--method", "node", "--json", "-"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o["method"].toString(), "node");
    EXPECT_EQ(o["kind"].toString(), "dc");
    EXPECT_EQ(o["frequency"].toDouble(), 50.0);
    EXPECT_FALSE(o.contains("loops"));
    const QJsonArray nodes = o["nodes"].toArray();
    ASSERT_EQ(nodes.size(), 3);
    // The grounded node under its own name, at 0.
    EXPECT_EQ(nodes[2].toObject()["name"].toString(), "3");
    EXPECT_EQ(nodes[2].toObject()["potential"].toDouble(), 0.0);
    const QJsonArray branches = o["branches"].toArray();
    ASSERT_EQ(branches.size(), 4);
    // Which branch is which: its nodes in the direction of its current and its elements in
    // chain order, as the scheme's own description (the .json beside it) gives them.
    const QJsonObject third = branches[2].toObject();
    EXPECT_EQ(third["from"].toString(), "2");
    EXPECT_EQ(third["to"].toString(), "3");
    const QJsonArray elements = third["elements"].toArray();
    ASSERT_EQ(elements.size(), 2);
    EXPECT_EQ(elements[0].toObject(), (QJsonObject{{"name", "2"}, {"kind", "resistor"}, {"value", 20.0}}));
    EXPECT_EQ(elements[1].toObject(), (QJsonObject{{"name", "1"}, {"kind", "emf"}, {"value", 5.0}}));
    EXPECT_EQ(branches[0].toObject()["elements"].toArray()[0].toObject()["kind"].toString(),
              "current_source");
    // Not the report's six digits: 11/12 to the last bits.
    EXPECT_NEAR(branches[1].toObject()["current"].toDouble(), 11.0 / 12, 1e-14);
    EXPECT_NEAR(nodes[0].toObject()["potential"].toDouble(), 32.5, 1e-12);
}

TEST(CliSolve, AlternatingCurrentAtAnotherFrequencyAndReportFiles) {
    QTemporaryDir dir;
    const QString json = dir.filePath("r.json");
    ProgramRun at50 = cli({"solve", fixture("ac_rlc.tbe"), "--method", "node", "--json", "-"});
    ASSERT_EQ(at50.status, 0) << at50.err.toStdString();
    for (const char* ext : {"txt", "rtf", "html"}) {
        SCOPED_TRACE(ext);
        const QString report = dir.filePath(QStringLiteral("r.") + ext);
        ProgramRun r = cli({"solve", fixture("ac_rlc.tbe"), "--method", "node", "--frequency", "60",
                            "--report", report, "--json", json, "--no-picture"});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        const QString text = textOf(report);
        EXPECT_TRUE(text.contains("Branches impedance calculation")) << text.toStdString();
        EXPECT_FALSE(text.contains("Electrical scheme"));
    }
    const QJsonObject o = QJsonDocument::fromJson(textOf(json).toUtf8()).object();
    EXPECT_EQ(o["kind"].toString(), "ac");
    EXPECT_EQ(o["frequency"].toDouble(), 60.0);
    const QJsonArray first = o["branches"].toArray()[0].toObject()["current"].toArray();
    ASSERT_EQ(first.size(), 2);
    const QJsonArray first50 = QJsonDocument::fromJson(at50.out.toUtf8())
                                   .object()["branches"]
                                   .toArray()[0]
                                   .toObject()["current"]
                                   .toArray();
    EXPECT_NE(first[1].toDouble(), first50[1].toDouble()); // the frequency took effect
    // An AC source's value is complex, a capacitor's in microfarad as the scheme holds it.
    const QJsonArray branches = o["branches"].toArray();
    EXPECT_EQ(branches[0].toObject()["elements"].toArray()[0].toObject(),
              (QJsonObject{{"name", "1"}, {"kind", "emf"}, {"value", QJsonArray{100.0, 0.0}}}));
    EXPECT_EQ(branches[2].toObject()["elements"].toArray()[0].toObject(),
              (QJsonObject{{"name", "1"}, {"kind", "capacitor"}, {"value", 100.0}}));
}

TEST(CliSolve, LoopMethodsWriteTheBranchCurrentsAndTheMeshCurrents) {
    for (const char* method : {"kirchhoff", "mesh"}) {
        SCOPED_TRACE(method);
        ProgramRun r =
            cli({"solve", fixture("dc_current_source_ground.tbe"), "--method", method, "--json", "-"});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
        EXPECT_EQ(o["method"].toString(), method);
        EXPECT_FALSE(o.contains("nodes"));
        EXPECT_EQ(o.contains("loops"), std::string(method) == "mesh");
        const QJsonArray branches = o["branches"].toArray();
        ASSERT_EQ(branches.size(), 4);
        EXPECT_NEAR(branches[1].toObject()["current"].toDouble(), 11.0 / 12, 1e-14);
    }
}

TEST(CliSolve, ExitStatuses) {
    QTemporaryDir dir;
    // A branch of nothing but an EMF: the dialog would disable OK.
    const QString refused = dir.filePath("refused.tbe");
    const QString tooBig = dir.filePath("big.tbe");
    {
        qv::test::ComponentBench b;
        qv::NTbeNode* n1 = b.node(0, 0);
        qv::NTbeNode* n2 = b.node(400, 0);
        b.branch(n1, n2);
        b.branch(n1, n2, {{0, 300}, {400, 300}});
        b.place<qv::NUniEds>(200, 0, value("5"));
        b.place<qv::NUniRes>(200, 300, value("5"));
        QString error;
        ASSERT_TRUE(b.wb.saveScheme(refused, &error)) << error.toStdString();
    }
    {
        qv::test::ComponentBench b;
        std::vector<qv::NTbeNode*> n;
        for (int i = 0; i < 46; ++i)
            n.push_back(b.node(400 * i, 0));
        for (int i = 1; i < 46; ++i) {
            b.branch(n[size_t(i - 1)], n[size_t(i)]);
            b.place<qv::NUniRes>(400 * i - 200, 0, value("1"));
        }
        b.place<qv::NUniEds>(100, 0, value("1"));
        QString error;
        ASSERT_TRUE(b.wb.saveScheme(tooBig, &error)) << error.toStdString();
    }
    // Two wires side by side: no one current divides between them.
    const QString wires = dir.filePath("wires.tbe");
    {
        qv::test::ComponentBench b;
        qv::NTbeNode* n1 = b.node(0, 0);
        qv::NTbeNode* n2 = b.node(400, 0);
        b.branch(n1, n2);
        b.branch(n1, n2, {{0, 300}, {400, 300}});
        b.branch(n1, n2, {{0, -300}, {400, -300}});
        b.place<qv::NUniEds>(100, 0, value("5"));
        b.place<qv::NUniRes>(300, 0, value("5"));
        QString error;
        ASSERT_TRUE(b.wb.saveScheme(wires, &error)) << error.toStdString();
    }
    const QString report = dir.filePath("partial.txt");
    const struct {
        QStringList args;
        int status;
        const char* stderrHas;
    } cases[] = {
        {{"solve", refused, "--method", "node"}, 2, "Attention! Branch 1 include 1 voltage sources"},
        {{"solve", tooBig, "--method", "node", "--report", report},
         1,
         "Solution error: more than 44 unknowns"},
        {{"solve", fixture("dc_parallel.tbe"), "--method", "node", "--nodes", "1,9"}, 1, "no node named '9'"},
        {{"solve", fixture("dc_parallel.tbe"), "--method", "nodal"}, 2, "--method must be"},
        {{"solve", fixture("dc_parallel.tbe"), "--method", "node", "--frequency", "x"}, 2, "--frequency"},
        {{"solve", tooBig, "--method", "kirchhoff"}, 1, "Solution error: more than 44 unknowns"},
        {{"solve", fixture("dc_parallel.tbe"), "--method", "mesh", "--loops", "9"}, 1, "no loop named '9'"},
        {{"solve", dir.filePath("none.tbe"), "--method", "node"}, 1, "none.tbe"},
        {{"solve", wires, "--method", "kirchhoff"},
         1,
         "Solution error: the loop of branches 2, 3 has no resistance"},
        {{"solve", wires, "--method", "mesh"},
         1,
         "Solution error: the loop of branches 2, 3 has no resistance"},
        {{"solve", wires, "--method", "node", "--json", "-"},
         1,
         "Solution error: the loop of branches 2, 3 has no resistance"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        ProgramRun r = cli(c.args);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.stderrHas))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << "no numbers from a failed command";
    }
    // The partial report of the failed solution was written, with its reason.
    const QString partial = textOf(report);
    EXPECT_TRUE(partial.contains("Solution")) << partial.toStdString();
    EXPECT_TRUE(partial.contains("Solution error: more than 44 unknowns")) << partial.toStdString();
}

// --balance: the report ends with the balance and the JSON carries its sums, which agree.
TEST(CliSolve, BalanceFollowsTheNodeSolutionInReportAndJson) {
    QTemporaryDir dir;
    const QString report = dir.filePath("r.txt");
    ProgramRun dc = cli({"solve", fixture("dc_current_source_ground.tbe"), "--method", "node", "--balance",
                         "--no-picture", "--report", report, "--json", "-"});
    ASSERT_EQ(dc.status, 0) << dc.err.toStdString();
    EXPECT_TRUE(textOf(report).contains("Imbalance (sources - consumers)")) << textOf(report).toStdString();
    const QJsonObject b = QJsonDocument::fromJson(dc.out.toUtf8()).object()["balance"].toObject();
    // J1 lifts 2 A to 32.5 V; E1 works against 11/12 A.
    EXPECT_NEAR(b["current_sources"].toDouble(), 65, 1e-9);
    EXPECT_NEAR(b["emf"].toDouble(), -5 * 11.0 / 12, 1e-9);
    EXPECT_NEAR(b["sources"].toDouble(), 65 - 5 * 11.0 / 12, 1e-9);
    EXPECT_NEAR(b["consumers"].toDouble(), b["sources"].toDouble(), 1e-9);

    ProgramRun ac = cli({"solve", fixture("ac_rlc.tbe"), "--method", "node", "--balance", "--json", "-"});
    ASSERT_EQ(ac.status, 0) << ac.err.toStdString();
    const QJsonObject s = QJsonDocument::fromJson(ac.out.toUtf8()).object()["balance"].toObject();
    const QJsonArray consumers = s["consumers"].toArray(), sources = s["sources"].toArray();
    ASSERT_EQ(consumers.size(), 2);
    ASSERT_EQ(sources.size(), 2);
    EXPECT_GT(std::abs(consumers[0].toDouble()), 0);
    for (int k = 0; k < 2; ++k)
        EXPECT_NEAR(consumers[k].toDouble(), sources[k].toDouble(), 1e-9 * std::abs(consumers[0].toDouble()));
    EXPECT_FALSE(s.contains("emf"));

    ProgramRun plain = cli({"solve", fixture("dc_parallel.tbe"), "--method", "node", "--json", "-"});
    EXPECT_FALSE(QJsonDocument::fromJson(plain.out.toUtf8()).object().contains("balance"));
    ProgramRun mesh = cli({"solve", fixture("dc_parallel.tbe"), "--method", "mesh", "--balance"});
    EXPECT_EQ(mesh.status, 2);
    EXPECT_TRUE(mesh.err.contains("--balance needs --method node")) << mesh.err.toStdString();
}
