#pragma once
// Code page 1251 <-> UTF-8 for the short strings of the file format. Text is UTF-8 inside
// the program and CP1251 only in files.
#include <string>

namespace qv {

/// CP1251 bytes to UTF-8. Every byte maps to a character (the one unassigned byte 0x98
/// becomes U+FFFD).
std::string cp1251ToUtf8(const std::string& bytes);

/// UTF-8 to CP1251 bytes. Characters that CP1251 lacks become '?'; malformed UTF-8 bytes
/// become '?' too.
std::string utf8ToCp1251(const std::string& text);

} // namespace qv
