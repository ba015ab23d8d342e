// The "Power balance" command: its reminder, the mixed-scheme refusal and the balance written
// into the Solution page's document after a node-voltage solution.
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "app/solvecommand.h"
#include "support/componentbench.h"

using namespace qv;
using qv::test::ComponentBench;
using qv::test::value;

namespace {

/// a --[E1 12 V, R1 4 ohm]--> b, back through R2 2 ohm: 2 A, 24 W.
struct BalanceBench : ComponentBench {
    NTbeNode* a = node(0, 0);
    NTbeNode* b = node(800, 0);
    NTbeLine* forward = branch(a, b);
    NTbeLine* back = branch(b, a, {{800, 300}, {0, 300}});
    QTextDocument page;
    QTextCursor caret{&page};

    BalanceBench() {
        place<NUniEds>(200, 0, value("12"));
        place<NUniRes>(600, 0, value("4"));
        place<NUniRes>(400, 300, value("2"));
    }
    RecordingMessages& messages() { return dynamic_cast<RecordingMessages&>(*wb.context().messages()); }
};

} // namespace

TEST(PowerBalanceCommand, RemindsOfTheNodeMethodThenWritesTheBalance) {
    BalanceBench s;
    SolveRequest r = SolveRequest::fromScheme(s.doc, "node");
    r.picture = false;
    ASSERT_EQ(solveScheme(s.doc, r).status, SolveResult::Solved);
    ASSERT_TRUE(runPowerBalanceCommand(s.doc, s.caret));
    ASSERT_EQ(s.messages().shown.size(), 1);
    EXPECT_EQ(s.messages().shown[0].text, kPowerBalanceReminder);
    EXPECT_EQ(s.messages().shown[0].caption, QString());
    const QString text = s.page.toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("=16+8=24\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("=24=24\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Imbalance (sources - consumers): 0, relative 0")))
        << text.toStdString();
}

TEST(PowerBalanceCommand, ASchemeWithDcAndAcSourcesGetsNoBalance) {
    BalanceBench s;
    s.place<NUniCompCurSource>(200, 300);
    EXPECT_FALSE(runPowerBalanceCommand(s.doc, s.caret));
    ASSERT_EQ(s.messages().shown.size(), 2);
    EXPECT_EQ(s.messages().shown[0].text, kPowerBalanceReminder);
    EXPECT_EQ(s.messages().shown[1].text, kMixedScheme);
    EXPECT_EQ(s.messages().shown[1].caption, QString());
    EXPECT_TRUE(s.page.isEmpty());
}
