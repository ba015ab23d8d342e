#pragma once
// Character sets and code pages of rich-text files: which code page a font's character set
// means, decoding the bytes of a run, and the one-byte fallback written beside a Unicode
// character for readers that do not know Unicode.
#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <map>
#include <memory>

namespace qv {

/// The code page of the Greek symbol font (its bytes are not characters of any code page).
constexpr int kSymbolCodePage = 42;

/// The code page of a font character set; the default set (1) and unknown sets use
/// `defaultCodePage`.
int codePageForCharset(int charset, int defaultCodePage);

/// The character a byte of the symbol font shows: Latin letters as Greek letters, the upper
/// half as the mathematical signs the font draws there, digits and signs as themselves.
char16_t symbolByteToUnicode(unsigned char byte);
/// The symbol-font byte that shows `c`, or -1.
int symbolByteForUnicode(char16_t c);

/// The byte of `c` in `codePage` (1251, 1252 or the symbol font), or -1 when the code page
/// lacks it or is another one.
int fallbackByte(char16_t c, int codePage);

/// Decodes runs of bytes. Keeps one decoder per code page, so a double-byte character split
/// across two runs still comes out whole.
class CodePageDecoder {
  public:
    QString decode(const QByteArray& bytes, int codePage);

  private:
    std::map<int, std::unique_ptr<QStringDecoder>> decoders_;
};

} // namespace qv
