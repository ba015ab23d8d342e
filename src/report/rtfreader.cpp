// Reading rich text into a QTextDocument. What common producers write is understood: font and
// colour tables, bytes in the font's code page, Unicode with its fallbacks, destinations that
// may be ignored, fields, pictures. Damaged text is read as far as it makes sense: the parser
// keeps no recursion, limits the depth of groups it interprets and always moves forward.
#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QtEndian>

#include <algorithm>
#include <map>
#include <string_view>
#include <unordered_map>
#include <vector>
#include <zlib.h>

#include "platform/emfreader.h"
#include "platform/fonts.h"
#include "report/codepages.h"
#include "report/reportformat.h"
#include "report/rtf.h"

namespace qv {

namespace {

// Deeper groups are skipped whole: producers nest a few dozen levels at most.
constexpr size_t kMaxDepth = 300;
constexpr int kTwipsPerPixel = 15;
constexpr int kMaxPicturePixels = 10000;
// Pixels one metafile is drawn into at most.
constexpr qint64 kMetafilePixels = 16'000'000;

enum class Dest {
    Text,        ///< the document's text
    FontTable,   ///< \fonttbl
    ColourTable, ///< \colortbl
    Picture,     ///< \pict: its data
    Hidden,      ///< words are read, text is not (\object outside its \result, \upr before \ud)
};

struct Group {
    Dest dest = Dest::Text;
    QTextCharFormat chars;
    QTextBlockFormat para;
    int codePage = 1252;
    int uc = 1;
};

struct FontEntry {
    QString name;
    int charset = -1;
    int codePage = 0;
};

struct Picture {
    QByteArray kind;
    QByteArray data;
    int picw = 0, pich = 0, goalw = 0, goalh = 0, scalex = 100, scaley = 100;
    int nibble = -1;
    size_t depth = 0;
    bool shown = false;
};

enum class Word {
    Unknown,
    Skip,
    Keep, // understood, nothing to do
    Rtf,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    Deff,
    FontTable,
    ColourTable,
    Pict,
    Object,
    Result,
    Upr,
    Ud,
    Bin,
    Par,
    Line,
    Tab,
    Cell,
    Row,
    Page,
    Char,
    U,
    Uc,
    Plain,
    Pard,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Sub,
    Super,
    NoSuperSub,
    Up,
    Dn,
    Font,
    FontSize,
    FontCharset,
    CodePage,
    Colour,
    Background,
    Red,
    Green,
    Blue,
    AlignLeft,
    AlignCentre,
    AlignRight,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    PictureKind,
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
};

struct WordInfo {
    Word word;
    char16_t ch = 0; ///< for Word::Char
};

const std::unordered_map<std::string_view, WordInfo>& words() {
    static const std::unordered_map<std::string_view, WordInfo> table = [] {
        std::unordered_map<std::string_view, WordInfo> t;
        for (const char* w : {"stylesheet",
                              "info",
                              "header",
                              "headerl",
                              "headerr",
                              "headerf",
                              "footer",
                              "footerl",
                              "footerr",
                              "footerf",
                              "footnote",
                              "annotation",
                              "atnid",
                              "atnauthor",
                              "atnref",
                              "atndate",
                              "pntext",
                              "pntxta",
                              "pntxtb",
                              "listtext",
                              "listtable",
                              "listoverridetable",
                              "revtbl",
                              "rsidtbl",
                              "generator",
                              "xmlnstbl",
                              "themedata",
                              "colorschememapping",
                              "datastore",
                              "latentstyles",
                              "fldinst",
                              "filetbl",
                              "pgdsctbl",
                              "objdata",
                              "nonshppict",
                              "private",
                              "template",
                              "docvar",
                              "userprops",
                              "bkmkstart",
                              "bkmkend",
                              "xe",
                              "tc",
                              "txe",
                              "rxe",
                              "comment",
                              "author",
                              "operator",
                              "title",
                              "subject",
                              "keywords",
                              "doccomm",
                              "company",
                              "buptim",
                              "creatim",
                              "revtim",
                              "printim",
                              "fchars",
                              "lchars",
                              "falt",
                              "panose",
                              "fontemb",
                              "fontfile",
                              "blipuid",
                              "picprop",
                              "shpinst",
                              "sp",
                              "sn",
                              "sv",
                              "mmathPr",
                              "ftnsep",
                              "ftnsepc",
                              "ftncn",
                              "aftnsep",
                              "aftnsepc",
                              "aftncn",
                              "pn",
                              "objclass",
                              "objname",
                              "objtime",
                              "shptxt",
                              "background",
                              "wgrffmtfilter",
                              "pgptbl",
                              "protusertbl",
                              "passwordhash",
                              "mmath",
                              "oleclsid",
                              "listpicture",
                              "formfield",
                              "ffname",
                              "ffdeftext",
                              "ffformat",
                              "datafield",
                              "hl",
                              "hlfr",
                              "hlloc",
                              "hlsrc"})
            t[w] = {Word::Skip};
        for (const char* w : {"shppict", "shprslt", "fldrslt", "field",  "fldpriv",  "fnil",       "froman",
                              "fswiss",  "fmodern", "fscript", "fdecor", "ftech",    "fbidi",      "fprq",
                              "ltrch",   "rtlch",   "ltrpar",  "rtlpar", "viewkind", "nouicompat", "lang",
                              "langfe",  "langnp",  "loch",    "hich",   "dbch"})
            t[w] = {Word::Keep};
        const std::pair<const char*, Word> plain[] = {
            {"rtf", Word::Rtf},
            {"ansi", Word::Ansi},
            {"mac", Word::Mac},
            {"pc", Word::Pc},
            {"pca", Word::Pca},
            {"ansicpg", Word::AnsiCpg},
            {"deff", Word::Deff},
            {"fonttbl", Word::FontTable},
            {"colortbl", Word::ColourTable},
            {"pict", Word::Pict},
            {"object", Word::Object},
            {"result", Word::Result},
            {"upr", Word::Upr},
            {"ud", Word::Ud},
            {"bin", Word::Bin},
            {"par", Word::Par},
            {"sect", Word::Par},
            {"line", Word::Line},
            {"tab", Word::Tab},
            {"cell", Word::Cell},
            {"nestcell", Word::Cell},
            {"row", Word::Row},
            {"nestrow", Word::Row},
            {"page", Word::Page},
            {"u", Word::U},
            {"uc", Word::Uc},
            {"plain", Word::Plain},
            {"pard", Word::Pard},
            {"b", Word::Bold},
            {"i", Word::Italic},
            {"ul", Word::Underline},
            {"ulnone", Word::UnderlineNone},
            {"strike", Word::Strike},
            {"striked", Word::Strike},
            {"sub", Word::Sub},
            {"super", Word::Super},
            {"nosupersub", Word::NoSuperSub},
            {"up", Word::Up},
            {"dn", Word::Dn},
            {"f", Word::Font},
            {"fs", Word::FontSize},
            {"fcharset", Word::FontCharset},
            {"cpg", Word::CodePage},
            {"cf", Word::Colour},
            {"cb", Word::Background},
            {"chcbpat", Word::Background},
            {"highlight", Word::Background},
            {"red", Word::Red},
            {"green", Word::Green},
            {"blue", Word::Blue},
            {"ql", Word::AlignLeft},
            {"qc", Word::AlignCentre},
            {"qr", Word::AlignRight},
            {"qj", Word::AlignJustify},
            {"qd", Word::AlignJustify},
            {"li", Word::LeftIndent},
            {"ri", Word::RightIndent},
            {"fi", Word::FirstIndent},
            {"sb", Word::SpaceBefore},
            {"sa", Word::SpaceAfter},
            {"pngblip", Word::PictureKind},
            {"jpegblip", Word::PictureKind},
            {"emfblip", Word::PictureKind},
            {"wmetafile", Word::PictureKind},
            {"pmmetafile", Word::PictureKind},
            {"macpict", Word::PictureKind},
            {"dibitmap", Word::PictureKind},
            {"wbitmap", Word::PictureKind},
            {"picw", Word::PicW},
            {"pich", Word::PicH},
            {"picwgoal", Word::PicWGoal},
            {"pichgoal", Word::PicHGoal},
            {"picscalex", Word::PicScaleX},
            {"picscaley", Word::PicScaleY},
        };
        for (const auto& [w, word] : plain)
            t[w] = {word};
        const std::pair<const char*, char16_t> chars[] = {
            {"emdash", 0x2014},    {"endash", 0x2013},    {"emspace", 0x2003}, {"enspace", 0x2002},
            {"qmspace", 0x2005},   {"bullet", 0x2022},    {"lquote", 0x2018},  {"rquote", 0x2019},
            {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"zwj", 0x200D},     {"zwnj", 0x200C},
            {"zwbo", 0x200B},      {"ltrmark", 0x200E},   {"rtlmark", 0x200F}};
        for (const auto& [w, c] : chars)
            t[w] = {Word::Char, c};
        return t;
    }();
    return table;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

quint32 le32(const QByteArray& d, qsizetype at) {
    if (at + 4 > d.size()) return 0;
    return qFromLittleEndian<quint32>(d.constData() + at);
}

/// A device-independent bitmap as a BMP file (the file header in front).
QByteArray bmpFromDib(const QByteArray& dib) {
    const quint32 headerSize = le32(dib, 0);
    if (dib.size() < 16 || headerSize < 12 || headerSize > quint32(dib.size())) return {};
    qint64 paletteBytes = 0;
    if (headerSize == 12) {
        const int bits = qFromLittleEndian<quint16>(dib.constData() + 10);
        if (bits <= 8) paletteBytes = (qint64(1) << bits) * 3;
    } else if (dib.size() >= 40) {
        const int bits = qFromLittleEndian<quint16>(dib.constData() + 14);
        const quint32 compression = le32(dib, 16), used = le32(dib, 32);
        paletteBytes = used != 0 ? qint64(used) * 4 : bits <= 8 ? (qint64(1) << bits) * 4 : 0;
        if (compression == 3 && headerSize == 40) paletteBytes += 12;
    }
    const qint64 offset = std::min<qint64>(14 + qint64(headerSize) + paletteBytes, 14 + qint64(dib.size()));
    QByteArray file("BM");
    const quint32 fields[] = {quint32(14 + dib.size()), 0, quint32(offset)};
    for (quint32 v : fields) {
        char bytes[4];
        qToLittleEndian(v, bytes);
        file.append(bytes, 4);
    }
    return file + dib;
}

quint32 be32(const char* p) {
    return qFromBigEndian<quint32>(p);
}

/// Whether the chunks of a PNG that the picture cannot do without (IHDR, PLTE, IDAT, IEND) are
/// whole and unchanged. A damaged one is kept as it came rather than handed to the decoder.
bool pngIntact(const QByteArray& png) {
    const char* p = png.constData() + 8;
    const char* end = png.constData() + png.size();
    bool first = true;
    while (end - p >= 12) {
        const quint32 length = be32(p);
        if (length > quint32(end - p - 12)) return false;
        const char* type = p + 4;
        if (first && std::string_view(type, 4) != "IHDR") return false;
        first = false;
        const bool critical = type[0] >= 'A' && type[0] <= 'Z';
        if (critical &&
            ::crc32(0, reinterpret_cast<const Bytef*>(type), 4 + length) != be32(type + 4 + length))
            return false;
        if (std::string_view(type, 4) == "IEND") return true;
        p += 12 + length;
    }
    return false;
}

QImage placeholder() {
    // A picture the document cannot show (a metafile) is kept for saving and shown as a crossed
    // frame, one small image stretched to each such picture's size.
    QImage image(48, 48, QImage::Format_RGB32);
    image.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter painter(&image);
    painter.setPen(QColor(0x90, 0x90, 0x90));
    painter.drawRect(0, 0, image.width() - 1, image.height() - 1);
    painter.drawLine(0, 0, image.width() - 1, image.height() - 1);
    painter.drawLine(0, image.height() - 1, image.width() - 1, 0);
    return image;
}

class RtfParser {
  public:
    /// Reads `data` from `start`, the document's opening brace.
    RtfParser(const QByteArray& data, qsizetype start, QTextCursor& cursor)
        : p_(data.constData() + start), end_(data.constData() + data.size()), cursor_(cursor) {
        Group base;
        base.chars.setFontPointSize(12);
        stack_.push_back(base);
    }

    void run() {
        bool opened = false;
        while (p_ < end_) {
            const char c = *p_++;
            if (skipDepth_ > 0) {
                skipped(c);
                continue;
            }
            switch (c) {
            case '{':
                beginGroup();
                opened = true;
                break;
            case '}':
                endGroup();
                break;
            case '\\':
                control();
                break;
            case '\r':
            case '\n':
                break;
            default:
                byte((unsigned char)c);
            }
            if (opened && stack_.size() == 1) break; // the document's group is closed
        }
        flushText();
        if (paraSeen_) cursor_.setBlockFormat(lastPara_);
    }

  private:
    Group& top() { return stack_.back(); }

    void skipped(char c) {
        if (c == '\\') {
            if (p_ < end_ && (*p_ == '{' || *p_ == '}' || *p_ == '\\')) {
                ++p_;
            } else if (end_ - p_ > 3 && std::string_view(p_, 3) == "bin" && !isLetter(p_[3])) {
                // Binary data may hold braces: its length is what counts.
                p_ += 3;
                long long n = 0;
                while (p_ < end_ && *p_ >= '0' && *p_ <= '9') {
                    if (n < 100000000000LL) n = n * 10 + (*p_ - '0');
                    ++p_;
                }
                if (p_ < end_ && *p_ == ' ') ++p_;
                p_ += std::min<long long>(n, end_ - p_);
            }
        } else if (c == '{') {
            ++skipDepth_;
        } else if (c == '}') {
            --skipDepth_;
        }
    }

    void beginGroup() {
        flushText();
        ucSkip_ = 0;
        if (stack_.size() >= kMaxDepth) {
            skipDepth_ = 1;
            return;
        }
        stack_.push_back(stack_.back());
    }

    void endGroup() {
        flushText();
        ucSkip_ = 0;
        ignorable_ = false;
        if (stack_.size() <= 1) return; // a stray closing brace
        const Dest dest = top().dest;
        if (dest == Dest::FontTable) finishFontEntry();
        if (dest == Dest::Picture && stack_.size() == picture_.depth) finishPicture();
        stack_.pop_back();
        if (dest == Dest::FontTable && top().dest != Dest::FontTable && defaultFont_ >= 0 && !fontSet_)
            applyFont(top(), defaultFont_);
    }

    /// Skips the rest of the current group.
    void skipGroup() {
        flushText();
        if (stack_.size() <= 2) { // never the document's own group
            top().dest = Dest::Hidden;
            return;
        }
        stack_.pop_back();
        skipDepth_ = 1;
    }

    void control() {
        if (p_ >= end_) return;
        const char c = *p_;
        if (!isLetter(c)) {
            ++p_;
            symbol(c);
            return;
        }
        const char* start = p_;
        while (p_ < end_ && isLetter(*p_))
            ++p_;
        // Words are at most 32 letters; a longer one is nothing this reader knows.
        const std::string_view name(start, size_t(std::min<ptrdiff_t>(p_ - start, 33)));
        bool hasParam = false;
        bool negative = false;
        long long param = 0;
        if (p_ < end_ && *p_ == '-' && p_ + 1 < end_ && *(p_ + 1) >= '0' && *(p_ + 1) <= '9') {
            negative = true;
            ++p_;
        }
        while (p_ < end_ && *p_ >= '0' && *p_ <= '9') {
            hasParam = true;
            if (param < 100000000000LL) param = param * 10 + (*p_ - '0');
            ++p_;
        }
        if (p_ < end_ && *p_ == ' ') ++p_;
        if (negative) param = -param;
        param = std::clamp<long long>(param, -2147483647LL, 2147483647LL);
        word(name, hasParam, int(param));
    }

    void symbol(char c) {
        if (c == '*') {
            ignorable_ = true;
            return;
        }
        ignorable_ = false;
        switch (c) {
        case '\'': {
            int value = -1;
            if (p_ < end_ && hexValue(*p_) >= 0) {
                value = hexValue(*p_++);
                if (p_ < end_ && hexValue(*p_) >= 0) value = value * 16 + hexValue(*p_++);
                byte((unsigned char)value, true);
            }
            return;
        }
        case '\\':
        case '{':
        case '}':
            byte((unsigned char)c, true);
            return;
        case '~':
            character(0x00A0);
            return;
        case '-':
            character(0x00AD);
            return;
        case '_':
            character(0x2011);
            return;
        case '\r':
        case '\n':
            if (!consumeFallback() && top().dest == Dest::Text) paragraph();
            return;
        default:
            consumeFallback();
        }
    }

    /// Whether a character stands in the fallback of a Unicode character, which is dropped.
    bool consumeFallback() {
        if (ucSkip_ <= 0) return false;
        --ucSkip_;
        return true;
    }

    void byte(unsigned char b, bool escaped = false) {
        Group& g = top();
        switch (g.dest) {
        case Dest::Text:
            if (consumeFallback()) return;
            if (pendingCodePage_ != g.codePage) decodePending();
            pendingCodePage_ = g.codePage;
            pendingBytes_ += char(b);
            return;
        case Dest::FontTable:
            if (b == ';' && !escaped) {
                finishFontEntry();
                return;
            }
            if (consumeFallback()) return;
            if (pendingCodePage_ != entryCodePage()) decodePending();
            pendingCodePage_ = entryCodePage();
            pendingBytes_ += char(b);
            return;
        case Dest::ColourTable:
            if (b == ';') {
                colours_.push_back(colourSet_ ? QColor(red_, green_, blue_) : QColor());
                red_ = green_ = blue_ = 0;
                colourSet_ = false;
            }
            return;
        case Dest::Picture: {
            const int v = escaped ? -1 : hexValue(char(b));
            if (v < 0) return;
            if (picture_.nibble < 0) {
                picture_.nibble = v;
            } else {
                picture_.data += char(picture_.nibble * 16 + v);
                picture_.nibble = -1;
            }
            return;
        }
        case Dest::Hidden:
            return;
        }
    }

    void character(char16_t c) {
        if (consumeFallback()) return;
        const Dest d = top().dest;
        if (d != Dest::Text && d != Dest::FontTable) return;
        decodePending();
        pendingText_ += QChar(c);
    }

    /// The code page of the font name being read. Names of symbol fonts are plain letters.
    int entryCodePage() const {
        if (entry_.codePage > 0) return entry_.codePage;
        const int cp = codePageForCharset(entry_.charset, ansiCodePage_);
        return cp == kSymbolCodePage ? ansiCodePage_ : cp;
    }

    void decodePending() {
        if (pendingBytes_.isEmpty()) return;
        pendingText_ += decoder_.decode(pendingBytes_, pendingCodePage_);
        pendingBytes_.clear();
    }

    QString takeText() {
        decodePending();
        QString text;
        text.swap(pendingText_);
        return text;
    }

    /// Inserts the text gathered so far in the current attributes.
    void flushText() {
        if (pendingBytes_.isEmpty() && pendingText_.isEmpty()) return;
        if (top().dest != Dest::Text) {
            if (top().dest != Dest::FontTable) takeText();
            return;
        }
        QString text = takeText();
        // Characters the document would take for structure, and halves of broken pairs.
        for (qsizetype i = 0; i < text.size(); ++i) {
            QChar& c = text[i];
            const char16_t u = c.unicode();
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                ++i;
                continue;
            }
            if (c.isSurrogate() || u == QChar::ObjectReplacementCharacter || u == 0xFDD0 || u == 0xFDD1 ||
                u == 0xFFFE || u == 0xFFFF)
                c = QChar(QChar::ReplacementCharacter);
            else if (u < 0x20 && u != '\t')
                c = QChar(u' ');
            else if (u == QChar::ParagraphSeparator)
                c = QChar(QChar::LineSeparator);
        }
        cursor_.insertText(text, top().chars);
        lastPara_ = top().para;
        paraSeen_ = true;
    }

    void paragraph() {
        flushText();
        // An empty paragraph is as high as its mark's attributes say.
        if (cursor_.block().length() == 1) cursor_.setBlockCharFormat(top().chars);
        cursor_.setBlockFormat(top().para);
        cursor_.insertBlock(top().para, top().chars);
        lastPara_ = top().para;
        paraSeen_ = true;
    }

    void applyFont(Group& g, int n) {
        const auto it = fonts_.find(n);
        if (it == fonts_.end()) return; // no such font: the one in force stays
        fontSet_ = true;
        const FontEntry& f = it->second;
        if (!f.name.isEmpty()) g.chars.setFontFamilies(QStringList{f.name});
        const bool symbolFace = isSymbolFont(f.name);
        if (f.charset >= 0)
            g.chars.setProperty(kCharsetFormatProperty, f.charset);
        else if (symbolFace)
            g.chars.setProperty(kCharsetFormatProperty, 2);
        else
            g.chars.clearProperty(kCharsetFormatProperty);
        // Only the Greek symbol face turns Latin letters Greek; other charset-2 faces (dingbats)
        // keep their bytes.
        g.codePage = f.codePage > 0   ? f.codePage
                     : symbolFace     ? kSymbolCodePage
                     : f.charset == 2 ? 1252
                                      : codePageForCharset(f.charset, ansiCodePage_);
    }

    void finishFontEntry() {
        QString name = takeText();
        name.removeIf([](QChar c) { return c.unicode() < 0x20; });
        name = name.trimmed();
        if (entryId_ >= 0 && (!name.isEmpty() || entry_.charset >= 0)) {
            FontEntry e = entry_;
            e.name = name;
            fonts_[entryId_] = e;
        }
        entryId_ = -1;
        entry_ = FontEntry();
    }

    void finishPicture() {
        Picture pic = std::move(picture_);
        picture_ = Picture();
        if (!pic.shown || pic.data.isEmpty()) return;
        const bool raster =
            pic.kind == "pngblip" || pic.kind == "jpegblip" || pic.kind.startsWith("dibitmap");
        QImage image;
        if (pic.kind == "pngblip" || pic.kind == "jpegblip")
            image = decode(pic.data, nullptr);
        else if (pic.kind.startsWith("dibitmap"))
            image = decode(bmpFromDib(pic.data), "BMP");
        else if (pic.kind == "emfblip")
            image = drawMetafile(pic.data);

        // Shown size: the goal size in twips, else the picture's own (pixels for bitmaps,
        // hundredths of a millimetre for metafiles), then the scale in percent.
        qreal w = pic.goalw > 0 ? qreal(pic.goalw) / kTwipsPerPixel
                  : raster      ? (image.isNull() ? pic.picw : image.width())
                                : pic.picw * 96.0 / 2540.0;
        qreal h = pic.goalh > 0 ? qreal(pic.goalh) / kTwipsPerPixel
                  : raster      ? (image.isNull() ? pic.pich : image.height())
                                : pic.pich * 96.0 / 2540.0;
        w = std::clamp(w * std::clamp(pic.scalex, 1, 1000) / 100.0, 1.0, qreal(kMaxPicturePixels));
        h = std::clamp(h * std::clamp(pic.scaley, 1, 1000) / 100.0, 1.0, qreal(kMaxPicturePixels));

        QTextImageFormat f;
        if (image.isNull()) {
            if (placeholderName_.isEmpty())
                placeholderName_ = addImageResource(*cursor_.document(), placeholder());
            f.setName(placeholderName_);
        } else {
            f.setName(addImageResource(*cursor_.document(), image));
        }
        // A picture shown from its bytes as they are is not kept: it is written anew. A
        // metafile, drawn or not, is kept whole, for saving.
        if (image.isNull() || !raster) {
            f.setProperty(kPictureKindProperty, pic.kind.isEmpty() ? QByteArray("wmetafile8") : pic.kind);
            f.setProperty(kPictureDataProperty, pic.data);
            f.setProperty(kPictureWidthProperty, pic.picw);
            f.setProperty(kPictureHeightProperty, pic.pich);
        }
        f.setWidth(w);
        f.setHeight(h);
        cursor_.insertImage(f);
    }

    /// Draws an enhanced metafile within what is left of the budget of pixels; null when the
    /// bytes are not a whole metafile (it is then kept and shown as a frame).
    QImage drawMetafile(const QByteArray& data) {
        if (pixelBudget_ <= 0 || !looksLikeMetafile(data)) return {};
        EmfPicture emf;
        if (!emf.load(data, nullptr)) return {};
        MetafileView view = renderMetafile(emf, std::min<qint64>(pixelBudget_, kMetafilePixels));
        if (view.image.isNull()) return {};
        pixelBudget_ -= qint64(view.image.width()) * view.image.height();
        return std::move(view.image);
    }

    /// Decodes a picture within what is left of the reading's budget of pixels, so a few bytes
    /// that claim a huge picture cannot exhaust the memory. Null when it does not fit or fails.
    QImage decode(const QByteArray& data, const char* format) {
        if (data.startsWith("\x89PNG\r\n\x1A\n") && !pngIntact(data)) return {};
        QBuffer buffer;
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, format);
        const QSize size = reader.size();
        if (!size.isValid()) return {};
        const qint64 pixels = qint64(size.width()) * size.height();
        if (pixels > pixelBudget_) return {};
        QImage image = reader.read();
        if (!image.isNull()) pixelBudget_ -= pixels;
        return image;
    }

    void word(std::string_view name, bool hasParam, int n) {
        const auto& table = words();
        const auto it = table.find(name);
        WordInfo info = it == table.end() ? WordInfo{Word::Unknown} : it->second;
        if (info.word == Word::Unknown && name.size() > 2 && name.substr(0, 2) == "ul" && name != "ulc")
            info.word = Word::Underline; // the many kinds of underline (uld, uldb, ulwave, ...)
        const bool ignorable = ignorable_;
        ignorable_ = false;

        if (info.word == Word::Bin) {
            binary(n);
            return;
        }
        // The fallback of a Unicode character: a word there stands for one character.
        if (ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        Group& g = top();
        if (info.word == Word::U) {
            unicode(n);
            return;
        }
        if (info.word == Word::Char) {
            if (g.dest == Dest::Text) character(info.ch);
            return;
        }
        if (info.word == Word::Skip || (info.word == Word::Unknown && ignorable)) {
            skipGroup();
            return;
        }
        flushText();

        switch (g.dest) {
        case Dest::FontTable:
            fontTableWord(info.word, hasParam, n);
            return;
        case Dest::ColourTable:
            if (info.word == Word::Red) red_ = std::clamp(n, 0, 255), colourSet_ = true;
            if (info.word == Word::Green) green_ = std::clamp(n, 0, 255), colourSet_ = true;
            if (info.word == Word::Blue) blue_ = std::clamp(n, 0, 255), colourSet_ = true;
            return;
        case Dest::Picture:
            pictureWord(info.word, name, hasParam, n);
            return;
        case Dest::Text:
        case Dest::Hidden:
            break;
        }

        const auto points = [](int halfPoints) { return std::clamp(halfPoints, 4, 3276) / 2.0; };
        const auto pixels = [](int twips) {
            return std::clamp(twips, -150000, 150000) / qreal(kTwipsPerPixel);
        };
        switch (info.word) {
        case Word::Ansi:
            ansiCodePage_ = 1252;
            break;
        case Word::Mac:
            ansiCodePage_ = 10000;
            break;
        case Word::Pc:
            ansiCodePage_ = 437;
            break;
        case Word::Pca:
            ansiCodePage_ = 850;
            break;
        case Word::AnsiCpg:
            if (n > 0) ansiCodePage_ = n;
            break;
        case Word::Deff:
            defaultFont_ = n;
            break;
        case Word::FontTable:
            g.dest = Dest::FontTable;
            break;
        case Word::ColourTable:
            g.dest = Dest::ColourTable;
            break;
        case Word::Pict:
            picture_ = Picture();
            picture_.depth = stack_.size();
            picture_.shown = g.dest == Dest::Text;
            g.dest = Dest::Picture;
            break;
        case Word::Object:
        case Word::Upr:
            g.dest = Dest::Hidden;
            break;
        case Word::Result:
        case Word::Ud:
            g.dest = Dest::Text;
            break;
        case Word::Par:
        case Word::Row:
        case Word::Page:
            if (g.dest == Dest::Text) paragraph();
            break;
        case Word::Line:
            if (g.dest == Dest::Text) character(QChar::LineSeparator);
            break;
        case Word::Tab:
        case Word::Cell:
            if (g.dest == Dest::Text) character(u'\t');
            break;
        case Word::Uc:
            g.uc = std::clamp(n, 0, 16);
            break;
        case Word::Plain: {
            g.chars = QTextCharFormat();
            g.chars.setFontPointSize(12);
            if (defaultFont_ >= 0)
                applyFont(g, defaultFont_);
            else
                g.codePage = ansiCodePage_;
            break;
        }
        case Word::Pard:
            g.para = QTextBlockFormat();
            break;
        case Word::Bold:
            g.chars.setFontWeight(hasParam && n == 0 ? QFont::Normal : QFont::Bold);
            break;
        case Word::Italic:
            g.chars.setFontItalic(!(hasParam && n == 0));
            break;
        case Word::Underline:
            g.chars.setFontUnderline(!(hasParam && n == 0));
            break;
        case Word::UnderlineNone:
            g.chars.setFontUnderline(false);
            break;
        case Word::Strike:
            g.chars.setFontStrikeOut(!(hasParam && n == 0));
            break;
        case Word::Sub:
            g.chars.setVerticalAlignment(QTextCharFormat::AlignSubScript);
            break;
        case Word::Super:
            g.chars.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
            break;
        case Word::NoSuperSub:
            g.chars.setVerticalAlignment(QTextCharFormat::AlignNormal);
            break;
        case Word::Up:
            g.chars.setVerticalAlignment(n > 0 ? QTextCharFormat::AlignSuperScript
                                               : QTextCharFormat::AlignNormal);
            break;
        case Word::Dn:
            g.chars.setVerticalAlignment(n > 0 ? QTextCharFormat::AlignSubScript
                                               : QTextCharFormat::AlignNormal);
            break;
        case Word::Font:
            applyFont(g, n);
            break;
        case Word::FontSize:
            if (n > 0) g.chars.setFontPointSize(points(n));
            break;
        case Word::Colour:
            if (n >= 0 && size_t(n) < colours_.size() && colours_[size_t(n)].isValid())
                g.chars.setForeground(colours_[size_t(n)]);
            else
                g.chars.clearForeground();
            break;
        case Word::Background:
            if (n >= 0 && size_t(n) < colours_.size() && colours_[size_t(n)].isValid())
                g.chars.setBackground(colours_[size_t(n)]);
            else
                g.chars.clearBackground();
            break;
        case Word::AlignLeft:
            g.para.setAlignment(Qt::AlignLeft);
            break;
        case Word::AlignCentre:
            g.para.setAlignment(Qt::AlignHCenter);
            break;
        case Word::AlignRight:
            g.para.setAlignment(Qt::AlignRight);
            break;
        case Word::AlignJustify:
            g.para.setAlignment(Qt::AlignJustify);
            break;
        case Word::LeftIndent:
            g.para.setLeftMargin(pixels(n));
            break;
        case Word::RightIndent:
            g.para.setRightMargin(pixels(n));
            break;
        case Word::FirstIndent:
            g.para.setTextIndent(pixels(n));
            break;
        case Word::SpaceBefore:
            g.para.setTopMargin(std::max<qreal>(0, pixels(n)));
            break;
        case Word::SpaceAfter:
            g.para.setBottomMargin(std::max<qreal>(0, pixels(n)));
            break;
        default:
            break;
        }
    }

    void fontTableWord(Word w, bool hasParam, int n) {
        switch (w) {
        case Word::Font:
            if (entryId_ >= 0) finishFontEntry();
            entryId_ = n;
            break;
        case Word::FontCharset:
            entry_.charset = std::clamp(n, 0, 255);
            break;
        case Word::CodePage:
            if (n > 0) entry_.codePage = n;
            break;
        default:
            break;
        }
    }

    void pictureWord(Word w, std::string_view name, bool hasParam, int n) {
        switch (w) {
        case Word::PictureKind:
            picture_.kind = QByteArray(name.data(), qsizetype(name.size()));
            if (hasParam) picture_.kind += QByteArray::number(n);
            break;
        case Word::PicW:
            picture_.picw = n;
            break;
        case Word::PicH:
            picture_.pich = n;
            break;
        case Word::PicWGoal:
            picture_.goalw = n;
            break;
        case Word::PicHGoal:
            picture_.goalh = n;
            break;
        case Word::PicScaleX:
            picture_.scalex = n;
            break;
        case Word::PicScaleY:
            picture_.scaley = n;
            break;
        default:
            break;
        }
    }

    /// \binN: N raw bytes follow (picture data), never read as text.
    void binary(int n) {
        const ptrdiff_t count = std::clamp<ptrdiff_t>(n, 0, end_ - p_);
        if (top().dest == Dest::Picture) picture_.data.append(p_, qsizetype(count));
        p_ += count;
    }

    void unicode(int n) {
        int code = n < 0 ? n + 65536 : n;
        code = std::clamp(code, 0, 0xFFFF);
        // Symbol-font characters come as their private-use codes; they show Greek letters.
        if (top().codePage == kSymbolCodePage && code >= 0xF020 && code <= 0xF0FF)
            code = symbolByteToUnicode((unsigned char)(code - 0xF000));
        character(char16_t(code));
        ucSkip_ = top().uc;
    }

    const char* p_;
    const char* end_;
    QTextCursor& cursor_;
    std::vector<Group> stack_;
    int skipDepth_ = 0;
    bool ignorable_ = false;
    int ucSkip_ = 0;

    int ansiCodePage_ = 1252;
    int defaultFont_ = -1;
    bool fontSet_ = false;
    std::map<int, FontEntry> fonts_;
    int entryId_ = -1;
    FontEntry entry_;
    std::vector<QColor> colours_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colourSet_ = false;
    Picture picture_;
    QString placeholderName_;
    qint64 pixelBudget_ = 64'000'000;

    QByteArray pendingBytes_;
    int pendingCodePage_ = 1252;
    QString pendingText_;
    CodePageDecoder decoder_;
    QTextBlockFormat lastPara_;
    bool paraSeen_ = false;
};

/// Where the rich text starts (after a byte-order mark and blanks), or -1 when it does not.
qsizetype richTextStart(const QByteArray& rtf, QString* error) {
    qsizetype i = rtf.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < rtf.size() && (rtf[i] == ' ' || rtf[i] == '\t' || rtf[i] == '\r' || rtf[i] == '\n'))
        ++i;
    if (rtf.mid(i, 5) == "{\\rtf") return i;
    if (error) *error = QStringLiteral("The text is not in the rich-text format (RTF)");
    return -1;
}

} // namespace

bool insertRtf(const QByteArray& rtf, QTextCursor& cursor, QString* error) {
    const qsizetype start = richTextStart(rtf, error);
    if (start < 0) return false;
    cursor.beginEditBlock();
    if (cursor.hasSelection()) cursor.removeSelectedText();
    RtfParser(rtf, start, cursor).run();
    cursor.endEditBlock();
    return true;
}

bool readRtf(const QByteArray& rtf, QTextDocument& document, QString* error) {
    const qsizetype start = richTextStart(rtf, error);
    if (start < 0) return false;
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    RtfParser(rtf, start, cursor).run();
    cursor.endEditBlock();
    // Loading is not a step the user can undo.
    document.clearUndoRedoStacks();
    return true;
}

} // namespace qv
