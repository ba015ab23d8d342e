// Reading SPICE netlists: numbers, the forms people write, the branches the scheme gets, and
// every kind of netlist that is refused with its message.
#include <gtest/gtest.h>

#include <random>

#include "app/netlistreader.h"

using namespace qv;

namespace {

std::string messages(const NetlistReading& r) {
    std::string s;
    for (const NetlistProblem& p : r.problems)
        s += p.message() + "\n";
    return s;
}

/// The elements of each branch by name, "n1:R1,V1:n2".
std::vector<std::string> branchesOf(const Netlist& n) {
    std::vector<std::string> out;
    for (const NetlistBranch& b : n.branches) {
        std::string s = n.nodes[size_t(b.node1)].name + ":";
        for (size_t i = 0; i < b.elements.size(); ++i)
            s += (i ? "," : "") + n.elements[size_t(b.elements[i])].name;
        out.push_back(s + ":" + n.nodes[size_t(b.node2)].name);
    }
    return out;
}

} // namespace

TEST(SpiceNumber, ScaleSuffixesAndUnits) {
    const std::pair<const char*, double> good[] = {
        {"10", 10},          {"4.7k", 4700},   {"4.7kOhm", 4700}, {"10uF", 10e-6}, {"2meg", 2e6},
        {"2MEG", 2e6},       {"2Megohm", 2e6}, {"1m", 1e-3},      {"1M", 1e-3},    {"1mil", 25.4e-6},
        {"3n", 3e-9},        {"5p", 5e-12},    {"1f", 1e-15},     {"1F", 1e-15},   {"1t", 1e12},
        {"1g", 1e9},         {"1e3", 1000},    {"1.5e-3k", 1.5},  {"-2.5", -2.5},  {"+3", 3},
        {".5", 0.5},         {"5.", 5},        {"10V", 10},       {"50Hz", 50},    {"2E+2", 200},
        {"1u\xCE\xA9", 1e-6}};
    for (auto [text, want] : good) {
        const std::optional<double> v = parseSpiceNumber(text);
        ASSERT_TRUE(v) << text;
        EXPECT_DOUBLE_EQ(*v, want) << text;
    }
    for (const char* bad : {"", "abc", "k", "-", ".", "1.2.3", "10k5", "e3", "1,5", "1_0", "(1)"})
        EXPECT_FALSE(parseSpiceNumber(bad)) << bad;
}

TEST(NetlistReader, ReadsTheFormsPeopleWrite) {
    const char* text = "Two meshes\r\n"
                       "* a comment line\n"
                       "   * an indented comment\n"
                       "vIn IN 0 dc 12 ; the supply\n"
                       "R1 in mid 1.5K $ series\n"
                       "r2 MID gnd\n"
                       "+ 3.3kOhm\n"
                       "\n"
                       "C1 mid Out 47u\n"
                       "L1 out 0 10mH\n"
                       "I2 0 out DC -2m\n"
                       ".TITLE  A better title \n"
                       ".op\n"
                       ".END\n"
                       "garbage after the end \x01\x02\n";
    NetlistReading r = readNetlist(text);
    ASSERT_TRUE(r.ok()) << messages(r);
    const Netlist& n = r.netlist;
    EXPECT_EQ(n.title, "A better title");
    EXPECT_FALSE(n.ac);
    ASSERT_EQ(n.elements.size(), 6u);
    EXPECT_EQ(n.elements[0].name, "vIn");
    EXPECT_EQ(n.elements[0].kind, 'V');
    EXPECT_EQ(n.elements[0].identifier(), "In");
    EXPECT_DOUBLE_EQ(n.elements[0].value, 12);
    EXPECT_DOUBLE_EQ(n.elements[2].value, 3300); // from the continuation line
    EXPECT_DOUBLE_EQ(n.elements[3].value, 47e-6);
    EXPECT_DOUBLE_EQ(n.elements[4].value, 10e-3);
    EXPECT_DOUBLE_EQ(n.elements[5].value, -2e-3);
    // Nodes keep the spelling they first had, are the same in any case, and gnd is 0.
    std::vector<std::string> names;
    for (const NetlistNode& node : n.nodes)
        names.push_back(node.name);
    EXPECT_EQ(names, (std::vector<std::string>{"IN", "0", "mid", "Out"}));
    // The node between the source and R1 joins two elements: one branch. "mid" and "Out"
    // join three.
    EXPECT_EQ(branchesOf(n),
              (std::vector<std::string>{"mid:R1,vIn:0", "mid:r2:0", "mid:C1:Out", "Out:L1:0", "0:I2:Out"}));
    EXPECT_EQ(n.loops, 3);
}

TEST(NetlistReader, AcSourcesMakeAnAcSchemeAtTheAnalysisFrequency) {
    NetlistReading r = readNetlist("ac\nV1 1 0 DC 5 AC 10 30\nI1 0 1 ac 2\nV2 1 2 3\nR1 2 0 1k\n"
                                   ".ac dec 10 1k 1k\n");
    ASSERT_TRUE(r.ok()) << messages(r);
    EXPECT_TRUE(r.netlist.ac);
    ASSERT_TRUE(r.netlist.frequency);
    EXPECT_DOUBLE_EQ(*r.netlist.frequency, 1000);
    const NetlistElement& v1 = r.netlist.elements[0];
    EXPECT_TRUE(v1.hasDc && v1.hasAc);
    EXPECT_DOUBLE_EQ(v1.acMagnitude, 10);
    EXPECT_DOUBLE_EQ(v1.acPhase, 30);
    EXPECT_DOUBLE_EQ(r.netlist.elements[1].acPhase, 0);
    EXPECT_FALSE(r.netlist.elements[2].hasAc); // a DC-only source of an AC scheme is 0 there
    // A linear sweep of one point is one frequency too.
    NetlistReading lin = readNetlist("t\nV1 1 0 AC 1\nR1 1 0 1\n.ac lin 1 60 100\n");
    ASSERT_TRUE(lin.ok()) << messages(lin);
    EXPECT_DOUBLE_EQ(*lin.netlist.frequency, 60);
}

TEST(NetlistReader, BranchesNeverCloseOnOneNode) {
    // A ring of three: two nodes stay, so that no branch runs from a node to itself.
    NetlistReading ring = readNetlist("ring\nR1 a b 1\nR2 b c 2\nR3 c a 3\n");
    ASSERT_TRUE(ring.ok()) << messages(ring);
    EXPECT_EQ(branchesOf(ring.netlist), (std::vector<std::string>{"a:R1:b", "b:R2,R3:a"}));
    // Two in parallel.
    NetlistReading pair = readNetlist("pair\nR1 a b 1\nR2 b a 2\n");
    ASSERT_TRUE(pair.ok()) << messages(pair);
    EXPECT_EQ(branchesOf(pair.netlist), (std::vector<std::string>{"a:R1:b", "b:R2:a"}));
    // A chain from a node back to itself keeps a node halfway along.
    NetlistReading loop = readNetlist("loop\nV1 x 0 1\nR0 x 0 1\nR1 x m 1\nR2 m n 1\nR3 n x 1\n");
    ASSERT_TRUE(loop.ok()) << messages(loop);
    EXPECT_EQ(branchesOf(loop.netlist),
              (std::vector<std::string>{"x:V1:0", "x:R0:0", "x:R1:m", "m:R2,R3:x"}));
    // The ground joins two elements and stays a node; the chain round from it keeps one more.
    NetlistReading ground = readNetlist("g\nR1 a 0 1\nR2 0 b 1\nR3 a b 1\n");
    ASSERT_TRUE(ground.ok()) << messages(ground);
    EXPECT_EQ(branchesOf(ground.netlist), (std::vector<std::string>{"b:R3,R1:0", "0:R2:b"}));
}

// The table of refused netlists: every line that cannot be taken has its message, and nothing
// is read from a netlist with any.
TEST(NetlistReader, RefusedNetlistsSayWhyLineByLine) {
    const std::pair<std::string, std::string> table[] = {
        {"t\nE1 1 0 2 0 10\nR1 1 0 1\n", "line 2: E1: dependent sources are not supported\n"},
        {"t\nG1 1 0 2 0 1m\nF1 1 0 V1 2\nH1 1 0 V1 2\nB1 1 0 V=1\nR1 1 0 1\n",
         "line 2: G1: dependent sources are not supported\nline 3: F1: dependent sources are not supported\n"
         "line 4: H1: dependent sources are not supported\nline 5: B1: dependent sources are not "
         "supported\n"},
        {"t\nD1 1 0 dmod\nQ1 1 2 0 qmod\nM1 1 2 0 0 nmos\nJ1 1 2 0 jmod\nR1 1 0 1\n",
         "line 2: D1: semiconductor devices are not supported\n"
         "line 3: Q1: semiconductor devices are not supported\n"
         "line 4: M1: semiconductor devices are not supported\n"
         "line 5: J1: semiconductor devices are not supported\n"},
        {"t\nX1 1 0 sub\n.subckt sub a b\nR1 a b 1\n.ends\n",
         "line 2: X1: subcircuits are not supported\nline 3: .subckt: subcircuits are not supported\n"
         "line 5: .ends: subcircuits are not supported\n"},
        {"t\n.include models.lib\nR1 1 0 1\n",
         "line 2: .include: other files are not read; put the whole circuit into this netlist\n"},
        {"t\n.lib lib.txt typ\nR1 1 0 1\n",
         "line 2: .lib: other files are not read; put the whole circuit into this netlist\n"},
        {"t\nR1 1 0\n", "line 2: R1: the value is missing\n"},
        {"t\nR1 1\n", "line 2: R1: a node is missing\n"},
        {"t\nV1 1 0\nR1 1 0 1\n", "line 2: V1: the value is missing\n"},
        {"t\nV1 1 0 DC\nR1 1 0 1\n", "line 2: V1: DC needs a value\n"},
        {"t\nV1 1 0 AC\nR1 1 0 1\n", "line 2: V1: AC needs a magnitude\n"},
        {"t\nR1 1 0 1x2\n", "line 2: R1: '1x2' is not a number\n"},
        {"t\nR1 1 0\n+ 1e999\n", "line 3: R1: '1e999' is out of range\n"},
        {"t\nR1 1 0 10 tc=0.01\n", "line 2: R1: 'tc=0.01' is not read: R, L and C take one value\n"},
        {"t\nC1 1 0 1u IC=2\n", "line 2: C1: 'IC=2' is not read: R, L and C take one value\n"},
        {"t\nV1 1 0 SIN(0 1 1k)\nR1 1 0 1\n",
         "line 2: V1: 'SIN(0' is not supported: a source takes a value, DC value and AC magnitude [phase]\n"},
        {"t\nV1 1 0 DC 1 DC 2\nR1 1 0 1\n", "line 2: V1: the DC value is given twice\n"},
        {"t\nRverylongname_0123456789 1 0 1\n", "line 2: Rverylongname_0123456789: the name is longer than "
                                                "the scheme holds (20 characters after its "
                                                "letter)\n"},
        {"t\nR1 node_name_of_21_chars 0 1\n",
         "line 2: R1: the node name 'node_name_of_21_chars' is longer than 20 characters\n"},
        {"t\nR1 1 0 1\nr1 1 0 2\n", "line 3: r1: the name is given twice (first on line 2)\n"},
        {"t\nR1 a A 1\n", "line 2: R1: both ends are on node 'a'\n"},
        {"t\nR1 0 gnd 1\n", "line 2: R1: both ends are on node '0'\n"},
        {"t\nK1 L1 L2 0.9\nR1 1 0 1\n", "line 2: K1: coupled inductors are not supported\n"},
        {"t\nS1 1 0 2 0 sw\nR1 1 0 1\n", "line 2: S1: switches are not supported\n"},
        {"t\nT1 1 0 2 0 Z0=50\nR1 1 0 1\n", "line 2: T1: transmission lines are not supported\n"},
        {"t\n1R 1 0 1\n", "line 2: 1R: not an element, a comment or a dot command\n"},
        {"t\n+ 1 0 1\nR1 1 0 1\n", "line 2: a continuation line ('+') with no line before it to continue\n"},
        {"t\nR1 1 0 1\n.tran 1n 1u\n", "line 3: .tran: only the .op and .ac analyses are read\n"},
        {"t\nR1 1 0 1\n.dc V1 0 1 0.1\n", "line 3: .dc: only the .op and .ac analyses are read\n"},
        {"t\nR1 1 0 {r}\n.param r=1k\n",
         "line 2: R1: '{r}' is not a number\nline 3: .param: parameters are not supported; write the values "
         "as numbers\n"},
        {"t\nR1 1 0 1\n.model dm D\n", "line 3: .model: device models are not supported\n"},
        {"t\nR1 1 0 1\n.options reltol=1e-6\n",
         "line 3: .options: not read: only .op, .ac, .title and .end are\n"},
        {"t\nV1 1 0 AC 1\nR1 1 0 1\n.ac dec 10 1 1meg\n",
         "line 4: .ac: the sweep runs over several frequencies; the scheme has one\n"},
        {"t\nV1 1 0 AC 1\nR1 1 0 1\n.ac 1k\n",
         "line 4: .ac: give it as .ac lin|dec|oct POINTS START STOP with one "
         "frequency\n"},
        {"t\nV1 1 0 AC 1\nR1 1 0 1\n.ac lin 1 0 0\n", "line 4: .ac: the frequency must be above 0 Hz\n"},
        {"t\nR1 1 0 1\n.control\nrun\nprint v(1)\n.endc\n",
         "line 3: .control: command blocks are not read; give the analysis as .op or .ac\n"},
        {"only a title\n.op\n.end\n", "the netlist has no elements (R, L, C, V or I)\n"},
        {"", "the netlist has no elements (R, L, C, V or I)\n"},
        {"t\nR1 1 0 1\n\x7f"
         "ELF\x02\x01\x01\nR2 1 0 2\n",
         "line 3: unreadable characters: this is not a text netlist\n"},
        {"t\nR1 \xD1\x83\xD0\xB7\xD0\xB5\xD0\xBB 0 1\n", ""}, // the scheme keeps Cyrillic names
        {"t\nR1 \xE4\xB8\xAD 0 1\n",
         "line 2: R1: the node name '\xE4\xB8\xAD' has characters the scheme cannot keep\n"},
    };
    for (const auto& [netlist, want] : table) {
        const NetlistReading r = readNetlist(netlist);
        EXPECT_EQ(messages(r), want) << netlist;
        if (!r.ok()) {
            EXPECT_TRUE(r.netlist.elements.empty()) << netlist;
            EXPECT_TRUE(r.netlist.branches.empty()) << netlist;
        }
    }
}

TEST(NetlistReader, TheTablesBoundNodesLoopsAndElements) {
    // A DC ladder: each section a branch across and one down, the last two in one branch.
    // The Kirchhoff-laws table takes 44 branches without current sources; AC has no such
    // table.
    auto ladder = [](int sections, bool ac) {
        std::string s = "ladder\nV1 n1 0 " + std::string(ac ? "AC 1" : "1") + "\n";
        for (int k = 1; k <= sections; ++k) {
            if (k > 1)
                s += "R" + std::to_string(k) + "s n" + std::to_string(k - 1) + " n" + std::to_string(k) +
                     " 1\n";
            s += "R" + std::to_string(k) + "p n" + std::to_string(k) + " 0 1\n";
        }
        return s;
    };
    EXPECT_TRUE(readNetlist(ladder(22, false)).ok());
    EXPECT_EQ(messages(readNetlist(ladder(23, false))),
              "line 46: R23s: begins branch 45 without a current source; a DC scheme holds at most 44 such "
              "branches\n");
    EXPECT_TRUE(readNetlist(ladder(46, true)).ok());
    // Nodes joined by current sources: 44 besides the ground fit the DC node table, 45 do not.
    auto sources = [](int nodes) {
        std::string s = "sources\nV1 n1 0 1\nR1 n1 0 1\n";
        for (int i = 2; i <= nodes; ++i)
            s += "I" + std::to_string(i) + " n" + std::to_string(i - 1) + " n" + std::to_string(i) +
                 " 1m\nI" + std::to_string(i) + "g n" + std::to_string(i) + " 0 1m\n";
        return s + "Iend n" + std::to_string(nodes) + " 0 1m\n";
    };
    EXPECT_TRUE(readNetlist(sources(44)).ok());
    EXPECT_EQ(messages(readNetlist(sources(45))),
              "line 90: node 'n45': a DC scheme holds at most 44 nodes besides the reference\n");
    // 100 loops fit, the element that closes the 101st does not.
    auto parallel = [](int resistors) {
        std::string s = "parallel\nV1 a 0 AC 1\nR0 a b 1\n";
        for (int k = 1; k <= resistors; ++k)
            s += "R" + std::to_string(k) + " b 0 1\n";
        return s;
    };
    EXPECT_TRUE(readNetlist(parallel(100)).ok());
    EXPECT_EQ(messages(readNetlist(parallel(101))),
              "line 104: R101: closes loop 101; a scheme holds at most 100 independent loops\n");
    // A long chain of 500 elements is one branch; the 501st element is refused.
    std::string chain = "chain\nV1 n0 0 1\n";
    for (int k = 1; k < 500; ++k)
        chain += "R" + std::to_string(k) + " n" + std::to_string(k - 1) + " n" + std::to_string(k) + " 1\n";
    EXPECT_EQ(messages(readNetlist(chain + "R999 n499 0 1\n")), "line 502: R999: more than 500 elements\n");
    NetlistReading one = readNetlist(chain);
    ASSERT_TRUE(one.ok()) << messages(one);
    EXPECT_EQ(one.netlist.branches.size(), 1u);
}

// Whatever bytes come in, the reader answers within its bounds: a result or its problems,
// at most 100 of them.
TEST(NetlistReader, AnyBytesGiveAnAnswer) {
    std::mt19937 rng(24);
    const std::string sample =
        "t\nV1 1 0 DC 5 AC 1 30\n+ ; x\nR1 1 2 4.7k $ y\nC1 2 0 1u\n.ac lin 1 50 50\n.end\n";
    for (int round = 0; round < 1000; ++round) {
        std::string s = sample;
        const int edits = 1 + int(rng() % 6);
        for (int e = 0; e < edits; ++e) {
            const size_t at = rng() % (s.size() + 1);
            switch (rng() % 3) {
            case 0:
                s.insert(at, 1, char(rng() % 256));
                break;
            case 1:
                if (at < s.size()) s.erase(at, 1);
                break;
            default:
                if (at < s.size()) s[at] = char(rng() % 256);
            }
        }
        const NetlistReading r = readNetlist(s);
        EXPECT_LE(r.problems.size(), size_t(NetlistLimits::kMaxProblems));
        if (r.ok()) {
            for (const NetlistBranch& b : r.netlist.branches)
                EXPECT_NE(b.node1, b.node2);
        }
    }
    std::string binary(200000, '\0');
    for (char& c : binary)
        c = char(rng() % 256);
    const NetlistReading garbage = readNetlist(binary);
    EXPECT_FALSE(garbage.ok());
    EXPECT_EQ(garbage.problems.size(), size_t(NetlistLimits::kMaxProblems));
    EXPECT_EQ(garbage.problems.back().text, "too many problems; reading stopped here");
    EXPECT_EQ(readNetlist(std::string(NetlistLimits::kMaxBytes + 1, 'x')).problems.front().message(),
              "the netlist is larger than 4 MiB; this is not a netlist the scheme can hold");
}
