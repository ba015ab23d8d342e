// Writing a report document as rich text; a rich-text editor's document goes through the same
// writer as the report document it holds.
#include <QBuffer>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <string>

#include "platform/fonts.h"
#include "report/codepages.h"
#include "report/reportdocument.h"
#include "report/reportformat.h"
#include "report/reporttarget.h"
#include "report/rtf.h"

namespace qv {

namespace {

// The code page the header declares: the one the report's Russian texts come in.
constexpr int kDocumentCodePage = 1251;
// Twentieths of a point per pixel at 96 pixels per inch.
constexpr int kTwipsPerPixel = 15;

const char kHex[] = "0123456789abcdef";

int twips(qreal pixels) {
    return int(std::lround(pixels * kTwipsPerPixel));
}

using Paragraph = ReportDocument::Paragraph;
using Run = ReportDocument::Run;

/// The rich text as it is written, straight into the bytes it is handed back in: a report runs
/// to megabytes in tens of thousands of small pieces, so a piece costs a bounds check and a copy.
class Out {
  public:
    void reserve(size_t size) { ensure(size); }
    void put(char c) {
        ensure(1);
        *end_++ = c;
    }
    /// A literal, its length known when compiled.
    template <size_t N> void put(const char (&text)[N]) { append(text, N - 1); }
    void put(const std::string& text) { append(text.data(), text.size()); }
    void append(const char* text, size_t size) {
        ensure(size);
        std::memcpy(end_, text, size);
        end_ += size;
    }
    /// The keyword and the number after it.
    template <size_t N> void number(const char (&word)[N], long long value) {
        ensure(N - 1 + 20);
        std::memcpy(end_, word, N - 1);
        end_ = std::to_chars(end_ + N - 1, cap_, value).ptr;
    }
    /// Room for `size` bytes that the caller writes from the returned pointer on; `commit`
    /// then says where they end.
    char* room(size_t size) {
        ensure(size);
        return end_;
    }
    void commit(char* end) { end_ = end; }
    QByteArray take() {
        bytes_.resize(end_ ? end_ - bytes_.data() : 0);
        end_ = cap_ = nullptr;
        return std::move(bytes_);
    }

  private:
    void ensure(size_t size) {
        if (size_t(cap_ - end_) < size) grow(size);
    }
    void grow(size_t size) {
        const qsizetype used = end_ ? end_ - bytes_.data() : 0;
        const qsizetype want = std::max(used + qsizetype(size), 2 * bytes_.size());
        bytes_.resize(want);
        end_ = bytes_.data() + used;
        cap_ = bytes_.data() + want;
    }

    QByteArray bytes_;
    char* end_ = nullptr;
    char* cap_ = nullptr;
};

class RtfWriter {
  public:
    explicit RtfWriter(const ReportDocument& document)
        : doc_(document), defaultFamily_(document.defaultFamily()), defaultPoints_(document.defaultPoints()),
          attributes_(document.formats().size()) {
        fontIndex(defaultFamily_, isSymbolFont(defaultFamily_) ? kSymbolCharset : kDefaultCharset);
    }

    QByteArray write() {
        // The font and colour tables come first and number their entries in the order the body
        // meets them: every format's keywords are made in that order before the body is written.
        const std::vector<Paragraph>& paragraphs = doc_.paragraphs();
        const std::vector<Run>& runs = doc_.runs();
        for (size_t i = 0; i < paragraphs.size(); ++i) {
            const Paragraph& p = paragraphs[i];
            for (int32_t r = p.firstRun; r < p.firstRun + p.runCount; ++r)
                if (runs[size_t(r)].picture < 0) attributes(runs[size_t(r)].format);
            if (p.runCount == 0 && i + 1 < paragraphs.size()) attributes(p.mark);
        }

        size_t pictures = 0;
        for (const ReportDocument::Picture& p : doc_.pictures())
            pictures += size_t(p.data.size()) * 2 + size_t(p.data.size()) / 32 + 128;
        // Text, a group of keywords per run and a paragraph mark per paragraph.
        Out out;
        out.reserve(size_t(doc_.text().size()) * 2 + runs.size() * 24 + paragraphs.size() * 24 + pictures +
                    fonts_.size() * 64 + colours_.size() * 32 + 256);
        out.number("{\\rtf1\\ansi\\ansicpg", kDocumentCodePage);
        out.put("\\deff0\\uc1\r\n{\\fonttbl");
        for (size_t index = 0; index < fonts_.size(); ++index) {
            const auto& [family, charset] = fonts_[index];
            out.number("{\\f", qsizetype(index));
            out.append(familyKeyword(family, charset), std::strlen(familyKeyword(family, charset)));
            out.number("\\fcharset", charset);
            out.put(' ');
            // Names of symbol faces are plain letters.
            const int codePage = codePageForCharset(charset, kDocumentCodePage);
            writeText(out, family, codePage == kSymbolCodePage ? kDocumentCodePage : codePage);
            out.put(";}");
        }
        out.put("}\r\n");
        if (!colours_.empty()) {
            out.put("{\\colortbl;");
            for (QRgb c : colours_) {
                out.number("\\red", qRed(c));
                out.number("\\green", qGreen(c));
                out.number("\\blue", qBlue(c));
                out.put(';');
            }
            out.put("}\r\n");
        }
        for (size_t i = 0; i < paragraphs.size(); ++i)
            writeParagraph(out, paragraphs[i], i + 1 == paragraphs.size());
        out.put("}\r\n");
        return out.take();
    }

  private:
    static const char* familyKeyword(const QString& family, int charset) {
        if (charset == kSymbolCharset) return "\\ftech";
        if (family.contains(QLatin1String("Times"), Qt::CaseInsensitive) ||
            family.contains(QLatin1String("Serif"), Qt::CaseInsensitive))
            return family.contains(QLatin1String("Sans"), Qt::CaseInsensitive) ? "\\fswiss" : "\\froman";
        if (family.contains(QLatin1String("Arial"), Qt::CaseInsensitive) ||
            family.contains(QLatin1String("Sans"), Qt::CaseInsensitive))
            return "\\fswiss";
        if (family.contains(QLatin1String("Courier"), Qt::CaseInsensitive) ||
            family.contains(QLatin1String("Mono"), Qt::CaseInsensitive))
            return "\\fmodern";
        return "\\fnil";
    }

    int fontIndex(const QString& family, int charset) {
        const auto key = std::make_pair(family, charset);
        const auto it = fontOrder_.find(key);
        if (it != fontOrder_.end()) return it->second;
        const int index = int(fonts_.size());
        fontOrder_.emplace(key, index);
        fonts_.push_back(key);
        return index;
    }

    int colourIndex(QRgb colour) {
        const QRgb rgb = colour & 0xFFFFFF;
        for (size_t i = 0; i < colours_.size(); ++i)
            if (colours_[i] == rgb) return int(i) + 1;
        colours_.push_back(rgb);
        return int(colours_.size());
    }

    void writeParagraph(Out& out, const Paragraph& p, bool last) {
        out.put("\\pard");
        const int align = p.alignment == 0 ? int(Qt::AlignLeft) : p.alignment;
        if (align & Qt::AlignHCenter)
            out.put("\\qc");
        else if (align & Qt::AlignRight)
            out.put("\\qr");
        else if (align & Qt::AlignJustify)
            out.put("\\qj");
        else
            out.put("\\ql");
        if (p.leftMargin != 0) out.number("\\li", twips(p.leftMargin));
        if (p.rightMargin != 0) out.number("\\ri", twips(p.rightMargin));
        if (p.textIndent != 0) out.number("\\fi", twips(p.textIndent));
        if (p.topMargin != 0) out.number("\\sb", twips(p.topMargin));
        if (p.bottomMargin != 0) out.number("\\sa", twips(p.bottomMargin));

        // Neighbouring runs that differ only in what rich text does not keep share a group.
        int open = -1; // the keywords of the open group; -1: none
        const std::vector<Run>& runs = doc_.runs();
        for (int32_t r = p.firstRun; r < p.firstRun + p.runCount; ++r) {
            const Run& run = runs[size_t(r)];
            if (run.picture >= 0) {
                if (open >= 0) out.put('}');
                open = -1;
                writePicture(out, doc_.pictures()[size_t(run.picture)]);
                continue;
            }
            const Attributes& a = attributes(run.format);
            if (a.group != open) {
                if (open >= 0) out.put('}');
                out.put('{');
                out.put(a.keywords);
                out.put(' ');
                open = a.group;
            }
            writeText(out, doc_.textOf(run), a.codePage);
        }
        if (open >= 0) out.put('}');
        if (last) return;
        if (p.runCount == 0) {
            // The paragraph mark carries the size, so an empty line keeps its height.
            out.put('{');
            out.put(attributes(p.mark).keywords);
            out.put("\\par}\r\n");
        } else {
            out.put("\\par\r\n");
        }
    }

    /// A format's keywords and the code page of its font, made once per format. Formats with
    /// the same keywords share a group number.
    struct Attributes {
        std::string keywords;
        int codePage = 0;
        int group = -1; ///< -1: not made yet
    };

    const Attributes& attributes(int32_t format) {
        Attributes& a = attributes_[size_t(format)];
        if (a.group < 0) {
            a.codePage = writeAttributes(a.keywords, doc_.formats()[size_t(format)]);
            auto same = std::find(groups_.begin(), groups_.end(), a.keywords);
            if (same == groups_.end()) same = groups_.insert(groups_.end(), a.keywords);
            a.group = int(same - groups_.begin());
        }
        return a;
    }

    static void number(std::string& out, const char* word, long long value) {
        out += word;
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        out.append(digits, end - digits);
    }

    /// Writes the run's attributes; returns the code page of its font.
    int writeAttributes(std::string& out, const RunFormat& f) {
        const QString& family = f.family.isEmpty() ? defaultFamily_ : f.family;
        const int charset = f.charset != RunFormat::kUnset ? f.charset
                            : isSymbolFont(family)         ? int(kSymbolCharset)
                                                           : int(kDefaultCharset);
        number(out, "\\f", fontIndex(family, charset));
        const qreal points = f.points > 0 ? f.points : defaultPoints_;
        number(out, "\\fs", std::max(1L, std::lround(points * 2)));
        if (f.weight >= QFont::DemiBold) out += "\\b";
        if (f.italic) out += "\\i";
        if (f.underline) out += "\\ul";
        if (f.strikeOut) out += "\\strike";
        if (f.position == QTextCharFormat::AlignSubScript) out += "\\sub";
        if (f.position == QTextCharFormat::AlignSuperScript) out += "\\super";
        if (f.foreground) number(out, "\\cf", colourIndex(*f.foreground));
        if (f.background) number(out, "\\chcbpat", colourIndex(*f.background));
        return codePageForCharset(charset, kDocumentCodePage);
    }

    void writeText(Out& out, QStringView text, int codePage) {
        FallbackCache& fallbacks = fallbacks_;
        const bool symbol = codePage == kSymbolCodePage;
        // Characters that stand for themselves: printable ASCII but the three the format
        // reserves, and in the symbol face no Latin letter.
        auto plain = [symbol](char16_t c) {
            return c >= 0x20 && c < 0x80 && c != '\\' && c != '{' && c != '}' &&
                   !(symbol && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')));
        };
        const char16_t* s = text.utf16();
        const qsizetype size = text.size();
        for (qsizetype i = 0; i < size; ++i) {
            qsizetype j = i;
            while (j < size && plain(s[j]))
                ++j;
            if (j > i) {
                char* p = out.room(size_t(j - i));
                for (qsizetype k = i; k < j; ++k)
                    *p++ = char(s[k]);
                out.commit(p);
                i = j - 1;
                continue;
            }
            const char16_t c = s[i];
            // In the symbol face a Latin letter byte shows a Greek letter: a Latin letter the
            // document holds there goes as Unicode.
            if (c < 0x80 && !(symbol && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))) {
                switch (c) {
                case '\\':
                case '{':
                case '}':
                    out.put('\\');
                    out.put(char(c));
                    break;
                case '\t':
                    out.put("\\tab ");
                    break;
                default:
                    if (c >= 0x20) out.put(char(c));
                }
                continue;
            }
            switch (c) {
            case 0x00A0:
                out.put("\\~");
                continue;
            case 0x00AD:
                out.put("\\-");
                continue;
            case 0x2011:
                out.put("\\_");
                continue;
            case QChar::LineSeparator:
                out.put("\\line ");
                continue;
            case QChar::ObjectReplacementCharacter:
                continue;
            }
            out.number("\\u", c < 0x8000 ? int(c) : int(c) - 0x10000);
            const int byte = fallbacks.byteFor(c, codePage);
            if (byte >= 0x80) {
                const char escaped[] = {'\\', '\'', kHex[byte >> 4], kHex[byte & 15]};
                out.append(escaped, sizeof escaped);
            } else if (byte > 0x20 && byte != '\\' && byte != '{' && byte != '}') {
                out.put(char(byte));
            } else {
                out.put('?');
            }
        }
    }

    void writePicture(Out& out, const ReportDocument::Picture& picture) {
        QByteArray kind, data;
        int picw = 0, pich = 0;
        QSize natural;
        if (!picture.kind.isEmpty()) {
            // Kept as it was read: written back unchanged.
            kind = picture.kind;
            data = picture.data;
            picw = picture.picw;
            pich = picture.pich;
        } else {
            auto cached = png_.find(picture.image.cacheKey());
            if (cached == png_.end()) {
                QByteArray bytes;
                if (!picture.image.isNull()) {
                    QBuffer buffer(&bytes);
                    buffer.open(QIODevice::WriteOnly);
                    picture.image.save(&buffer, "PNG");
                }
                cached =
                    png_.emplace(picture.image.cacheKey(), std::make_pair(bytes, picture.image.size())).first;
            }
            kind = "pngblip";
            data = cached->second.first;
            natural = cached->second.second;
            picw = natural.width();
            pich = natural.height();
        }
        if (data.isEmpty()) return;
        const qreal w = picture.shown.width() > 0 ? picture.shown.width() : natural.width();
        const qreal h = picture.shown.height() > 0 ? picture.shown.height() : natural.height();
        out.put("{\\pict\\");
        out.append(kind.constData(), size_t(kind.size()));
        out.number("\\picw", picw);
        out.number("\\pich", pich);
        if (w > 0) out.number("\\picwgoal", twips(w));
        if (h > 0) out.number("\\pichgoal", twips(h));
        out.put("\r\n");
        char* p = out.room(size_t(data.size()) * 2 + size_t(data.size()) / 64 * 2);
        // Two hex digits per byte, a line break after every 64 bytes.
        static const std::array<std::array<char, 2>, 256> kPairs = [] {
            std::array<std::array<char, 2>, 256> pairs{};
            for (int b = 0; b < 256; ++b)
                pairs[size_t(b)] = {kHex[b >> 4], kHex[b & 15]};
            return pairs;
        }();
        const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
        const qsizetype size = data.size();
        for (qsizetype line = 0; line < size; line += 64) {
            const qsizetype end = std::min(size, line + 64);
            for (qsizetype i = line; i < end; ++i) {
                std::memcpy(p, kPairs[bytes[i]].data(), 2);
                p += 2;
            }
            if (end - line == 64) {
                *p++ = '\r';
                *p++ = '\n';
            }
        }
        out.commit(p);
        out.put('}');
    }

    /// The one-byte fallbacks of the characters met last: a report repeats a few (the
    /// multiplication sign, Greek letters), and finding one searches its code page.
    struct FallbackCache {
        struct Entry {
            char16_t c = 0;
            int codePage = -1;
            int byte = 0;
        };
        std::array<Entry, 64> entries;
        int byteFor(char16_t c, int codePage) {
            Entry& e = entries[size_t((c ^ unsigned(codePage)) & 63)];
            if (e.c != c || e.codePage != codePage) e = Entry{c, codePage, fallbackByte(c, codePage)};
            return e.byte;
        }
    };

    const ReportDocument& doc_;
    FallbackCache fallbacks_;
    QString defaultFamily_;
    qreal defaultPoints_ = 12;
    std::vector<Attributes> attributes_;
    std::vector<std::string> groups_; ///< the distinct keywords, by group number
    std::map<std::pair<QString, int>, int> fontOrder_;
    std::vector<std::pair<QString, int>> fonts_;
    std::vector<QRgb> colours_;
    std::map<qint64, std::pair<QByteArray, QSize>> png_;
};

} // namespace

QByteArray writeRtf(const ReportDocument& document) {
    return RtfWriter(document).write();
}

QByteArray writeRtf(const QTextDocument& document) {
    return writeRtf(ReportDocument::fromTextDocument(document));
}

} // namespace qv
