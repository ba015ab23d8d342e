#include "platform/extended.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

// The codec works on the value, never on the host's memory layout, so it gives the same
// bytes on hosts whose long double is not the x87 format (where it is as exact as the host
// type allows).

namespace qv {

namespace {

constexpr int kBias = 16383;
constexpr int kMantissaBits = 64;
constexpr int kMaxExponentField = 0x7FFF;
constexpr uint64_t kIntegerBit = uint64_t(1) << 63;

std::array<uint8_t, 10> pack(bool negative, int exponentField, uint64_t mantissa) {
    std::array<uint8_t, 10> out{};
    for (int i = 0; i < 8; ++i)
        out[size_t(i)] = uint8_t(mantissa >> (8 * i));
    const unsigned top = (unsigned(exponentField) & 0x7FFF) | (negative ? 0x8000u : 0u);
    out[8] = uint8_t(top);
    out[9] = uint8_t(top >> 8);
    return out;
}

} // namespace

std::array<uint8_t, 10> encodeExtended(Extended v) {
    const bool negative = std::signbit(v);
    if (std::isnan(v)) return pack(negative, kMaxExponentField, 0xC000000000000000ULL);
    if (std::isinf(v)) return pack(negative, kMaxExponentField, kIntegerBit);
    if (v == 0) return pack(negative, 0, 0);

    const Extended magnitude = std::fabs(v);
    int e = 0;
    const Extended fraction = std::frexp(magnitude, &e); // magnitude = fraction * 2^e, fraction in [0.5, 1)
    // Field value: mantissa * 2^(field - bias - 63) with mantissa = fraction * 2^64.
    const int field = e - kMantissaBits + kBias + 63;
    if (field >= kMaxExponentField) return pack(negative, kMaxExponentField, kIntegerBit); // wider host type
    if (field >= 1) {
        const auto mantissa = uint64_t(std::ldexp(fraction, kMantissaBits));
        return pack(negative, field, mantissa);
    }
    // Denormal: exponent field 0, value = mantissa * 2^(1 - bias - 63), integer bit clear.
    const auto mantissa = uint64_t(std::ldexp(magnitude, kBias + 63 - 1));
    return pack(negative, 0, mantissa);
}

Extended decodeExtended(const uint8_t* bytes) {
    uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | bytes[i];
    const unsigned top = unsigned(bytes[8]) | (unsigned(bytes[9]) << 8);
    const bool negative = (top & 0x8000u) != 0;
    const int field = int(top & 0x7FFFu);

    // A normal number or a zero on an x87 host: its bits are the long double's own, and
    // copying them is exact (a file holds thousands; ldexp costs far more).
    if constexpr (std::numeric_limits<Extended>::digits == 64 && sizeof(Extended) >= 10 &&
                  std::endian::native == std::endian::little) {
        const bool normal = (mantissa & kIntegerBit) != 0 && field >= 1 && field < kMaxExponentField;
        if (normal || (mantissa == 0 && field == 0)) {
            Extended v = 0;
            std::memcpy(&v, bytes, 10);
            return v;
        }
    }
    if (field == kMaxExponentField) {
        // Only the exact infinity pattern is infinite; pseudo-infinities and pseudo-NaNs
        // (integer bit clear) are read as NaN like every other NaN.
        if (mantissa == kIntegerBit) return negative ? -HUGE_VALL : HUGE_VALL;
        return std::copysign(std::nanl(""), negative ? Extended(-1) : Extended(1));
    }
    // Pseudo-denormals and unnormals are read for the value their bits denote; ldexp does
    // not trap on them as an x87 load might.
    const Extended magnitude =
        std::ldexp(Extended(mantissa), std::max(field, 1) - kBias - (kMantissaBits - 1));
    return negative ? -magnitude : magnitude;
}

} // namespace qv
