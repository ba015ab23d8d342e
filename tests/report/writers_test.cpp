// The equation writers, checked by the verb calls they make.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/numfmt.h"
#include "report/recordingtarget.h"
#include "report/writers.h"

using namespace qv;

namespace {

std::string inserts(const RecordingReportTarget& t) {
    std::string out;
    for (const ReportCall& c : t.calls)
        if (c.verb == ReportVerb::Insert) out += (out.empty() ? "" : " ") + c.text;
    return out;
}

} // namespace

TEST(ReportWriters, ComplexValues) {
    struct Case {
        ComplexValue z;
        int precision;
        const char* inserts; ///< the Insert calls, separated by spaces
    };
    const Case cases[] = {
        {{0, -2.5L}, 4, "- j 2.5"},
        {{3, 4}, 4, "3 + j 4"},
        {{3, -4}, 4, "3 - j 4"},
        {{0, 4}, 4, "j 4"},
        {{0, -4}, 4, "- j 4"},
        {{3, 0}, 4, "3"},
        {{0, 0}, 4, "0"},
        {{-0.0L, -0.0L}, 4, "0"},
        {{0.000001L, 0}, 4, "1E-6"},
        {{12345, 0}, 4, "1.235E4"},
        {{0.0001234L, 0}, 4, "0.0001234"},
        {{-10, 31.4159265L}, 4, "-10 + j 31.42"},
        {{1.0L / 3, -2.0L / 3}, 6, "0.333333 - j 0.666667"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inserts);
        RecordingReportTarget t;
        writeComplex(t, c.z, c.precision);
        EXPECT_EQ(inserts(t), c.inserts);
        for (const ReportCall& call : t.calls)
            EXPECT_EQ(call.verb, ReportVerb::Insert) << call.describe();
    }
}

TEST(ReportWriters, FixedFormatResultLines) {
    // The current lines of the Kirchhoff-laws results: fixed format, 5 digits, 3 decimals.
    const std::pair<long double, std::string> cases[] = {
        {1.23456L, "1.235"}, {123.4567L, "123.460"}, {-0.5L, "-0.500"}, {1234567.0L, "1.2346E6"}};
    for (const auto& [value, expected] : cases) {
        RecordingReportTarget t;
        writeIndexedValue(t, "I", "1", numfmt::fixed(value, 5, 3) + "\r");
        ASSERT_FALSE(t.calls.empty());
        EXPECT_EQ(t.calls.back().describe(), "Insert(\"=" + expected + "\r\")");
        EXPECT_EQ(t.shownText(), "I_{1}=" + expected + "\n");
    }
}

TEST(ReportWriters, VerbSequences) {
    struct Case {
        const char* name;
        std::function<void(ReportTarget&)> write;
        const char* transcript;
        const char* shown;
    };
    const Case cases[] = {
        {"WriteIndexed", [](ReportTarget& t) { writeIndexed(t, "R", "12"); },
         "FontSize(14) Insert(\"R\") FontSize(8) Insert(\"12\") FontSize(14)", "R_{12}"},
        {"WriteIndexedValue", [](ReportTarget& t) { writeIndexedValue(t, "E", "2", "10"); },
         "Font(\"Times New Roman\") FontSize(14) Insert(\"E\") Font(\"Times New Roman\") FontSize(8) "
         "Font(\"Times New Roman\") Insert(\"2\") FontSize(14) Insert(\"=10\")",
         "E_{2}=10"},
        {"WriteGreekIndexed", [](ReportTarget& t) { writeGreekIndexed(t, "j", "3"); },
         "Font(\"symbol\") FontSize(18) Insert(\"j\") Font(\"Times New Roman\") FontSize(8) Insert(\"3\") "
         "FontSize(14) Font(\"Times New Roman\")",
         "φ_{3}"},
        // Only the letter is Greek: a name with letters and an exponent stay as written.
        {"WriteGreekIndexedValue", [](ReportTarget& t) { writeGreekIndexedValue(t, "j", "ab", "1.5E-6"); },
         "Font(\"symbol\") FontSize(18) Insert(\"j\") Font(\"Times New Roman\") FontSize(8) Insert(\"ab\") "
         "FontSize(14) Insert(\"=1.5E-6\")",
         "φ_{ab}=1.5E-6"},
        {"WriteGreekComplexValue",
         [](ReportTarget& t) {
             writeGreekComplexValue(t, "j", "1", {3, -4}, 4);
         },
         "Font(\"symbol\") FontSize(18) Insert(\"j\") Font(\"Times New Roman\") FormatFont(Subscript=1) "
         "Font(\"Times New Roman\") Insert(\"1\") FormatFont(Subscript=0) FontSize(14) Insert(\"=\") "
         "Font(\"Times New Roman\") Insert(\"3\") Insert(\"-\") Insert(\"j\") Insert(\"4\")",
         "φ_{1}=3-j4"},
        {"WritePowerOfTen", [](ReportTarget& t) { writePowerOfTen(t, -6); },
         "Insert(\"10\") FormatFont(Superscript=1) Insert(\"-6\") FormatFont(Superscript=0)", "10^{-6}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingReportTarget t;
        c.write(t);
        EXPECT_EQ(t.transcript(), c.transcript);
        EXPECT_EQ(t.shownText(), c.shown);
    }
}

TEST(ReportWriters, RealSystemRows) {
    // Matrix longer than n x n, as the Kirchhoff-laws method passes it.
    std::vector<Extended> a(2001, 0);
    const Extended rows[] = {1, -1, 0, 2, 0, -1.5L, 0.5L, 1, 1};
    std::copy(std::begin(rows), std::end(rows), a.begin());
    const std::vector<Extended> b = {0, 10, -2.25L};
    const std::vector<std::string> letters = {"I", "I", "I"}, indexes = {"1", "2", "3"};

    RecordingReportTarget t;
    Sistema(t).writeSystem(a, letters, indexes, 3, 5, 5, b);
    EXPECT_EQ(t.shownText(), "\nI_{1}-I_{2}=0\n2I_{1}-1.5I_{3}=10\n0.5I_{1}+I_{2}+I_{3}=-2.25\n");
    // Each piece is sized before it is written: 12 for the opening line, 14 and 8 after.
    ASSERT_GE(t.calls.size(), 4u);
    EXPECT_EQ(t.calls[0].describe(), "FontSize(12)");
    EXPECT_EQ(t.calls[1].describe(), "Insert(\"\r\")");
    for (const ReportCall& c : t.calls)
        EXPECT_NE(c.verb, ReportVerb::Font);
}

TEST(ReportWriters, SymbolSystemKeepsOnlyTheLettersGreek) {
    const std::vector<Extended> a = {2e-7L, -1, 1, 3};
    const std::vector<Extended> b = {1, 0};
    const std::vector<std::string> letters = {"j", "j"}, indexes = {"a", "b"};
    RecordingReportTarget t;
    Sistema(t).writeSymbolSystem(a, letters, indexes, 2, 5, 5, b);
    EXPECT_EQ(t.shownText(), "\n2E-7φ_{a}-φ_{b}=1\nφ_{a}+3φ_{b}=0\n");
}

TEST(ReportWriters, ComplexSystemRows) {
    const std::vector<ComplexValue> a = {{3, 4},  {0, -5}, {1, 0},  // row 0
                                         {-1, 0}, {0, 0},  {2, 0},  // row 1
                                         {0, 0},  {0, 0},  {0, 0}}; // row 2: no term
    const std::vector<ComplexValue> b = {{0, 0}, {1, -1}, {7, 0}};
    const std::vector<std::string> indexes = {"1", "2", "3"};

    RecordingReportTarget t;
    writeComplexSystem(t, b, a, 3, indexes, "I", "Times New Roman", 4);
    EXPECT_EQ(t.shownText(), "(3+j4)·I_{1}+-j5·I_{2}+I_{3}=0\n-I_{1}+2·I_{3}=1-j1\n=7\n");

    // The node-voltage method's unknowns: phi from the symbol face.
    RecordingReportTarget phi;
    writeComplexSystem(phi, std::span(b).first(1), std::span(a).first(1), 1, indexes, "j", "Symbol", 4);
    EXPECT_EQ(phi.shownText(), "(3+j4)·φ_{1}=0\n");
}

TEST(ReportWriters, SystemsShorterThanTheirSizeAreRefused) {
    const std::vector<Extended> a = {1, 2, 3};
    const std::vector<Extended> b = {1, 2};
    const std::vector<std::string> names = {"1", "2"};
    RecordingReportTarget t;
    EXPECT_THROW(Sistema(t).writeSystem(a, names, names, 2, 5, 5, b), ReportError);
    EXPECT_THROW(
        Sistema(t).writeSystem(std::vector<Extended>(4, 1), names, names, 2, 5, 5, std::span(b).first(1)),
        ReportError);
    const std::vector<ComplexValue> ca(4), cb(2);
    EXPECT_THROW(writeComplexSystem(t, cb, ca, 2, std::span(names).first(1), "I", "Times New Roman", 4),
                 ReportError);
    EXPECT_TRUE(t.calls.empty()) << "nothing is written before the check";
}

TEST(ReportWriters, AFailingVerbEndsTheWriterWithWhatWasWrittenKept) {
    RecordingReportTarget t;
    t.onCall = [](const ReportCall& c) {
        if (c.verb == ReportVerb::Insert && c.text == "j") throw ReportError("no more");
    };
    EXPECT_THROW(writeComplex(t, {3, 4}, 4), ReportError);
    EXPECT_EQ(inserts(t), "3 +");
}
