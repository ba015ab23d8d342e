#include "report/reportdocumenttarget.h"

#include <QFile>
#include <QImageReader>
#include <QTextCharFormat>

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>

#include "platform/emfreader.h"
#include "platform/fonts.h"
#include "report/reportformat.h"

namespace qv {

namespace {

// The largest size a rich-text run can carry.
constexpr int kMaxPoints = 1638;

} // namespace

ReportDocumentTarget::ReportDocumentTarget(ReportDocument& document) : doc_(document) {}

void ReportDocumentTarget::setAttributes(const RunFormat& format) {
    typing_ = format;
    fontName_.clear();
    typingIndex_ = -1;
}

void ReportDocumentTarget::restart(bool continuesText) {
    typingIndex_ = -1;
    continuesText_ = continuesText;
}

int32_t ReportDocumentTarget::typingIndex() {
    if (typingIndex_ < 0) typingIndex_ = doc_.formatIndex(typing_);
    return typingIndex_;
}

void ReportDocumentTarget::paragraphBreak() {
    int alignment = doc_.paragraphs().back().alignment;
    if (alignmentAfterPicture_) {
        alignment = *alignmentAfterPicture_;
        alignmentAfterPicture_.reset();
    }
    // The new paragraph's mark has the attributes in force: an empty line keeps the height
    // of the text around it.
    doc_.appendParagraph(alignment, typingIndex());
}

void ReportDocumentTarget::insert(const std::string& text) {
    // Pieces between paragraph breaks; "\r\n" is one break.
    const bool greek = typing_.isSymbol();
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        if (!end && text[i] != '\r' && text[i] != '\n') continue;
        if (i > start) appendPiece(std::string_view(text).substr(start, i - start), greek);
        if (end) break;
        paragraphBreak();
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
}

void ReportDocumentTarget::appendPiece(std::string_view piece, bool greek) {
    // Most of a report is ASCII: it goes in without a decoded copy.
    const bool ascii = std::all_of(piece.begin(), piece.end(), [](char c) { return uchar(c) < 0x80; });
    if (ascii && !greek) {
        doc_.appendText(QLatin1StringView(piece.data(), qsizetype(piece.size())), typingIndex());
        return;
    }
    // The rest is mostly short: a Greek letter, the multiplication sign, a Russian word. Those
    // of ASCII and two-byte sequences (U+0080..U+07FF) are decoded here without a string of
    // their own; anything else goes through the full decoder.
    char16_t decoded[128]; // no more UTF-16 units than bytes
    bool whole = piece.size() <= std::size(decoded);
    size_t length = 0;
    for (size_t i = 0; whole && i < piece.size(); ++i) {
        const auto b = uchar(piece[i]);
        if (b < 0x80) {
            decoded[length++] = b;
        } else if (b >= 0xC2 && b <= 0xDF && i + 1 < piece.size() && (uchar(piece[i + 1]) & 0xC0) == 0x80) {
            decoded[length++] = char16_t(((b & 0x1F) << 6) | (uchar(piece[i + 1]) & 0x3F));
            ++i;
        } else {
            whole = false;
        }
    }
    if (whole) {
        if (greek)
            for (size_t i = 0; i < length; ++i)
                decoded[i] = symbolToGreek(decoded[i]);
        doc_.appendText(QStringView(decoded, qsizetype(length)), typingIndex());
        return;
    }
    QString s = QString::fromUtf8(piece.data(), qsizetype(piece.size()));
    if (greek) s = symbolToGreek(s);
    doc_.appendText(s, typingIndex());
}

void ReportDocumentTarget::fontSize(int points) {
    if (points < 1 || points > kMaxPoints)
        throw ReportError("FontSize: " + std::to_string(points) + " points is not a font size");
    if (typing_.points == points) return;
    typing_.points = points;
    typingIndex_ = -1;
}

void ReportDocumentTarget::font(const std::string& name) {
    if (name.empty()) throw ReportError("Font: the font name is empty");
    // The same face again (the writers repeat it) changes nothing.
    if (name == fontName_) return;
    auto face = std::find_if(faces_.begin(), faces_.end(), [&](const Face& f) { return f.name == name; });
    if (face == faces_.end()) {
        if (faces_.size() >= 8) faces_.erase(faces_.begin());
        faces_.push_back(Face{name, QString::fromUtf8(name), charsetForReportFont(name)});
        face = faces_.end() - 1;
    }
    typing_.charset = face->charset;
    typing_.family = face->family;
    fontName_ = name;
    typingIndex_ = -1;
}

void ReportDocumentTarget::formatFont(const FormatFontArgs& args) {
    if (args.points != kNoPoints) {
        bool ok = false;
        const int points = QString::fromUtf8(args.points).trimmed().toInt(&ok);
        if (!ok) throw ReportError("FormatFont: \"" + args.points + "\" is not a whole number of points");
        fontSize(points);
    }
    const int8_t position = int8_t(args.superscript.value_or(0) == 1 ? QTextCharFormat::AlignSuperScript
                                   : args.subscript.value_or(0) == 1 ? QTextCharFormat::AlignSubScript
                                                                     : QTextCharFormat::AlignNormal);
    if (typing_.position == position) return;
    typing_.position = position;
    typingIndex_ = -1;
}

ReportDocument::Picture ReportDocumentTarget::readPicture(const InsertPictureArgs& args) {
    const QString path = QString::fromUtf8(args.name);
    auto failure = [&](const QString& why) {
        return ReportError("InsertPicture: cannot read the picture \"" + args.name +
                           "\": " + why.toStdString());
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw failure(file.errorString());
    // The first bytes tell a metafile, whatever the file is called.
    const QByteArray head = file.peek(64);

    ReportDocument::Picture picture;
    if (looksLikeMetafile(head)) {
        if (file.size() > EmfPicture::kMaxFileSize)
            throw failure(
                QStringLiteral("the metafile is larger than %1 MB").arg(EmfPicture::kMaxFileSize >> 20));
        const QByteArray bytes = file.readAll();
        EmfPicture emf;
        QString why;
        if (!emf.load(bytes, &why)) throw failure(why);
        // Kept as it is: rich text takes the metafile itself, at its own frame (hundredths of a
        // millimetre), so word processors draw it at full quality; it is drawn only for the
        // formats that need an image.
        picture.kind = "emfblip";
        picture.data = bytes;
        picture.picw = int(std::lround(emf.sizeMm().width() * 100));
        picture.pich = int(std::lround(emf.sizeMm().height() * 100));
        picture.shown = metafileShownSize(emf);
        picture.metafile = true;
        return picture;
    }
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kReportPicturePixelBudget)
        throw failure(QStringLiteral("the picture is too large to show"));
    picture.image = reader.read();
    if (picture.image.isNull()) throw failure(reader.errorString());
    // One image pixel per screen pixel at 96 pixels per inch, as the picture was drawn.
    picture.shown = QSizeF(std::min(picture.image.width(), kMaxShownPixels),
                           std::min(picture.image.height(), kMaxShownPixels));
    return picture;
}

void ReportDocumentTarget::appendPicture(ReportDocument::Picture picture) {
    // The picture stands in a paragraph of its own.
    if (doc_.lastParagraphHasContent() || (doc_.paragraphs().size() == 1 && continuesText_)) paragraphBreak();
    ReportDocument::Paragraph& p = doc_.lastParagraph();
    const int before = p.alignment == 0 ? int(Qt::AlignLeft) : p.alignment;
    p.alignment = Qt::AlignHCenter;
    doc_.appendPicture(std::move(picture), typingIndex());
    alignmentAfterPicture_ = before;
}

void ReportDocumentTarget::insertPicture(const InsertPictureArgs& args) {
    appendPicture(readPicture(args));
}

void ReportDocumentTarget::editClear(int count) {
    if (count < 0) doc_.removeLast(count == INT_MIN ? INT_MAX : -count);
}

} // namespace qv
