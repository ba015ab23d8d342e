#include "platform/numfmt.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace qv::numfmt {
namespace {

struct FormatCase {
    long double value;
    int p;
    const char* expected;
};

TEST(NumFmt, General) {
    const FormatCase cases[] = {
        {0.0L, 6, "0"},
        {-0.0L, 6, "0"},
        {0.000001L, 4, "1E-6"},
        {12345.0L, 4, "1.235E4"}, // exact tie rounds away from zero
        {-12345.0L, 4, "-1.235E4"},
        {0.0001234L, 4, "0.0001234"}, // e = -3: still fixed
        {0.00001234L, 4, "1.234E-5"}, // e = -4: scientific
        {314.159265L, 6, "314.159"},
        {-0.001L, 6, "-0.001"},
        {100.0L, 6, "100"},
        {0.0001L, 6, "0.0001"},
        {12345678.0L, 8, "12345678"}, // e = p: fixed
        {123456789.0L, 8, "1.2345679E8"},
        {9.99996L, 5, "10"},   // the exponent follows the rounding
        {999999.5L, 6, "1E6"}, // rounding carries past p digits
        {0.125L, 2, "0.13"},
        // Halfway as written rounds up even where the stored binary value lies just below.
        {2.675L, 3, "2.68"},
        {1.0045L, 4, "1.005"},
        {1.5e20L, 6, "1.5E20"},
        {-2.5e-300L, 6, "-2.5E-300"},
        {1.0L / 3.0L, 18, "0.333333333333333333"},
        {1.0L / 3.0L, 1, "0.33"},                  // p clamped to 2
        {1.0L / 3.0L, 40, "0.333333333333333333"}, // p clamped to 18
        {LDBL_MAX, 5, "1.1897E4932"},
        {LDBL_TRUE_MIN, 4, "3.645E-4951"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " p=" << c.p);
        EXPECT_EQ(general(c.value, c.p), c.expected);
    }
}

/// The library's conversion, which the digits of every format must match.
std::string libraryScientific(long double v) {
    char buf[64];
    return std::string(
        buf, std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 17).ptr);
}

std::string ownScientific(long double v) {
    char buf[32];
    return std::string(buf, scientific17(v, buf));
}

TEST(NumFmt, Scientific17MatchesTheLibrarysExactDigits) {
    // Ties on the 18th digit round to even; the ends of the integer path; carries into the
    // next power of ten; values the integer path leaves to the library.
    const long double edges[] = {
        100000000000000000.5L,
        100000000000000001.5L,
        123456789012345678.5L,
        999999999999999999.5L,
        999999999999999999.25L,
        1e18L,
        1e18L - 1,
        1e-21L,
        1e-21L * (1 - LDBL_EPSILON),
        1e17L,
        1e16L,
        0.1L,
        1.0L / 3.0L,
        2.675L,
        12345.0L,
        -7.25L,
        9.999999999999999999e-6L,
        LDBL_MAX,
        LDBL_TRUE_MIN,
        LDBL_MIN,
        1e300L,
        5e-324L,
    };
    for (long double v : edges) {
        SCOPED_TRACE(testing::Message() << v);
        EXPECT_EQ(ownScientific(v), libraryScientific(v));
    }
    // Random mantissas over the magnitudes a report shows and some beyond.
    std::mt19937_64 random(20261210);
    for (int i = 0; i < 100000; ++i) {
        const auto mantissa = random() | (uint64_t(1) << 63);
        const int exponent = int(random() % 200) - 140;
        const long double v = std::ldexp((long double)(mantissa), exponent - 63);
        const std::string own = ownScientific(v), library = libraryScientific(v);
        if (own != library) {
            ADD_FAILURE() << own << " != " << library;
            break;
        }
    }
}

TEST(NumFmt, GeneralWithThreeExponentDigits) {
    EXPECT_EQ(general(2.7272727e-5L, 7, 3), "2.727273E-005");
    EXPECT_EQ(general(-1.5e20L, 6, 3), "-1.5E020");
    EXPECT_EQ(general(2.5e-300L, 6, 3), "2.5E-300");   // enough digits already
    EXPECT_EQ(general(0.0001234L, 4, 3), "0.0001234"); // no exponent, nothing to widen
    EXPECT_EQ(general(0.0L, 7, 3), "0");
}

TEST(NumFmt, Fixed) {
    struct Case {
        long double value;
        int p, d;
        const char* expected;
    };
    const Case cases[] = {
        {1.23456L, 5, 3, "1.235"},
        {123.4567L, 5, 3, "123.460"}, // 5 significant digits limit before 3
                                      // decimals
        {-0.5L, 5, 3, "-0.500"},
        {1234567.0L, 5, 3, "1.2346E6"}, // more integer digits than p: general
                                        // instead
        {0.0L, 5, 3, "0.000"},
        {12345.0L, 5, 3, "12345.000"}, // e = p stays fixed
        {99999.6L, 5, 0, "1E5"},       // rounding pushes e past p
        {0.0004L, 5, 3, "0.000"},      // rounds to zero
        {-0.0004L, 5, 3, "0.000"},     // ... without a sign
        {0.0005L, 5, 3, "0.001"},
        {0.012345L, 15, 4, "0.0123"},
        {2.5L, 15, 0, "3"},
        {-7.0L, 15, 2, "-7.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " p=" << c.p << " d=" << c.d);
        EXPECT_EQ(fixed(c.value, c.p, c.d), c.expected);
    }
}

TEST(NumFmt, Standard) {
    const std::pair<long double, const char*> cases[] = {
        {0.0L, "0"},
        {-2.5L, "-2.5"},
        {0.00001L, "0.00001"}, // fixed down to 1E-5
        {0.000012345L, "0.000012345"},
        {0.000001L, "1E-6"},
        {2e-6L, "2E-6"},
        {1.5e20L, "1.5E20"},
        {200000.0L, "200000"},
        {1.0L / 3.0L, "0.333333333333333"},
        {2.0L / 3.0L, "0.666666666666667"},
        {999999999999999.0L, "999999999999999"}, // 15 integer digits: fixed
        {1e15L, "1E15"},
        {1234567890123456.0L, "1.23456789012346E15"},
        {0.9999999999999994L, "0.999999999999999"},
        {0.99999999999999995L, "1"},
        {-1e-20L, "-1E-20"},
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(testing::Message() << value);
        EXPECT_EQ(standard(value), expected);
    }
}

TEST(NumFmt, NonFiniteValuesPrintAsWords) {
    const long double inf = std::numeric_limits<long double>::infinity();
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    for (auto format :
         {+[](long double v) { return standard(v); }, +[](long double v) { return general(v, 6); },
          +[](long double v) { return fixed(v, 6, 2); }}) {
        EXPECT_EQ(format(inf), "INF");
        EXPECT_EQ(format(-inf), "-INF");
        EXPECT_EQ(format(nan), "NAN");
    }
}

TEST(NumFmt, StandardTextParsesBackToTheSameText) {
    for (long double v : {1.0L / 3.0L, -2.5e-7L, 6.02214076e23L, 1e15L, 0.00001L, 123456.789L}) {
        const std::string text = standard(v);
        const auto back = parse(text);
        ASSERT_TRUE(back) << text;
        EXPECT_EQ(standard(*back), text);
    }
}

TEST(NumFmt, ParseAccepts) {
    const std::pair<const char*, long double> cases[] = {
        {" 5 ", 5.0L},
        {"\t-3\t", -3.0L},
        {"2E5", 2e5L},
        {"2e-5", 2e-5L},
        {"+1.5E+2", 150.0L},
        {".5", 0.5L},
        {"5.", 5.0L},
        {"-0", -0.0L},
        {"0.1", 0.1L},     // read as long double, not through double
        {"1e-5000", 0.0L}, // underflow is the nearest value, not an error
        {"1.18973149535723176502e4932", LDBL_MAX},
        {"000123.4500", 123.45L},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        const auto v = parse(text);
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(*v, expected);
        EXPECT_EQ(std::signbit(*v), std::signbit(expected));
    }
}

TEST(NumFmt, ParseRejects) {
    for (const char* text :
         {"",      "   ",   "+",   "-",   ".",    "1E", "1e+",   "E5",  "abc",    "1,5",
          "1.2.3", "1 000", "inf", "nan", "0x10", "5x", "1e5.5", "--1", "1e4933", "-1e99999"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parse(text).has_value());
    }
}

TEST(NumFmt, IgnoresTheProcessLocale) {
    // A locale with a decimal comma must not change reading or writing; skip where none is
    // installed.
    const std::string old = std::setlocale(LC_NUMERIC, nullptr);
    bool switched = false;
    for (const char* name : {"de_DE.UTF-8", "ru_RU.UTF-8", "fr_FR.UTF-8", "de_DE", "ru_RU"})
        if (std::setlocale(LC_NUMERIC, name)) {
            switched = true;
            break;
        }
    if (!switched) GTEST_SKIP() << "no locale with a decimal comma installed";
    const std::string g = general(1.5L, 6), s = standard(-0.25L), f = fixed(3.14159L, 6, 2);
    const auto p = parse("2.75");
    const auto comma = parse("2,75");
    std::setlocale(LC_NUMERIC, old.c_str());
    EXPECT_EQ(g, "1.5");
    EXPECT_EQ(s, "-0.25");
    EXPECT_EQ(f, "3.14");
    EXPECT_EQ(p, 2.75L);
    EXPECT_FALSE(comma.has_value());
}

} // namespace
} // namespace qv::numfmt
