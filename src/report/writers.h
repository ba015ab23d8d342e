#pragma once
// The typesetting of the expanded solution: a letter with a small index (I1, R2), Greek
// letters from the symbol font (omega, phi), complex values with the imaginary unit "j",
// powers of ten and whole systems of equations, each as a fixed sequence of report verbs.
#include <span>
#include <string>

#include "platform/extended.h"
#include "report/reporttarget.h"

namespace qv {

/// A complex value as the report writes it (real part, imaginary part); the solver's complex
/// type converts to it.
struct ComplexValue {
    Extended re = 0;
    Extended im = 0;
};

/// The body face of the report, and the face whose Latin letters show as Greek.
inline const std::string kReportBodyFont = "Times New Roman";
inline const std::string kReportGreekFont = "symbol";
/// The multiplication sign.
inline const std::string kMultiplySign = "\u00B7";

/// The letter at 14 points, the index at 8 points on the base line, back to 14 points. The
/// font is left as it is.
void writeIndexed(ReportTarget& target, const std::string& letter, const std::string& index);
/// As writeIndexed in "Times New Roman", then "=" and the value text.
void writeIndexedValue(ReportTarget& target, const std::string& letter, const std::string& index,
                       const std::string& value);
/// The letter in the symbol font at 18 points ("w" shows omega, "j" phi), the index in "Times
/// New Roman" at 8 points, then "Times New Roman" at 14 points.
void writeGreekIndexed(ReportTarget& target, const std::string& letter, const std::string& index);
/// The Greek letter as writeGreekIndexed, the index at 8 points, then "=" and the value text at
/// 14 points. Only the letter is in the symbol font: index and value stay ordinary text.
void writeGreekIndexedValue(ReportTarget& target, const std::string& letter, const std::string& index,
                            const std::string& value);
/// The Greek letter, the index as subscript, "=" and the complex value.
void writeGreekComplexValue(ReportTarget& target, const std::string& letter, const std::string& index,
                            ComplexValue value, int precision);
/// "10" with the exponent as superscript.
void writePowerOfTen(ReportTarget& target, int exponent);
/// 3+j4, 3-j4, j4, -j4, 3 or 0; each part in the general format with `precision` digits.
void writeComplex(ReportTarget& target, ComplexValue value, int precision);

/// A complex system A x = b, one equation per paragraph: coefficients other than 1 and -1
/// before the unknown with "·" ("(3+j4)·I1", "-j5·I2"), the unknown's letter in `letterFont`
/// at 18 points with its index as subscript. `a` holds the n x n matrix row by row; `b` and
/// `indexes` at least n entries. Throws ReportError when they are shorter.
void writeComplexSystem(ReportTarget& target, std::span<const ComplexValue> b,
                        std::span<const ComplexValue> a, int n, std::span<const std::string> indexes,
                        const std::string& letter, const std::string& letterFont, int precision);

/// Writer of whole real systems, made for one system and freed after it.
class Sistema {
  public:
    explicit Sistema(ReportTarget& target) : target(target) {}

    /// The size, then the text.
    void writeText(const std::string& text, int size);
    /// The symbol font, the size, then the text.
    void writeSymbolText(const std::string& text, int size);

    /// The real system A x = b after an empty line: per row the terms "2I1", "-1.5I3", "+I2"
    /// (coefficients 1 and -1 as signs only, no multiplication sign), "=", the right-hand side
    /// and a paragraph end; indexes at 8 points. Numbers in the general format with `p`
    /// digits (`d` has no effect). `a` holds entry (r, k) at r·n + k and may be longer than
    /// n x n; `b`, `letters` and `indexes` hold at least n entries (ReportError otherwise).
    void writeSystem(std::span<const Extended> a, std::span<const std::string> letters,
                     std::span<const std::string> indexes, int n, int p, int d, std::span<const Extended> b);
    /// The same with the letters in the symbol font (φ for "j"); numbers, signs and indexes
    /// stay ordinary text.
    void writeSymbolSystem(std::span<const Extended> a, std::span<const std::string> letters,
                           std::span<const std::string> indexes, int n, int p, int d,
                           std::span<const Extended> b);

    ReportTarget& target;
    /// The least number of digits of an exponent in the numbers written ("2.5E-005" with 3).
    int exponentDigits = 1;

  private:
    void writeRows(std::span<const Extended> a, std::span<const std::string> letters,
                   std::span<const std::string> indexes, int n, int p, std::span<const Extended> b,
                   bool symbol);
};

} // namespace qv
