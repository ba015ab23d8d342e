#pragma once
// The typefaces the scheme files name, resolved to installed fonts of the same metrics, and
// the letters of the Greek symbol font.
#include <QString>

namespace qv {

/// Maps the face names that scheme files use ("Times New Roman Cyr", "Times New Roman",
/// "Arial", "Symbol") to installed fonts with the same metrics. Call once after the
/// QGuiApplication exists.
void installFontSubstitutions();

/// Text written for the symbol font uses Latin letters for Greek ones ("w" for omega, "j" for
/// phi, "D" for Delta); this gives the Greek letters, leaving other characters as they are.
QString symbolToGreek(const QString& text);
/// The same for one character.
char16_t symbolToGreek(char16_t c);

/// Whether `name` is the Greek symbol font (compared without regard to case).
bool isSymbolFont(const QString& name);

} // namespace qv
