#pragma once
// The 10-byte x87 extended-precision real of the file format, encoded explicitly so the
// files are the same whatever the host's long double is.
#include <array>
#include <cstdint>

namespace qv {

using Extended = long double;

/// Encodes v as the 10 little-endian bytes of an x87 extended real: 64-bit mantissa with
/// explicit integer bit, then 15-bit biased exponent and sign. Exact for every finite
/// long double of an x87 host; infinities, signed zeros and NaN keep their class and sign.
std::array<uint8_t, 10> encodeExtended(Extended v);

/// Decodes 10 bytes written by encodeExtended or by any x87 writer (denormals,
/// pseudo-denormals and unnormals included). Never traps.
Extended decodeExtended(const uint8_t* bytes);

} // namespace qv
