#include <gtest/gtest.h>

#include <QFontInfo>

#include "platform/canvas.h"
#include "platform/fonts.h"

using namespace qv;

TEST(Fonts, SymbolFontLettersBecomeGreek) {
    EXPECT_EQ(symbolToGreek("w j D"), QString::fromUtf8("ω φ Δ"));
    EXPECT_EQ(symbolToGreek("abgdepWF"), QString::fromUtf8("αβγδεπΩΦ"));
    EXPECT_EQ(symbolToGreek("R = 10, x2"), QString::fromUtf8("Ρ = 10, ξ2"));
    EXPECT_EQ(symbolToGreek(QString::fromUtf8("Ω и ы")), QString::fromUtf8("Ω и ы"));
    EXPECT_TRUE(isSymbolFont("symbol"));
    EXPECT_TRUE(isSymbolFont("Symbol"));
    EXPECT_FALSE(isSymbolFont("Symbols"));
}

TEST(Fonts, TheSchemeFileFacesResolveToInstalledMetricTwins) {
    struct Case {
        const char* face;
        const char* installed;
    };
    const Case cases[] = {{"Times New Roman Cyr", "Liberation Serif"},
                          {"Times New Roman", "Liberation Serif"},
                          {"Arial", "Liberation Sans"},
                          {"Symbol", "Liberation Serif"}};
    for (const Case& c : cases)
        EXPECT_EQ(QFontInfo(QFont(c.face)).family(), c.installed) << c.face;
}

TEST(Fonts, SymbolTextIsMeasuredAsTheGreekItShows) {
    Canvas canvas;
    FontRec symbol;
    symbol.name = "Symbol";
    symbol.height = -40;
    int32_t latinW = 0, latinH = 0, greekW = 0, greekH = 0, plainW = 0, plainH = 0;
    canvas.textExtent("wwww", symbol, latinW, latinH);
    canvas.textExtent(QString::fromUtf8("ωωωω"), symbol, greekW, greekH);
    FontRec serif = symbol;
    serif.name = "Times New Roman";
    canvas.textExtent("wwww", serif, plainW, plainH);
    EXPECT_EQ(latinW, greekW);
    EXPECT_NE(latinW, plainW); // a Latin w is wider than an omega
}
