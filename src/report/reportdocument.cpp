#include "report/reportdocument.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include <algorithm>

#include "platform/emfreader.h"
#include "platform/fonts.h"
#include "report/reportformat.h"
#include "report/reportinsertion.h"

namespace qv {

// ---- RunFormat ----

bool RunFormat::isSymbol() const {
    return charset != kUnset ? charset == 2 : isSymbolFont(family);
}

int RunFormat::effectiveCharset() const {
    return charset != kUnset ? charset : isSymbolFont(family) ? 2 : 1;
}

RunFormat RunFormat::fromCharFormat(const QTextCharFormat& cf) {
    RunFormat f;
    f.family = familyOf(cf);
    if (cf.hasProperty(kCharsetFormatProperty)) f.charset = cf.intProperty(kCharsetFormatProperty);
    if (cf.fontPointSize() > 0) f.points = cf.fontPointSize();
    if (cf.hasProperty(QTextFormat::FontWeight)) f.weight = cf.fontWeight();
    if (cf.hasProperty(QTextFormat::TextVerticalAlignment)) f.position = int8_t(cf.verticalAlignment());
    f.italic = cf.fontItalic();
    f.underline = cf.fontUnderline();
    f.strikeOut = cf.fontStrikeOut();
    if (cf.foreground().style() != Qt::NoBrush) f.foreground = cf.foreground().color().rgba();
    if (cf.background().style() != Qt::NoBrush) f.background = cf.background().color().rgba();
    return f;
}

QTextCharFormat RunFormat::toCharFormat() const {
    QTextCharFormat cf;
    if (!family.isEmpty()) cf.setFontFamilies(QStringList{family});
    if (charset != kUnset) cf.setProperty(kCharsetFormatProperty, charset);
    if (points > 0) cf.setFontPointSize(points);
    if (weight != kUnset) cf.setFontWeight(weight);
    if (italic) cf.setFontItalic(true);
    if (underline) cf.setFontUnderline(true);
    if (strikeOut) cf.setFontStrikeOut(true);
    if (position != kUnset) cf.setVerticalAlignment(QTextCharFormat::VerticalAlignment(position));
    if (foreground) cf.setForeground(QColor::fromRgba(*foreground));
    if (background) cf.setBackground(QColor::fromRgba(*background));
    return cf;
}

// ---- Pictures ----

QImage ReportDocument::Picture::toImage() const {
    if (!metafile) return image;
    EmfPicture emf;
    if (!emf.load(data, nullptr)) return {};
    return renderMetafile(emf, kReportPicturePixelBudget).image;
}

// ---- ReportDocument ----

ReportDocument::ReportDocument() : ReportDocument(QFont()) {}

ReportDocument::ReportDocument(const QFont& defaultFont)
    : defaultFont_(defaultFont), defaultFamily_(defaultFont.family()),
      defaultPoints_(defaultFont.pointSizeF() > 0 ? defaultFont.pointSizeF() : 12) {
    formats_.push_back(RunFormat{});
    paragraphs_.push_back(Paragraph{});
}

ReportDocument::~ReportDocument() = default;
ReportDocument::ReportDocument(const ReportDocument&) = default;
ReportDocument& ReportDocument::operator=(const ReportDocument&) = default;
ReportDocument::ReportDocument(ReportDocument&&) noexcept = default;
ReportDocument& ReportDocument::operator=(ReportDocument&&) noexcept = default;

namespace {

/// RunFormat's equality, the numbers first: most formats of a report differ in size or
/// position only, and their faces are mostly one shared string.
bool sameFormat(const RunFormat& a, const RunFormat& b) {
    if (a.points != b.points || a.position != b.position || a.charset != b.charset || a.weight != b.weight ||
        a.italic != b.italic || a.underline != b.underline || a.strikeOut != b.strikeOut ||
        a.foreground != b.foreground || a.background != b.background)
        return false;
    const qsizetype size = a.family.size();
    return size == b.family.size() && (a.family.constData() == b.family.constData() || a.family == b.family);
}

} // namespace

int32_t ReportDocument::formatIndex(const RunFormat& format) {
    // A report uses a few dozen formats and switches among a handful of them (a letter, its
    // subscript index, the sign after it): those met last are tried first.
    for (const int32_t recent : recentFormats_)
        if (recent >= 0 && size_t(recent) < formats_.size() && sameFormat(formats_[size_t(recent)], format))
            return recent;
    int32_t found = -1;
    for (size_t i = 0; i < formats_.size() && found < 0; ++i)
        if (sameFormat(formats_[i], format)) found = int32_t(i);
    if (found < 0) {
        formats_.push_back(format);
        found = int32_t(formats_.size() - 1);
    }
    std::copy_backward(recentFormats_.begin(), recentFormats_.end() - 1, recentFormats_.end());
    recentFormats_[0] = found;
    return found;
}

namespace {

void appendChars(QString& buffer, QStringView text) {
    buffer.append(text);
}

/// Latin-1 text widened in place: the report's text is mostly short ASCII pieces, and the
/// string's own conversion costs several times the copy for them.
void appendChars(QString& buffer, QLatin1StringView text) {
    const qsizetype at = buffer.size();
    buffer.resize(at + text.size());
    char16_t* to = reinterpret_cast<char16_t*>(buffer.data()) + at;
    for (const char c : text)
        *to++ = uchar(c);
}

template <class View>
void appendTo(QString& buffer, std::vector<ReportDocument::Run>& runs, ReportDocument::Paragraph& p,
              View text, int32_t format) {
    if (text.isEmpty()) return;
    if (p.runCount > 0) {
        ReportDocument::Run& last = runs.back();
        if (last.picture < 0 && last.format == format) {
            appendChars(buffer, text);
            last.length += int32_t(text.size());
            return;
        }
    }
    runs.push_back(ReportDocument::Run{format, int32_t(buffer.size()), int32_t(text.size()), -1});
    appendChars(buffer, text);
    ++p.runCount;
}

} // namespace

void ReportDocument::appendText(QStringView text, int32_t format) {
    appendTo(text_, runs_, paragraphs_.back(), text, format);
}

void ReportDocument::appendText(QLatin1StringView text, int32_t format) {
    appendTo(text_, runs_, paragraphs_.back(), text, format);
}

void ReportDocument::appendParagraph(int alignment, int32_t mark) {
    Paragraph p = paragraphs_.back();
    p.alignment = alignment;
    p.mark = mark;
    p.firstRun = int32_t(runs_.size());
    p.runCount = 0;
    paragraphs_.push_back(p);
}

void ReportDocument::appendPicture(Picture picture, int32_t format) {
    pictures_.push_back(std::move(picture));
    runs_.push_back(Run{format, int32_t(text_.size()), 1, int32_t(pictures_.size() - 1)});
    text_.append(QChar::ObjectReplacementCharacter);
    ++paragraphs_.back().runCount;
}

QChar ReportDocument::lastCharacter() const {
    if (paragraphs_.back().runCount == 0) return QChar();
    return text_.back();
}

int ReportDocument::removeLast(int count) {
    int removed = 0;
    while (removed < count) {
        Paragraph& p = paragraphs_.back();
        if (p.runCount > 0) {
            Run& last = runs_.back();
            qsizetype n = 1;
            if (last.picture < 0 && last.length >= 2 && text_.at(text_.size() - 1).isLowSurrogate() &&
                text_.at(text_.size() - 2).isHighSurrogate())
                n = 2;
            text_.chop(n);
            last.length -= int32_t(n);
            if (last.length == 0) {
                if (last.picture >= 0 && size_t(last.picture) + 1 == pictures_.size()) pictures_.pop_back();
                runs_.pop_back();
                --p.runCount;
            }
        } else if (paragraphs_.size() > 1) {
            // As an editor joins them: the earlier paragraph's mark stays, and its block format
            // too unless it was empty, when the later one's takes its place.
            Paragraph later = p;
            paragraphs_.pop_back();
            Paragraph& earlier = paragraphs_.back();
            if (earlier.runCount == 0) {
                earlier.alignment = later.alignment;
                earlier.leftMargin = later.leftMargin;
                earlier.rightMargin = later.rightMargin;
                earlier.textIndent = later.textIndent;
                earlier.topMargin = later.topMargin;
                earlier.bottomMargin = later.bottomMargin;
            }
        } else {
            break;
        }
        ++removed;
    }
    return removed;
}

ReportDocument ReportDocument::fromTextDocument(const QTextDocument& document) {
    ReportDocument d(document.defaultFont());
    bool first = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat bf = block.blockFormat();
        const int32_t mark = d.formatIndex(RunFormat::fromCharFormat(block.charFormat()));
        if (first) {
            d.paragraphs_.back().alignment = int(bf.alignment());
            d.paragraphs_.back().mark = mark;
            first = false;
        } else {
            d.appendParagraph(int(bf.alignment()), mark);
        }
        Paragraph& p = d.paragraphs_.back();
        p.leftMargin = bf.leftMargin();
        p.rightMargin = bf.rightMargin();
        p.textIndent = bf.textIndent();
        p.topMargin = bf.topMargin();
        p.bottomMargin = bf.bottomMargin();
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const QTextCharFormat cf = fragment.charFormat();
            const QString text = fragment.text();
            if (!cf.isImageFormat()) {
                d.appendText(text, d.formatIndex(RunFormat::fromCharFormat(cf)));
                continue;
            }
            const QTextImageFormat f = cf.toImageFormat();
            Picture picture;
            if (f.hasProperty(kPictureKindProperty)) {
                // Kept as it was read or inserted: written back unchanged. An enhanced
                // metafile is drawn from its bytes where an image is needed.
                picture.kind = f.property(kPictureKindProperty).toByteArray();
                picture.data = f.property(kPictureDataProperty).toByteArray();
                picture.picw = f.intProperty(kPictureWidthProperty);
                picture.pich = f.intProperty(kPictureHeightProperty);
                picture.metafile = picture.kind == "emfblip" && looksLikeMetafile(picture.data);
                if (!picture.metafile) picture.image = imageResource(document, f.name());
            } else {
                picture.image = imageResource(document, f.name());
            }
            picture.shown = QSizeF(f.width(), f.height());
            for (QChar c : text)
                if (c == QChar::ObjectReplacementCharacter) d.appendPicture(picture, 0);
        }
    }
    return d;
}

void ReportDocument::insertInto(QTextCursor& cursor) const {
    insert(cursor, false);
}

void ReportDocument::fill(QTextDocument& document) const {
    document.setDefaultFont(defaultFont_);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    insert(cursor, true);
    cursor.endEditBlock();
}

void ReportDocument::insert(QTextCursor& cursor, bool intoEmptyDocument) const {
    ReportInsertion(*this, cursor, intoEmptyDocument).step(cursor, SIZE_MAX);
}

} // namespace qv
