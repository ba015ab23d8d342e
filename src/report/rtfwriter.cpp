// Writing a QTextDocument as rich text.
#include <QBuffer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include <cmath>
#include <map>

#include "platform/fonts.h"
#include "report/codepages.h"
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

class RtfWriter {
  public:
    explicit RtfWriter(const QTextDocument& document) : doc_(document) {
        const QFont f = document.defaultFont();
        defaultFamily_ = f.family();
        defaultPoints_ = f.pointSizeF() > 0 ? f.pointSizeF() : 12;
        fontIndex(defaultFamily_, isSymbolFont(defaultFamily_) ? kSymbolCharset : kDefaultCharset);
    }

    QByteArray write() {
        QByteArray body;
        body.reserve(doc_.characterCount() * 2 + 256);
        for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next())
            writeBlock(body, block);

        QByteArray out;
        out.reserve(body.size() + 1024);
        out +=
            "{\\rtf1\\ansi\\ansicpg" + QByteArray::number(kDocumentCodePage) + "\\deff0\\uc1\r\n{\\fonttbl";
        for (size_t index = 0; index < fonts_.size(); ++index) {
            const auto& [family, charset] = fonts_[index];
            out += "{\\f" + QByteArray::number(qulonglong(index)) + familyKeyword(family, charset) +
                   "\\fcharset" + QByteArray::number(charset) + ' ';
            // Names of symbol faces are plain letters.
            const int codePage = codePageForCharset(charset, kDocumentCodePage);
            writeText(out, family, codePage == kSymbolCodePage ? kDocumentCodePage : codePage);
            out += ";}";
        }
        out += "}\r\n";
        if (!colours_.empty()) {
            out += "{\\colortbl;";
            for (QRgb c : colours_)
                out += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) +
                       "\\blue" + QByteArray::number(qBlue(c)) + ';';
            out += "}\r\n";
        }
        out += body;
        out += "}\r\n";
        return out;
    }

  private:
    static QByteArray familyKeyword(const QString& family, int charset) {
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

    int colourIndex(const QColor& colour) {
        const QRgb rgb = colour.rgb() & 0xFFFFFF;
        for (size_t i = 0; i < colours_.size(); ++i)
            if (colours_[i] == rgb) return int(i) + 1;
        colours_.push_back(rgb);
        return int(colours_.size());
    }

    static void number(QByteArray& out, const char* word, long long value) {
        out += word;
        out += QByteArray::number(value);
    }

    void writeBlock(QByteArray& out, const QTextBlock& block) {
        const QTextBlockFormat bf = block.blockFormat();
        out += "\\pard";
        const Qt::Alignment align = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignHCenter)
            out += "\\qc";
        else if (align & Qt::AlignRight)
            out += "\\qr";
        else if (align & Qt::AlignJustify)
            out += "\\qj";
        else
            out += "\\ql";
        if (bf.leftMargin() != 0) number(out, "\\li", twips(bf.leftMargin()));
        if (bf.rightMargin() != 0) number(out, "\\ri", twips(bf.rightMargin()));
        if (bf.textIndent() != 0) number(out, "\\fi", twips(bf.textIndent()));
        if (bf.topMargin() != 0) number(out, "\\sb", twips(bf.topMargin()));
        if (bf.bottomMargin() != 0) number(out, "\\sa", twips(bf.bottomMargin()));

        bool empty = true;
        // Neighbouring fragments that differ only in what rich text does not keep share a group.
        QByteArray open;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            empty = false;
            const QTextCharFormat cf = fragment.charFormat();
            const QString text = fragment.text();
            if (cf.isImageFormat()) {
                if (!open.isEmpty()) out += '}';
                open.clear();
                for (qsizetype i = 0; i < text.size(); ++i)
                    if (text.at(i) == QChar::ObjectReplacementCharacter)
                        writePicture(out, cf.toImageFormat());
                continue;
            }
            QByteArray attributes;
            const int codePage = writeAttributes(attributes, cf);
            if (attributes != open) {
                if (!open.isEmpty()) out += '}';
                out += '{' + attributes + ' ';
                open = attributes;
            }
            writeText(out, text, codePage);
        }
        if (!open.isEmpty()) out += '}';
        if (!block.next().isValid()) return;
        if (empty) {
            // The paragraph mark carries the size, so an empty line keeps its height.
            out += '{';
            writeAttributes(out, block.charFormat());
            out += "\\par}\r\n";
        } else {
            out += "\\par\r\n";
        }
    }

    /// Writes the run's attributes; returns the code page of its font.
    int writeAttributes(QByteArray& out, const QTextCharFormat& cf) {
        QString family = familyOf(cf);
        if (family.isEmpty()) family = defaultFamily_;
        const int charset = cf.hasProperty(kCharsetFormatProperty) ? cf.intProperty(kCharsetFormatProperty)
                            : isSymbolFont(family)                 ? int(kSymbolCharset)
                                                                   : int(kDefaultCharset);
        number(out, "\\f", fontIndex(family, charset));
        const qreal points = cf.fontPointSize() > 0 ? cf.fontPointSize() : defaultPoints_;
        number(out, "\\fs", std::max(1L, std::lround(points * 2)));
        if (cf.fontWeight() >= QFont::DemiBold) out += "\\b";
        if (cf.fontItalic()) out += "\\i";
        if (cf.fontUnderline()) out += "\\ul";
        if (cf.fontStrikeOut()) out += "\\strike";
        if (cf.verticalAlignment() == QTextCharFormat::AlignSubScript) out += "\\sub";
        if (cf.verticalAlignment() == QTextCharFormat::AlignSuperScript) out += "\\super";
        if (cf.foreground().style() != Qt::NoBrush) number(out, "\\cf", colourIndex(cf.foreground().color()));
        if (cf.background().style() != Qt::NoBrush)
            number(out, "\\chcbpat", colourIndex(cf.background().color()));
        return codePageForCharset(charset, kDocumentCodePage);
    }

    static void writeText(QByteArray& out, QStringView text, int codePage) {
        const bool symbol = codePage == kSymbolCodePage;
        for (QChar qc : text) {
            const char16_t c = qc.unicode();
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

    void writePicture(QByteArray& out, const QTextImageFormat& f) {
        QByteArray kind, data;
        int picw = 0, pich = 0;
        QSize natural;
        if (f.hasProperty(kPictureKindProperty)) {
            // Kept as it was read: written back unchanged.
            kind = f.property(kPictureKindProperty).toByteArray();
            data = f.property(kPictureDataProperty).toByteArray();
            picw = f.intProperty(kPictureWidthProperty);
            pich = f.intProperty(kPictureHeightProperty);
        } else {
            auto cached = png_.find(f.name());
            if (cached == png_.end()) {
                const QImage image = imageResource(doc_, f.name());
                QByteArray bytes;
                if (!image.isNull()) {
                    QBuffer buffer(&bytes);
                    buffer.open(QIODevice::WriteOnly);
                    image.save(&buffer, "PNG");
                }
                cached = png_.emplace(f.name(), std::make_pair(bytes, image.size())).first;
            }
            kind = "pngblip";
            data = cached->second.first;
            natural = cached->second.second;
            picw = natural.width();
            pich = natural.height();
        }
        if (data.isEmpty()) return;
        const qreal w = f.width() > 0 ? f.width() : natural.width();
        const qreal h = f.height() > 0 ? f.height() : natural.height();
        out += "{\\pict\\" + kind;
        number(out, "\\picw", picw);
        number(out, "\\pich", pich);
        if (w > 0) number(out, "\\picwgoal", twips(w));
        if (h > 0) number(out, "\\pichgoal", twips(h));
        out += "\r\n";
        const qsizetype start = out.size();
        out.resize(start + data.size() * 2 + data.size() / 64 * 2);
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
        out.resize(p - out.data());
        out += '}';
    }

    const QTextDocument& doc_;
    QString defaultFamily_;
    qreal defaultPoints_ = 12;
    std::map<std::pair<QString, int>, int> fontOrder_;
    std::vector<std::pair<QString, int>> fonts_;
    std::vector<QRgb> colours_;
    std::map<QString, std::pair<QByteArray, QSize>> png_;
};

} // namespace

QByteArray writeRtf(const QTextDocument& document) {
    return RtfWriter(document).write();
}

} // namespace qv
