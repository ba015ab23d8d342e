#include "platform/cp1251.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(Cp1251, SingleCharactersBothWays) {
    struct Case {
        const char* utf8;
        const char* cp1251;
    };
    const Case cases[] = {
        {"A", "A"},         {"\x7F", "\x7F"},   {"\u00B7", "\xB7"}, // middle dot
        {"\u0421", "\xD1"},                                         // Cyrillic capital Es
        {"\u2116", "\xB9"},                                         // numero sign
        {"\u20AC", "\x88"},                                         // euro sign
        {"\u0410", "\xC0"},                     // first and last of the contiguous Cyrillic block
        {"\u044F", "\xFF"}, {"\u0401", "\xA8"}, // Yo sits outside that block
        {"\u0451", "\xB8"}, {"\u0402", "\x80"}, {"\u00A0", "\xA0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(utf8ToCp1251(c.utf8), c.cp1251);
        EXPECT_EQ(cp1251ToUtf8(c.cp1251), c.utf8);
    }
}

TEST(Cp1251, RussianTextRoundTrips) {
    for (const char* text : {"Слой1", "Ошибка при вводе величины ЭДС", "Ёлка, ёж: 5 Ом · 2 А"}) {
        SCOPED_TRACE(text);
        const std::string bytes = utf8ToCp1251(text);
        EXPECT_EQ(bytes.find('?'), std::string::npos) << "a character was not mapped";
        EXPECT_EQ(cp1251ToUtf8(bytes), text);
    }
    EXPECT_EQ(utf8ToCp1251("Слой1"), "\xD1\xEB\xEE\xE9\x31");
}

TEST(Cp1251, EveryByteDecodesAndAllButTheUnassignedOneComeBack) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, char(b));
        const std::string utf8 = cp1251ToUtf8(byte);
        if (b == 0x98) {
            EXPECT_EQ(utf8, "\uFFFD");
            EXPECT_EQ(utf8ToCp1251(utf8), "?");
        } else {
            EXPECT_EQ(utf8ToCp1251(utf8), byte) << "byte " << b;
        }
    }
}

TEST(Cp1251, UnmappableAndMalformedInputBecomesQuestionMarks) {
    struct Case {
        const char* name;
        std::string utf8;
        std::string cp1251;
    };
    const Case cases[] = {
        {"Greek omega", "\u03C9=2\u03C0f", "?=2?f"},
        {"outside the BMP", "a\U0001F600b", "a?b"},
        {"stray continuation", "a\x80z", "a?z"},
        {"lead byte never used", "\xC0\xAF\xFF", "???"},
        {"truncated at the end", "ab\xD0", "ab?"},
        {"broken sequence keeps the next char",
         "\xE2\x82"
         "A",
         "?A"},
        {"overlong slash", "\xE0\x80\xAF", "???"},
        {"surrogate", "\xED\xA0\x80", "???"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "????"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(utf8ToCp1251(c.utf8), c.cp1251);
    }
}

} // namespace
} // namespace qv
