#include "platform/cp1251.h"

#include <cstdint>

namespace qv {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Code points of bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
constexpr char32_t kHigh[64] = {
    0x0402,       0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC,       0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452,       0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    kReplacement, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98: unassigned
    0x00A0,       0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401,       0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0,       0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451,       0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

char32_t toUnicode(uint8_t b) {
    if (b < 0x80) return b;
    if (b >= 0xC0) return char32_t(0x0410 + (b - 0xC0));
    return kHigh[b - 0x80];
}

/// The CP1251 byte of a code point, or '?' when the code page lacks it.
char fromUnicode(char32_t c) {
    if (c < 0x80) return char(c);
    if (c >= 0x0410 && c <= 0x044F) return char(0xC0 + (c - 0x0410));
    if (c == kReplacement) return '?';
    for (int i = 0; i < 64; ++i)
        if (kHigh[i] == c) return char(0x80 + i);
    return '?';
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        // CP1251 only reaches the Basic Multilingual Plane.
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string cp1251ToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes)
        appendUtf8(out, toUnicode(uint8_t(ch)));
    return out;
}

std::string utf8ToCp1251(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const uint8_t lead = uint8_t(text[i]);
        if (lead < 0x80) {
            out += char(lead);
            ++i;
            continue;
        }
        int extra = 0;
        char32_t c = 0;
        // Bounds of the first continuation byte reject overlong forms, surrogates and
        // code points above U+10FFFF.
        uint8_t lo = 0x80, hi = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            c = lead & 0x0F;
            if (lead == 0xE0) lo = 0xA0;
            if (lead == 0xED) hi = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            c = lead & 0x07;
            if (lead == 0xF0) lo = 0x90;
            if (lead == 0xF4) hi = 0x8F;
        } else {
            out += '?'; // stray continuation byte or a lead byte UTF-8 never uses
            ++i;
            continue;
        }
        // One '?' for the longest valid prefix of a broken sequence; the byte that broke
        // it is read again as the start of the next character.
        size_t j = i + 1;
        bool complete = true;
        for (int k = 0; k < extra; ++k, ++j) {
            if (j >= n) {
                complete = false;
                break;
            }
            const uint8_t b = uint8_t(text[j]);
            if (b < (k == 0 ? lo : 0x80) || b > (k == 0 ? hi : 0xBF)) {
                complete = false;
                break;
            }
            c = (c << 6) | (b & 0x3F);
        }
        out += complete ? fromUnicode(c) : '?';
        i = j;
    }
    return out;
}

} // namespace qv
