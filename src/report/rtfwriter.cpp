// Writing a report document as rich text; a rich-text editor's document goes through the same
// writer as the report document it holds.
#include <QBuffer>
#include <QTextDocument>

#include <charconv>
#include <cmath>
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
/// The rich text as it is written: appending to a plain string costs least.
using Out = std::string;
using Run = ReportDocument::Run;

class RtfWriter {
  public:
    explicit RtfWriter(const ReportDocument& document)
        : doc_(document), defaultFamily_(document.defaultFamily()), defaultPoints_(document.defaultPoints()),
          attributes_(document.formats().size()) {
        fontIndex(defaultFamily_, isSymbolFont(defaultFamily_) ? kSymbolCharset : kDefaultCharset);
    }

    QByteArray write() {
        Out body;
        qsizetype pictures = 0;
        for (const ReportDocument::Picture& p : doc_.pictures())
            pictures += p.data.size() * 2 + p.data.size() / 32 + 128;
        // Text, a group of keywords per run and a paragraph mark per paragraph.
        body.reserve(size_t(doc_.text().size() * 2 + qsizetype(doc_.runs().size()) * 24 +
                            qsizetype(doc_.paragraphs().size()) * 24 + pictures + 256));
        const std::vector<Paragraph>& paragraphs = doc_.paragraphs();
        for (size_t i = 0; i < paragraphs.size(); ++i)
            writeParagraph(body, paragraphs[i], i + 1 == paragraphs.size());

        Out out;
        out += "{\\rtf1\\ansi\\ansicpg" + std::to_string(kDocumentCodePage) + "\\deff0\\uc1\r\n{\\fonttbl";
        for (size_t index = 0; index < fonts_.size(); ++index) {
            const auto& [family, charset] = fonts_[index];
            out += "{\\f" + std::to_string(index) + familyKeyword(family, charset) + "\\fcharset" +
                   std::to_string(charset) + ' ';
            // Names of symbol faces are plain letters.
            const int codePage = codePageForCharset(charset, kDocumentCodePage);
            writeText(out, family, codePage == kSymbolCodePage ? kDocumentCodePage : codePage);
            out += ";}";
        }
        out += "}\r\n";
        if (!colours_.empty()) {
            out += "{\\colortbl;";
            for (QRgb c : colours_)
                out += "\\red" + std::to_string(qRed(c)) + "\\green" + std::to_string(qGreen(c)) + "\\blue" +
                       std::to_string(qBlue(c)) + ';';
            out += "}\r\n";
        }
        QByteArray rtf;
        rtf.reserve(qsizetype(out.size() + body.size()) + 3);
        rtf.append(out.data(), qsizetype(out.size()));
        rtf.append(body.data(), qsizetype(body.size()));
        rtf.append("}\r\n");
        return rtf;
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

    static void number(Out& out, const char* word, long long value) {
        out += word;
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        out.append(digits, end - digits);
    }

    void writeParagraph(Out& out, const Paragraph& p, bool last) {
        out += "\\pard";
        const int align = p.alignment == 0 ? int(Qt::AlignLeft) : p.alignment;
        if (align & Qt::AlignHCenter)
            out += "\\qc";
        else if (align & Qt::AlignRight)
            out += "\\qr";
        else if (align & Qt::AlignJustify)
            out += "\\qj";
        else
            out += "\\ql";
        if (p.leftMargin != 0) number(out, "\\li", twips(p.leftMargin));
        if (p.rightMargin != 0) number(out, "\\ri", twips(p.rightMargin));
        if (p.textIndent != 0) number(out, "\\fi", twips(p.textIndent));
        if (p.topMargin != 0) number(out, "\\sb", twips(p.topMargin));
        if (p.bottomMargin != 0) number(out, "\\sa", twips(p.bottomMargin));

        // Neighbouring runs that differ only in what rich text does not keep share a group.
        const Out* open = nullptr;
        const std::vector<Run>& runs = doc_.runs();
        for (int32_t r = p.firstRun; r < p.firstRun + p.runCount; ++r) {
            const Run& run = runs[size_t(r)];
            if (run.picture >= 0) {
                if (open) out += '}';
                open = nullptr;
                writePicture(out, doc_.pictures()[size_t(run.picture)]);
                continue;
            }
            const Attributes& a = attributes(run.format);
            if (!open || (open != &a.keywords && a.keywords != *open)) {
                if (open) out += '}';
                out += '{';
                out += a.keywords;
                out += ' ';
                open = &a.keywords;
            }
            writeText(out, doc_.textOf(run), a.codePage);
        }
        if (open) out += '}';
        if (last) return;
        if (p.runCount == 0) {
            // The paragraph mark carries the size, so an empty line keeps its height.
            out += '{';
            out += attributes(p.mark).keywords;
            out += "\\par}\r\n";
        } else {
            out += "\\par\r\n";
        }
    }

    /// A format's keywords and the code page of its font, made once per format.
    struct Attributes {
        Out keywords;
        int codePage = 0;
        bool made = false;
    };

    const Attributes& attributes(int32_t format) {
        Attributes& a = attributes_[size_t(format)];
        if (!a.made) {
            a.codePage = writeAttributes(a.keywords, doc_.formats()[size_t(format)]);
            a.made = true;
        }
        return a;
    }

    /// Writes the run's attributes; returns the code page of its font.
    int writeAttributes(Out& out, const RunFormat& f) {
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

    static void writeText(Out& out, QStringView text, int codePage) {
        const bool symbol = codePage == kSymbolCodePage;
        // Characters that stand for themselves: printable ASCII but the three the format
        // reserves, and in the symbol face no Latin letter.
        auto plain = [symbol](char16_t c) {
            return c >= 0x20 && c < 0x80 && c != '\\' && c != '{' && c != '}' &&
                   !(symbol && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')));
        };
        for (qsizetype i = 0; i < text.size(); ++i) {
            qsizetype j = i;
            while (j < text.size() && plain(text[j].unicode()))
                ++j;
            if (j > i) {
                const size_t at = out.size();
                out.resize(at + size_t(j - i));
                char* p = out.data() + at;
                for (qsizetype k = i; k < j; ++k)
                    *p++ = char(text[k].unicode());
                i = j - 1;
                continue;
            }
            const char16_t c = text[i].unicode();
            // In the symbol face a Latin letter byte shows a Greek letter: a Latin letter the
            // document holds there goes as Unicode.
            if (c < 0x80 && !(symbol && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))) {
                switch (c) {
                case '\\':
                case '{':
                case '}':
                    out += '\\';
                    out += char(c);
                    break;
                case '\t':
                    out += "\\tab ";
                    break;
                default:
                    if (c >= 0x20) out += char(c);
                }
                continue;
            }
            switch (c) {
            case 0x00A0:
                out += "\\~";
                continue;
            case 0x00AD:
                out += "\\-";
                continue;
            case 0x2011:
                out += "\\_";
                continue;
            case QChar::LineSeparator:
                out += "\\line ";
                continue;
            case QChar::ObjectReplacementCharacter:
                continue;
            }
            number(out, "\\u", c < 0x8000 ? int(c) : int(c) - 0x10000);
            const int byte = fallbackByte(c, codePage);
            if (byte >= 0x80) {
                out += "\\'";
                out += kHex[byte >> 4];
                out += kHex[byte & 15];
            } else if (byte > 0x20 && byte != '\\' && byte != '{' && byte != '}') {
                out += char(byte);
            } else {
                out += '?';
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
        out += "{\\pict\\";
        out.append(kind.constData(), size_t(kind.size()));
        number(out, "\\picw", picw);
        number(out, "\\pich", pich);
        if (w > 0) number(out, "\\picwgoal", twips(w));
        if (h > 0) number(out, "\\pichgoal", twips(h));
        out += "\r\n";
        const size_t start = out.size();
        out.resize(start + size_t(data.size()) * 2 + size_t(data.size()) / 64 * 2);
        char* p = out.data() + start;
        for (qsizetype i = 0; i < data.size(); ++i) {
            const auto b = (unsigned char)data[i];
            *p++ = kHex[b >> 4];
            *p++ = kHex[b & 15];
            if (i % 64 == 63) {
                *p++ = '\r';
                *p++ = '\n';
            }
        }
        out.resize(size_t(p - out.data()));
        out += '}';
    }

    const ReportDocument& doc_;
    QString defaultFamily_;
    qreal defaultPoints_ = 12;
    std::vector<Attributes> attributes_;
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
