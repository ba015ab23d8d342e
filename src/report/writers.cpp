#include "report/writers.h"

#include <cmath>

#include "platform/numfmt.h"

namespace qv {

namespace {

constexpr int kBodySize = 14;
constexpr int kIndexSize = 8;
constexpr int kGreekSize = 18;

void subscriptOn(ReportTarget& t) {
    t.formatFont({.subscript = 1});
}
void subscriptOff(ReportTarget& t) {
    t.formatFont({.subscript = 0});
}

void checkSystem(const char* writer, int n, size_t matrix, size_t rhs, size_t names) {
    const size_t need = n > 0 ? size_t(n) : 0;
    if (n < 0 || matrix < need * need || rhs < need || names < need)
        throw ReportError(std::string(writer) + ": the system of " + std::to_string(n) +
                          " unknowns lacks coefficients, right-hand sides or names");
}

} // namespace

void writeIndexed(ReportTarget& t, const std::string& letter, const std::string& index) {
    t.fontSize(kBodySize);
    t.insert(letter);
    t.fontSize(kIndexSize);
    t.insert(index);
    t.fontSize(kBodySize);
}

void writeIndexedValue(ReportTarget& t, const std::string& letter, const std::string& index,
                       const std::string& value) {
    t.font(kReportBodyFont);
    t.fontSize(kBodySize);
    t.insert(letter);
    t.font(kReportBodyFont);
    t.fontSize(kIndexSize);
    t.font(kReportBodyFont);
    t.insert(index);
    t.fontSize(kBodySize);
    t.insert("=" + value);
}

void writeGreekIndexed(ReportTarget& t, const std::string& letter, const std::string& index) {
    t.font(kReportGreekFont);
    t.fontSize(kGreekSize);
    t.insert(letter);
    t.font(kReportBodyFont);
    t.fontSize(kIndexSize);
    t.insert(index);
    t.fontSize(kBodySize);
    t.font(kReportBodyFont);
}

void writeGreekIndexedValue(ReportTarget& t, const std::string& letter, const std::string& index,
                            const std::string& value) {
    t.font(kReportGreekFont);
    t.fontSize(kGreekSize);
    t.insert(letter);
    // Back to the body face before the index: in the symbol face the letters of a name ("a")
    // and the exponent of a number ("1E-6") would turn Greek.
    t.font(kReportBodyFont);
    t.fontSize(kIndexSize);
    t.insert(index);
    t.fontSize(kBodySize);
    t.insert("=" + value);
}

void writeGreekComplexValue(ReportTarget& t, const std::string& letter, const std::string& index,
                            ComplexValue value, int precision) {
    t.font(kReportGreekFont);
    t.fontSize(kGreekSize);
    t.insert(letter);
    t.font(kReportBodyFont);
    subscriptOn(t);
    t.font(kReportBodyFont);
    t.insert(index);
    subscriptOff(t);
    t.fontSize(kBodySize);
    t.insert("=");
    t.font(kReportBodyFont);
    writeComplex(t, value, precision);
}

void writePowerOfTen(ReportTarget& t, int exponent) {
    t.insert("10");
    t.formatFont({.superscript = 1});
    t.insert(std::to_string(exponent));
    t.formatFont({.superscript = 0});
}

void writeComplex(ReportTarget& t, ComplexValue z, int precision) {
    if (z.re != 0) t.insert(numfmt::general(z.re, precision));
    if (z.im != 0) {
        if (z.re != 0 && z.im > 0) t.insert("+");
        if (z.im < 0) t.insert("-");
        t.insert("j");
        t.insert(numfmt::general(std::fabs(z.im), precision));
    }
    if (z.re == 0 && z.im == 0) t.insert("0");
}

void writeComplexSystem(ReportTarget& t, std::span<const ComplexValue> b, std::span<const ComplexValue> a,
                        int n, std::span<const std::string> indexes, const std::string& letter,
                        const std::string& letterFont, int precision) {
    checkSystem("WriteComplexSystem", n, a.size(), b.size(), indexes.size());
    t.font(kReportBodyFont);
    for (int r = 0; r < n; ++r) {
        t.fontSize(kBodySize);
        t.font(kReportBodyFont);
        bool started = false;
        for (int k = 0; k < n; ++k) {
            const ComplexValue c = a[size_t(r) * size_t(n) + size_t(k)];
            if (c.re == 0 && c.im == 0) continue;
            const bool minusOne = c.re == -1 && c.im == 0;
            const bool one = c.re == 1 && c.im == 0;
            if (started && !minusOne) t.insert("+");
            if (minusOne) {
                t.insert("-");
            } else if (!one) {
                const bool bracket = c.re != 0 && c.im != 0;
                if (bracket) t.insert("(");
                writeComplex(t, c, precision);
                if (bracket) t.insert(")");
                t.insert(kMultiplySign);
            }
            t.font(letterFont);
            t.fontSize(kGreekSize);
            t.insert(letter);
            t.fontSize(kBodySize);
            t.font(kReportBodyFont);
            subscriptOn(t);
            t.insert(indexes[size_t(k)]);
            subscriptOff(t);
            t.fontSize(kBodySize);
            started = true;
        }
        t.insert("=");
        writeComplex(t, b[size_t(r)], precision);
        t.insert("\r");
        t.fontSize(kBodySize);
    }
}

void Sistema::writeText(const std::string& text, int size) {
    target.fontSize(size);
    target.insert(text);
}

void Sistema::writeSymbolText(const std::string& text, int size) {
    target.font(kReportGreekFont);
    target.fontSize(size);
    target.insert(text);
}

void Sistema::writeSystem(std::span<const Extended> a, std::span<const std::string> letters,
                          std::span<const std::string> indexes, int n, int p, int,
                          std::span<const Extended> b) {
    writeRows(a, letters, indexes, n, p, b, false);
}

void Sistema::writeSymbolSystem(std::span<const Extended> a, std::span<const std::string> letters,
                                std::span<const std::string> indexes, int n, int p, int,
                                std::span<const Extended> b) {
    writeRows(a, letters, indexes, n, p, b, true);
}

void Sistema::writeRows(std::span<const Extended> a, std::span<const std::string> letters,
                        std::span<const std::string> indexes, int n, int p, std::span<const Extended> b,
                        bool symbol) {
    checkSystem(symbol ? "WriteSymbolSystem" : "WriteSystem", n, a.size(), b.size(),
                std::min(letters.size(), indexes.size()));
    // In the symbol system only the letters take the symbol face; in it the letters of an
    // index and the exponent of a number would turn Greek.
    auto text = [&](const std::string& s, int size) {
        if (symbol) target.font(kReportBodyFont);
        writeText(s, size);
    };
    auto letter = [&](const std::string& s) {
        if (symbol)
            writeSymbolText(s, kBodySize);
        else
            writeText(s, kBodySize);
    };

    text("\r", 12);
    for (int r = 0; r < n; ++r) {
        bool started = false;
        for (int k = 0; k < n; ++k) {
            const Extended c = a[size_t(r) * size_t(n) + size_t(k)];
            if (c == 0) continue;
            if (c == 1) {
                if (started) text("+", kBodySize);
            } else if (c == -1) {
                text("-", kBodySize);
            } else if (c < 0) {
                text(numfmt::general(c, p, exponentDigits), kBodySize);
            } else {
                if (started) text("+", kBodySize);
                text(numfmt::general(c, p, exponentDigits), kBodySize);
            }
            letter(letters[size_t(k)]);
            text(indexes[size_t(k)], kIndexSize);
            started = true;
        }
        text("=", kBodySize);
        text(numfmt::general(b[size_t(r)], p, exponentDigits), kBodySize);
        text("\r", kBodySize);
    }
}

} // namespace qv
