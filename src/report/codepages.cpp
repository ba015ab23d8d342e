#include "report/codepages.h"

#include <array>

#include "platform/cp1251.h"
#include "platform/fonts.h"

namespace qv {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr char16_t k1252High[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// The symbol font's upper half, 0xA0..0xFF; 0 where the font has nothing a reader needs.
constexpr char16_t kSymbolHigh[96] = {
    0x00A0, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, // A0
    0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193, // A8
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, // B0
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0,      0,      0x21B5, // B8
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, // C0
    0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209, // C8
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, // D0
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3, // D8
    0x25CA, 0x2329, 0,      0,      0,      0x2211, 0,      0,      // E0
    0,      0,      0,      0,      0,      0,      0,      0,      // E8
    0,      0x232A, 0x222B, 0,      0,      0,      0,      0,      // F0
    0,      0,      0,      0,      0,      0,      0,      0,      // F8
};

const std::array<char16_t, 256>& cp1251Table() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const QString s = QString::fromStdString(cp1251ToUtf8(std::string(1, char(b))));
            t[size_t(b)] = s.isEmpty() ? u'\uFFFD' : s.at(0).unicode();
        }
        return t;
    }();
    return table;
}

char16_t cp1252ToUnicode(unsigned char b) {
    return b >= 0x80 && b < 0xA0 ? k1252High[b - 0x80] : char16_t(b);
}

} // namespace

int codePageForCharset(int charset, int defaultCodePage) {
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return kSymbolCodePage;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
    case 255:
        return 437;
    default:
        return defaultCodePage;
    }
}

char16_t symbolByteToUnicode(unsigned char byte) {
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'))
        return symbolToGreek(QString(QChar(char16_t(byte)))).at(0).unicode();
    if (byte >= 0xA0 && kSymbolHigh[byte - 0xA0] != 0) return kSymbolHigh[byte - 0xA0];
    return byte;
}

int symbolByteForUnicode(char16_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ? -1 : int(c);
    static const std::map<char16_t, int> reverse = [] {
        std::map<char16_t, int> m;
        for (int b = 0x20; b < 0x100; ++b) {
            const char16_t u = symbolByteToUnicode((unsigned char)b);
            if (u >= 0x80 && !m.count(u)) m[u] = b;
        }
        return m;
    }();
    const auto it = reverse.find(c);
    return it == reverse.end() ? -1 : it->second;
}

int fallbackByte(char16_t c, int codePage) {
    if (codePage == kSymbolCodePage) return symbolByteForUnicode(c);
    if (c < 0x80) return c;
    if (codePage == 1252) {
        if (c >= 0xA0 && c <= 0xFF) return c;
        for (int i = 0; i < 32; ++i)
            if (k1252High[i] == c && c != 0xFFFD) return 0x80 + i;
        return -1;
    }
    if (codePage == 1251) {
        static const std::map<char16_t, int> reverse = [] {
            std::map<char16_t, int> m;
            const auto& t = cp1251Table();
            for (int b = 0x80; b < 0x100; ++b)
                if (t[size_t(b)] != 0xFFFD) m[t[size_t(b)]] = b;
            return m;
        }();
        const auto it = reverse.find(c);
        return it == reverse.end() ? -1 : it->second;
    }
    return -1;
}

QString CodePageDecoder::decode(const QByteArray& bytes, int codePage) {
    QString out;
    if (codePage == kSymbolCodePage) {
        out.reserve(bytes.size());
        for (char b : bytes)
            out += QChar(symbolByteToUnicode((unsigned char)b));
        return out;
    }
    if (codePage == 1251) {
        const auto& t = cp1251Table();
        out.reserve(bytes.size());
        for (char b : bytes)
            out += QChar(t[(unsigned char)b]);
        return out;
    }
    if (codePage == 1252) {
        out.reserve(bytes.size());
        for (char b : bytes)
            out += QChar(cp1252ToUnicode((unsigned char)b));
        return out;
    }
    auto& slot = decoders_[codePage];
    if (!slot) {
        const QByteArray name =
            codePage == 10000 ? QByteArray("macintosh") : "windows-" + QByteArray::number(codePage);
        slot = std::make_unique<QStringDecoder>(name.constData());
        if (!slot->isValid())
            slot = std::make_unique<QStringDecoder>(("cp" + QByteArray::number(codePage)).constData());
    }
    // A code page this system cannot decode is read as Windows-1252: the Latin letters and
    // the signs survive.
    if (!slot->isValid()) return decode(bytes, 1252);
    return (*slot)(bytes);
}

} // namespace qv
