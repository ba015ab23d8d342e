// quorvel-cli --language: the report's headings in the language, everything else unchanged.
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/process.h"
#include "support/testfiles.h"

namespace {

using qv::test::cli;
using qv::test::fixture;
using qv::test::ProgramRun;

struct Solved {
    QByteArray report; ///< the plain-text report, byte for byte
    QByteArray json;
};

/// Solves `scheme` with `method` and the language arguments `language` (before or after the
/// command), the report as plain text.
Solved solve(const QString& scheme, const QString& method, const QStringList& before,
             const QStringList& after, const QTemporaryDir& dir) {
    const QString report = dir.filePath(method + before.join('_') + after.join('_') + ".txt");
    QStringList args = before;
    args << "solve" << scheme << "--method" << method << "--no-picture"
         << "--report" << report << "--json"
         << "-";
    if (method == "node") args << "--balance";
    args << after;
    const ProgramRun r = cli(args);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    return {qv::test::bytesOf(report), r.out.toUtf8()};
}

/// Every number of a text in order: what no language may change.
QStringList numbersIn(const QByteArray& text) {
    static const QRegularExpression number(QStringLiteral("-?\\d+(\\.\\d+)?(E-?\\d+)?"));
    QStringList found;
    for (const QRegularExpressionMatch& m : number.globalMatch(QString::fromUtf8(text)))
        found << m.captured();
    return found;
}

} // namespace

TEST(CliLanguage, ReportHeadingsFollowTheLanguageAndNothingElseChanges) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct Case {
        const char* scheme;
        const char* method;
        QStringList asWritten, english, russian; ///< headings each report must hold
    } cases[] = {
        {"dc_parallel.tbe",
         "kirchhoff",
         {"Inital variables", "Решение", "Writing Kirchoff current law for",
          "Wrining Kirchoff voltage law for "},
         {"Initial data", "Solution", "Writing Kirchhoff's current law for ",
          "Writing Kirchhoff's voltage law for "},
         {"Исходные данные", "Решение", "по первому закону Кирхгофа", "по второму закону Кирхгофа"}},
        {"dc_parallel.tbe",
         "mesh",
         {"Inital variables", "Решение"},
         {"Initial data", "Solution"},
         {"Решение"}},
        {"dc_current_source_ground.tbe",
         "node",
         {"Solution", "Imbalance (sources - consumers): "},
         {"Solution", "Imbalance (sources - consumers): "},
         {"Решение", "Небаланс (источники − потребители): ", "относительный"}},
        {"ac_rlc.tbe",
         "node",
         {"Branches impedance calculation", "Nodes currents calculation"},
         {"Branch impedance calculation", "Node current calculation"},
         {"Расчёт сопротивлений ветвей", "Расчёт токов в узлах"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.scheme) + " " + c.method);
        const QString scheme = fixture(c.scheme);
        const Solved plain = solve(scheme, c.method, {}, {}, dir);
        ASSERT_FALSE(plain.report.isEmpty());
        for (const QString& heading : c.asWritten)
            EXPECT_TRUE(plain.report.contains(heading.toUtf8())) << heading.toStdString();
        // As written is the report without the option, byte for byte, before or after the command.
        EXPECT_EQ(solve(scheme, c.method, {"--language", "as-written"}, {}, dir).report, plain.report);
        EXPECT_EQ(solve(scheme, c.method, {}, {"--language=as-written"}, dir).report, plain.report);

        const Solved english = solve(scheme, c.method, {"--language", "en"}, {}, dir);
        const Solved russian = solve(scheme, c.method, {}, {"--language", "ru"}, dir);
        for (const QString& heading : c.english)
            EXPECT_TRUE(english.report.contains(heading.toUtf8())) << heading.toStdString();
        for (const QString& heading : c.russian)
            EXPECT_TRUE(russian.report.contains(heading.toUtf8())) << heading.toStdString();
        for (const QString& misspelt : {"Kirchoff", "Inital", "Wrining"})
            EXPECT_FALSE(english.report.contains(misspelt.toUtf8())) << misspelt.toStdString();
        EXPECT_NE(russian.report, plain.report);
        // The numbers and the JSON are the same in every language.
        for (const Solved* other : {&english, &russian}) {
            EXPECT_EQ(numbersIn(other->report), numbersIn(plain.report));
            EXPECT_EQ(other->json, plain.json);
        }
    }
}

TEST(CliLanguage, UnknownLanguageIsAUsageError) {
    for (const QStringList& args :
         {QStringList{"--language", "de", "eval", "1+1"}, QStringList{"eval", "1+1", "--language", "fr"},
          QStringList{"eval", "--language"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const ProgramRun r = cli(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains("language")) << r.err.toStdString();
    }
    const ProgramRun ok = cli({"--language", "ru", "eval", "2*3"});
    EXPECT_EQ(ok.status, 0) << ok.err.toStdString();
    EXPECT_EQ(ok.out.trimmed(), "6");
}
