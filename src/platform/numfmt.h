#pragma once
// Number to text and back, as the report, hints, dialogs, labels and the evaluator expect.
// One decimal separator ('.') for reading and writing; no thousands separator.
#include <optional>
#include <string>

#include "platform/extended.h"

namespace qv::numfmt {

/// General format with p significant digits (p is clamped to 2..18). Zero is "0"; the
/// value is rounded to p digits, trailing zeros dropped; with the value written as
/// 0.d1d2... x 10^e, fixed notation when -3 <= e <= p, otherwise scientific
/// ("1.5E20", "1E-6": no '+', no leading exponent zeros).
std::string general(Extended v, int p);
/// The same with at least `exponentDigits` digits in an exponent ("1E-006" for three), as
/// the mesh-current and node-voltage methods write their DC numbers.
std::string general(Extended v, int p, int exponentDigits);

/// Fixed format with p significant digits and d decimals: when e > p the general format
/// with p digits is used instead; otherwise rounded to d decimals (at most p significant
/// digits) and written with exactly d decimals ("1.235", "-0.500").
std::string fixed(Extended v, int p, int d);

/// The standard float-to-text conversion used by hints, dialogs, labels and the evaluator:
/// general with 15 significant digits, fixed notation from 0.00001 up to 15 integer digits,
/// scientific outside ("1E-6", "1.5E20").
std::string standard(Extended v);

/// |v| in scientific notation with 17 digits after the point, the exact value rounded half to
/// even, as std::to_chars gives it ("1.00000000000000000e-05"): the digits every format starts
/// from. `out` holds at least 32 characters; returns the end of what was written.
char* scientific17(Extended v, char* out);

/// The standard text-to-float conversion: leading and trailing blanks allowed, optional
/// sign, digits with one '.', optional exponent ("E5", "e-3"). Nothing else.
std::optional<Extended> parse(const std::string& text);

} // namespace qv::numfmt
