// The interface's languages: their names, the compiled translations and the .ts sources.
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "platform/language.h"
#include "support/testfiles.h"

using namespace qv;

TEST(Language, NamesBothWays) {
    for (Language l : {Language::AsWritten, Language::English, Language::Russian})
        EXPECT_EQ(languageFromName(languageName(l)), l);
    for (const char* wrong : {"", "EN", "ru_RU", "russian", "as written"})
        EXPECT_FALSE(languageFromName(QString::fromUtf8(wrong))) << wrong;
}

TEST(Language, CompiledTranslationsAreBuiltIn) {
    const struct {
        Language language;
        const char* context;
        const char* source;
        const char* shown;
    } cases[] = {
        {Language::AsWritten, "qv::Report", "Решение", "Решение"},
        {Language::English, "qv::Report", "Решение", "Solution"},
        {Language::Russian, "qv::Report", "Solution", "Решение"},
        {Language::English, "qv::gui::MainWindow", "Freqncy", "Frequency"},
        {Language::Russian, "qv::Dialog", "Calculation by Kirchoff laws", "Расчёт по законам Кирхгофа"},
        // A text without a translation stays as written.
        {Language::Russian, "qv::Report", "no such text", "no such text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        ASSERT_TRUE(installLanguage(c.language));
        EXPECT_EQ(currentLanguage(), c.language);
        EXPECT_EQ(QCoreApplication::translate(c.context, c.source), QString::fromUtf8(c.shown));
    }
    installLanguage(Language::AsWritten);
    EXPECT_EQ(QCoreApplication::translate("qv::Report", "Solution"), "Solution");
}

// scripts/translations.sh brings in new texts unfinished; each needs its wording in both
// languages, and both files must know the same texts.
TEST(Language, TranslationSourcesAreComplete) {
    static const QRegularExpression source(QStringLiteral("<source>(.*?)</source>"),
                                           QRegularExpression::DotMatchesEverythingOption);
    QStringList sources[2];
    int i = 0;
    for (const char* name : {"quorvel_en.ts", "quorvel_ru.ts"}) {
        SCOPED_TRACE(name);
        const QString text = qv::test::textOf(qv::test::requiredEnvironment("QUORVEL_TRANSLATIONS") +
                                              QLatin1Char('/') + QLatin1String(name));
        ASSERT_FALSE(text.isEmpty());
        for (const char* mark :
             {"type=\"unfinished\"", "type=\"vanished\"", "type=\"obsolete\"", "<translation></translation>"})
            EXPECT_FALSE(text.contains(QLatin1String(mark))) << mark;
        for (const QRegularExpressionMatch& m : source.globalMatch(text))
            sources[i] << m.captured(1);
        ++i;
    }
    EXPECT_GT(sources[0].size(), 100);
    EXPECT_EQ(sources[0], sources[1]);
}
