#include "platform/numfmt.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include <locale.h>
#if defined(__APPLE__)
#include <xlocale.h>
#endif

namespace qv::numfmt {

namespace {

// Digits are first taken at 18 significant digits, the most a long double holds so that any
// decimal typed in with up to 18 digits comes back as typed; the requested precision is then
// reached by rounding half away from zero on that text, so 12345 at 4 digits is 1.235E4 as a
// reader expects, not the 1.234E4 of round-half-even on the exact binary value.
constexpr int kMaxDigits = 18;

/// At most kMaxDigits digits, kept in place: numbers are formatted thousands of times a
/// report, and a string of 18 would be allocated each time.
class Digits {
  public:
    bool empty() const { return size_ == 0; }
    size_t size() const { return size_; }
    char back() const { return chars_[size_ - 1]; }
    void pop_back() { --size_; }
    void clear() { size_ = 0; }
    /// Only ever shortens.
    void resize(size_t size) { size_ = std::min(size, size_); }
    char& operator[](size_t i) { return chars_[i]; }
    char operator[](size_t i) const { return chars_[i]; }
    void push_back(char c) {
        if (size_ < chars_.size()) chars_[size_++] = c;
    }
    std::string_view view() const { return {chars_.data(), size_}; }

  private:
    std::array<char, kMaxDigits> chars_{};
    size_t size_ = 0;
};

/// |v| = 0.digits x 10^e; no digits means zero.
struct Decimal {
    bool negative = false;
    Digits digits;
    int e = 0;
};

using u128 = unsigned __int128;

constexpr int kMaxPow10 = 38; // the largest power of ten in 128 bits
constexpr std::array<u128, kMaxPow10 + 1> kPow10 = [] {
    std::array<u128, kMaxPow10 + 1> p{};
    p[0] = 1;
    for (int i = 1; i <= kMaxPow10; ++i)
        p[size_t(i)] = p[size_t(i - 1)] * 10;
    return p;
}();
constexpr uint64_t k1e17 = 100000000000000000ULL;

/// The 18 significant digits of a > 0 as a whole number n (10^17 <= n < 10^18) and the power
/// of ten of the first digit, rounded half to even, in integer arithmetic: for the values a
/// report shows (1e-21 <= a < 1e18) with a 64-bit mantissa. False for any other value, which
/// goes through the library's arbitrary-precision conversion, many times slower.
bool digitsByIntegers(long double a, uint64_t& n, int& exponent) {
    if constexpr (std::numeric_limits<long double>::digits != 64) {
        return false;
    } else {
        if (!(a >= 1e-21L && a < 1e18L)) return false;
        int e2 = 0;
        const long double f = std::frexp(a, &e2);
        const auto m = uint64_t(std::ldexp(f, 64)); // a = m 2^-k exactly
        const int k = 64 - e2;                      // 4 <= k <= 133 in this range
        int e10 = int(std::floor(std::log10(double(a))));
        for (int attempt = 0; attempt < 3; ++attempt) {
            const int s = 17 - e10; // a 10^s has 18 digits before the point
            if (s < 0 || s > kMaxPow10) return false;
            // P = m 10^s in three 64-bit words, low first.
            const u128 p10 = kPow10[size_t(s)];
            const u128 low = u128(m) * uint64_t(p10), high = u128(m) * uint64_t(p10 >> 64);
            const u128 middle = (low >> 64) + uint64_t(high);
            const uint64_t w[5] = {uint64_t(low), uint64_t(middle),
                                   uint64_t(high >> 64) + uint64_t(middle >> 64), 0, 0};
            const int q = k / 64, r = k % 64;
            auto shifted = [&](int j) { return r ? (w[j] >> r) | (w[j + 1] << (64 - r)) : w[j]; };
            uint64_t whole = shifted(q); // floor(P / 2^k) when the words above are empty
            if (shifted(q + 1) != 0 || whole >= 10 * k1e17) {
                ++e10;
                continue;
            }
            if (whole < k1e17) {
                --e10;
                continue;
            }
            // The rest P mod 2^k against one half.
            const int h = k - 1;
            const bool half = (w[h / 64] >> (h % 64)) & 1;
            bool below = (w[h / 64] & ((uint64_t(1) << (h % 64)) - 1)) != 0;
            for (int j = 0; j < h / 64; ++j)
                below = below || w[j] != 0;
            if (half && (below || (whole & 1))) ++whole;
            if (whole == 10 * k1e17) {
                whole = k1e17;
                ++e10;
            }
            n = whole;
            exponent = e10;
            return true;
        }
        return false;
    }
}

Decimal toDecimal(Extended v) {
    Decimal d;
    d.negative = std::signbit(v);
    if (v == 0) return d;
    char buf[64];
    const char* end = scientific17(std::fabs(v), buf);
    const char* p = buf;
    for (; p < end && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
    int exponent = 0;
    if (p < end) {
        ++p;
        if (p < end && *p == '+') ++p;
        std::from_chars(p, end, exponent);
    }
    d.e = exponent + 1;
    return d;
}

void stripTrailingZeros(Decimal& d) {
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
}

/// Rounds half away from zero to `keep` significant digits (none or fewer means the value
/// becomes zero unless it rounds up to one unit of the next place).
void roundTo(Decimal& d, int keep) {
    if (keep >= int(d.digits.size())) {
        stripTrailingZeros(d);
        return;
    }
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[size_t(keep)] >= '5';
    d.digits.resize(size_t(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[size_t(i)] == '9')
            d.digits[size_t(i--)] = '0';
        if (i >= 0) {
            ++d.digits[size_t(i)];
        } else {
            d.digits.clear();
            d.digits.push_back('1');
            ++d.e;
        }
    }
    stripTrailingZeros(d);
}

std::string special(Extended v) {
    // Not-a-number and infinities have no digits; they print as words a reader recognises.
    if (std::isnan(v)) return "NAN";
    return v < 0 ? "-INF" : "INF";
}

/// General layout: fixed when eMin <= e <= eMax, scientific otherwise.
std::string layout(const Decimal& d, int eMin, int eMax) {
    if (d.digits.empty()) return "0";
    std::string out = d.negative ? "-" : "";
    const int n = int(d.digits.size());
    if (d.e >= eMin && d.e <= eMax) {
        if (d.e <= 0) {
            out += "0.";
            out.append(size_t(-d.e), '0');
            out += d.digits.view();
        } else if (n <= d.e) {
            out += d.digits.view();
            out.append(size_t(d.e - n), '0');
        } else {
            out += d.digits.view().substr(0, size_t(d.e));
            out += '.';
            out += d.digits.view().substr(size_t(d.e));
        }
        return out;
    }
    out += d.digits[0];
    if (n > 1) {
        out += '.';
        out += d.digits.view().substr(1);
    }
    out += 'E';
    out += std::to_string(d.e - 1);
    return out;
}

int clampPrecision(int p) {
    return std::clamp(p, 2, kMaxDigits);
}

#if defined(_WIN32)
using CLocale = _locale_t;
CLocale makeCLocale() {
    return _create_locale(LC_ALL, "C");
}
long double strtoldC(const char* s, char** end, CLocale loc) {
    return _strtold_l(s, end, loc);
}
#else
using CLocale = locale_t;
CLocale makeCLocale() {
    return newlocale(LC_ALL_MASK, "C", locale_t(0));
}
long double strtoldC(const char* s, char** end, CLocale loc) {
    return strtold_l(s, end, loc);
}
#endif

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

char* scientific17(Extended v, char* out) {
    uint64_t n = 0;
    int exponent = 0;
    const Extended a = std::fabs(v);
    if (!digitsByIntegers(a, n, exponent))
        // to_chars ignores the C locale, so the decimal point is always '.'.
        return std::to_chars(out, out + 32, a, std::chars_format::scientific, kMaxDigits - 1).ptr;
    char digits[20];
    std::to_chars(digits, digits + sizeof digits, n);
    char* p = out;
    *p++ = digits[0];
    *p++ = '.';
    std::memcpy(p, digits + 1, kMaxDigits - 1);
    p += kMaxDigits - 1;
    *p++ = 'e';
    *p++ = exponent < 0 ? '-' : '+';
    const int e = std::abs(exponent);
    if (e < 10) *p++ = '0';
    return std::to_chars(p, out + 32, e).ptr;
}

std::string general(Extended v, int p) {
    if (!std::isfinite(v)) return special(v);
    p = clampPrecision(p);
    Decimal d = toDecimal(v);
    roundTo(d, p);
    return layout(d, -3, p);
}

std::string general(Extended v, int p, int exponentDigits) {
    std::string s = general(v, p);
    const size_t e = s.find('E');
    if (e == std::string::npos) return s;
    const size_t from = e + 1 + (s[e + 1] == '-' ? 1 : 0);
    while (int(s.size() - from) < exponentDigits)
        s.insert(from, "0");
    return s;
}

std::string fixed(Extended v, int p, int d) {
    if (!std::isfinite(v)) return special(v);
    p = clampPrecision(p);
    d = std::clamp(d, 0, kMaxDigits);
    Decimal dec = toDecimal(v);
    if (!dec.digits.empty()) roundTo(dec, std::min(p, dec.e + d));
    if (dec.e > p && !dec.digits.empty()) return general(v, p);

    // A value that rounds to zero prints without a sign: "-0.000" would claim a sign the
    // shown digits do not have.
    std::string out = dec.negative && !dec.digits.empty() ? "-" : "";
    const int n = int(dec.digits.size());
    auto digitAt = [&](int i) { return i >= 0 && i < n ? dec.digits[size_t(i)] : '0'; };
    // Digit i of the string has weight 10^(e - 1 - i).
    if (dec.digits.empty() || dec.e <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < dec.e; ++i)
            out += digitAt(i);
    }
    if (d > 0) {
        out += '.';
        for (int k = 0; k < d; ++k)
            out += dec.digits.empty() ? '0' : digitAt(dec.e + k);
    }
    return out;
}

std::string standard(Extended v) {
    if (!std::isfinite(v)) return special(v);
    Decimal d = toDecimal(v);
    roundTo(d, 15);
    return layout(d, -4, 15);
}

std::optional<Extended> parse(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;

    // Check the whole grammar first so that the C library sees nothing it would read more
    // generously (hexadecimal, "inf", "nan").
    size_t i = begin;
    if (i < end && (text[i] == '+' || text[i] == '-')) ++i;
    int mantissaDigits = 0;
    while (i < end && isDigit(text[i]))
        ++i, ++mantissaDigits;
    if (i < end && text[i] == '.') {
        ++i;
        while (i < end && isDigit(text[i]))
            ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-')) ++i;
        int exponentDigits = 0;
        while (i < end && isDigit(text[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != end) return std::nullopt;

    // Read in the C locale: the process locale may use a decimal comma.
    static const CLocale cLocale = makeCLocale();
    const std::string clean = text.substr(begin, end - begin);
    char* stop = nullptr;
    const long double value = strtoldC(clean.c_str(), &stop, cLocale);
    if (stop != clean.c_str() + clean.size()) return std::nullopt;
    // Overflow is an error; underflow gives zero or a denormal, which is the nearest value.
    if (std::isinf(value)) return std::nullopt;
    return Extended(value);
}

} // namespace qv::numfmt
