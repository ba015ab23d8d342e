#include "platform/extended.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace qv {
namespace {

using Ten = std::array<uint8_t, 10>;

constexpr bool kHostIsX87 =
    std::numeric_limits<long double>::digits == 64 && std::numeric_limits<long double>::max_exponent == 16384;

/// The first ten bytes of a long double in memory: the x87 layout on an x87 host.
Ten memoryBytes(long double v) {
    unsigned char raw[sizeof(long double)];
    std::memcpy(raw, &v, sizeof v);
    Ten out{};
    std::memcpy(out.data(), raw, 10);
    return out;
}

Ten bytesOf(uint64_t mantissa, uint16_t signAndExponent) {
    Ten out{};
    for (int i = 0; i < 8; ++i)
        out[size_t(i)] = uint8_t(mantissa >> (8 * i));
    out[8] = uint8_t(signAndExponent);
    out[9] = uint8_t(signAndExponent >> 8);
    return out;
}

bool sameValue(long double a, long double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

TEST(Extended, KnownBytePatterns) {
    EXPECT_EQ(encodeExtended(1.0L), (Ten{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
    EXPECT_EQ(encodeExtended(50.0L), (Ten{0, 0, 0, 0, 0, 0, 0, 0xC8, 0x04, 0x40}));
    EXPECT_EQ(encodeExtended(-2.5L), bytesOf(0xA000000000000000ULL, 0xC000));
    EXPECT_EQ(encodeExtended(-0.0L), bytesOf(0, 0x8000));
    EXPECT_EQ(encodeExtended(-std::numeric_limits<long double>::infinity()),
              bytesOf(0x8000000000000000ULL, 0xFFFF));
    EXPECT_EQ(encodeExtended(std::numeric_limits<long double>::denorm_min()), bytesOf(1, 0));
}

TEST(Extended, ValuesRoundTripAndMatchTheX87Layout) {
    const long double inf = std::numeric_limits<long double>::infinity();
    const long double cases[] = {
        0.0L,
        -0.0L,
        1.0L,
        -2.5L,
        50.0L,
        1.0L / 3.0L,
        -1e300L * 1e300L,
        LDBL_MAX,
        -LDBL_MAX,
        LDBL_MIN,
        LDBL_TRUE_MIN,
        LDBL_MIN / 3.0L,          // denormal with several mantissa bits
        LDBL_MIN - LDBL_TRUE_MIN, // largest denormal
        inf,
        -inf,
    };
    for (long double v : cases) {
        SCOPED_TRACE(testing::Message() << v);
        const Ten encoded = encodeExtended(v);
        EXPECT_TRUE(sameValue(decodeExtended(encoded.data()), v));
        if (kHostIsX87) {
            EXPECT_EQ(encoded, memoryBytes(v));
        }
    }
}

TEST(Extended, RandomCanonicalPatternsRoundTripBitExactly) {
    // Every canonical pattern: normals (integer bit set) and denormals (exponent 0, integer
    // bit clear), both signs.
    std::mt19937_64 rng(20240611);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = rng();
        const bool denormal = i % 4 == 0;
        const uint16_t exponent = denormal ? 0 : uint16_t(1 + rng() % 0x7FFE);
        const uint64_t mantissa = denormal ? bits & ~(uint64_t(1) << 63) : bits | (uint64_t(1) << 63);
        const Ten in = bytesOf(mantissa, uint16_t(exponent | (i % 2 ? 0x8000 : 0)));
        const long double v = decodeExtended(in.data());
        ASSERT_EQ(encodeExtended(v), in) << "pattern " << i;
        if (kHostIsX87) {
            ASSERT_EQ(memoryBytes(v), in) << "pattern " << i;
        }
    }
}

TEST(Extended, NaNKeepsItsSignAndEncodesAsQuietNaN) {
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    EXPECT_EQ(encodeExtended(nan), bytesOf(0xC000000000000000ULL, 0x7FFF));
    EXPECT_EQ(encodeExtended(-nan), bytesOf(0xC000000000000000ULL, 0xFFFF));
}

TEST(Extended, NonCanonicalPatternsDecodeWithoutTrapping) {
    const long double inf = std::numeric_limits<long double>::infinity();
    struct Case {
        const char* name;
        uint64_t mantissa;
        uint16_t exponent;
        long double expected; // NaN means "expect a NaN with the pattern's sign"
    };
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    const Case cases[] = {
        // exponent 0 with the integer bit set reads as if the exponent were 1
        {"pseudo-denormal", 0x8000000000000000ULL, 0x0000, LDBL_MIN},
        {"pseudo-denormal above", 0xC000000000000000ULL, 0x0000, LDBL_MIN * 1.5L},
        // integer bit clear with a normal exponent: 2^62 * 2^(16384 - 16383 - 63) = 1
        {"unnormal", 0x4000000000000000ULL, 0x4000, 1.0L},
        {"negative unnormal", 0x0000000000000001ULL, 0xC03E, -1.0L},
        {"unnormal zero", 0, 0x3FFF, 0.0L},
        {"infinity", 0x8000000000000000ULL, 0x7FFF, inf},
        {"negative infinity", 0x8000000000000000ULL, 0xFFFF, -inf},
        {"pseudo-infinity", 0, 0x7FFF, nan},
        {"pseudo-NaN", 0x4000000000000000ULL, 0x7FFF, nan},
        {"signalling NaN", 0x8000000000000001ULL, 0x7FFF, nan},
        {"negative quiet NaN", 0xC000000000000000ULL, 0xFFFF, -nan},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Ten in = bytesOf(c.mantissa, c.exponent);
        const long double v = decodeExtended(in.data());
        if (std::isnan(c.expected)) {
            EXPECT_TRUE(std::isnan(v));
            EXPECT_EQ(std::signbit(v), (c.exponent & 0x8000) != 0);
        } else {
            EXPECT_TRUE(sameValue(v, c.expected)) << v;
        }
    }
}

} // namespace
} // namespace qv
