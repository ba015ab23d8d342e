#include "report/documenttarget.h"

#include <QFile>
#include <QImageReader>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>

#include <cmath>

#include "platform/emfreader.h"
#include "platform/fonts.h"
#include "report/reportformat.h"

namespace qv {

namespace {

// The largest size a rich-text run can carry.
constexpr int kMaxPoints = 1638;
// Pixels one picture may take in memory.
constexpr qint64 kPicturePixelBudget = 16'000'000;

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

DocumentReportTarget::DocumentReportTarget(QTextCursor& caret) : caret_(caret) {
    // A selection is replaced in the attributes of its first character, as typing does.
    if (caret_.hasSelection()) {
        QTextCursor first(caret_);
        first.setPosition(caret_.selectionStart());
        first.movePosition(QTextCursor::NextCharacter);
        typing_ = first.charFormat();
    } else {
        typing_ = caret_.charFormat();
    }
    // After a picture the caret's format is the picture's: text takes only its font.
    if (typing_.isImageFormat()) {
        for (int property :
             {int(QTextFormat::ObjectType), int(QTextFormat::ImageName), int(QTextFormat::ImageWidth),
              int(QTextFormat::ImageHeight), int(QTextFormat::ImageQuality), kPictureKindProperty,
              kPictureDataProperty, kPictureWidthProperty, kPictureHeightProperty})
            typing_.clearProperty(property);
    }
}

DocumentReportTarget::~DocumentReportTarget() {
    while (updates_ > 0)
        endUpdate();
}

void DocumentReportTarget::beginUpdate() {
    if (updates_++ == 0) caret_.beginEditBlock();
}

void DocumentReportTarget::endUpdate() {
    if (updates_ == 0) return;
    if (--updates_ == 0) caret_.endEditBlock();
}

void DocumentReportTarget::mergeAttributes(const QTextCharFormat& change) {
    if (caret_.hasSelection()) caret_.mergeCharFormat(change);
    typing_.merge(change);
}

void DocumentReportTarget::insertParagraphBreak() {
    QTextBlockFormat block = caret_.blockFormat();
    if (alignmentAfterPicture_) {
        block.setAlignment(*alignmentAfterPicture_);
        alignmentAfterPicture_.reset();
    }
    // The new paragraph's own format gives an empty line the height of the text around it.
    caret_.insertBlock(block, typing_);
}

void DocumentReportTarget::insert(const std::string& text) {
    // The attributes in force are those of typing_: inserting does not change them, so the
    // font name and character set stay for the text that follows whatever the text holds.
    QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    if (isSymbolFormat(typing_)) s = symbolToGreek(s);
    if (caret_.hasSelection()) caret_.removeSelectedText();

    qsizetype start = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        if (i > start) caret_.insertText(s.mid(start, i - start), typing_);
        insertParagraphBreak();
        if (c == QLatin1Char('\r') && i + 1 < s.size() && s.at(i + 1) == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    if (start == 0)
        caret_.insertText(s, typing_);
    else if (start < s.size())
        caret_.insertText(s.mid(start), typing_);
}

void DocumentReportTarget::fontSize(int points) {
    if (points < 1 || points > kMaxPoints)
        throw ReportError("FontSize: " + std::to_string(points) + " points is not a font size");
    QTextCharFormat f;
    f.setFontPointSize(points);
    mergeAttributes(f);
}

void DocumentReportTarget::font(const std::string& name) {
    if (name.empty()) throw ReportError("Font: the font name is empty");
    QTextCharFormat f;
    f.setProperty(kCharsetFormatProperty, charsetForReportFont(name));
    f.setFontFamilies(QStringList{QString::fromUtf8(name)});
    mergeAttributes(f);
}

void DocumentReportTarget::formatFont(const FormatFontArgs& args) {
    if (args.points != kNoPoints) {
        bool ok = false;
        const int points = QString::fromUtf8(args.points).trimmed().toInt(&ok);
        if (!ok) throw ReportError("FormatFont: \"" + args.points + "\" is not a whole number of points");
        fontSize(points);
    }
    QTextCharFormat f;
    f.setVerticalAlignment(args.superscript.value_or(0) == 1 ? QTextCharFormat::AlignSuperScript
                           : args.subscript.value_or(0) == 1 ? QTextCharFormat::AlignSubScript
                                                             : QTextCharFormat::AlignNormal);
    if (!caret_.hasSelection()) {
        const QTextDocument* doc = caret_.document();
        const int pos = caret_.position();
        if (pos > caret_.block().position() && isWordChar(doc->characterAt(pos - 1)) &&
            isWordChar(doc->characterAt(pos))) {
            QTextCursor word(caret_);
            word.select(QTextCursor::WordUnderCursor);
            word.mergeCharFormat(f);
        }
    }
    mergeAttributes(f);
}

void DocumentReportTarget::insertPicture(const InsertPictureArgs& args) {
    const QString path = QString::fromUtf8(args.name);
    auto failure = [&](const QString& why) {
        return ReportError("InsertPicture: cannot read the picture \"" + args.name +
                           "\": " + why.toStdString());
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw failure(file.errorString());
    // The first bytes tell a metafile, whatever the file is called.
    const QByteArray head = file.peek(64);

    QTextImageFormat picture;
    QImage image;
    QSizeF shown;
    if (looksLikeMetafile(head)) {
        if (file.size() > EmfPicture::kMaxFileSize)
            throw failure(
                QStringLiteral("the metafile is larger than %1 MB").arg(EmfPicture::kMaxFileSize >> 20));
        const QByteArray bytes = file.readAll();
        EmfPicture emf;
        QString why;
        if (!emf.load(bytes, &why)) throw failure(why);
        MetafileView view = renderMetafile(emf, kPicturePixelBudget);
        if (view.image.isNull()) throw failure(QStringLiteral("the picture is too large to show"));
        image = std::move(view.image);
        shown = view.shown;
        // Saved as rich text the metafile goes as it is, at its own frame (hundredths of a
        // millimetre), so word processors draw it at full quality.
        picture.setProperty(kPictureKindProperty, QByteArray("emfblip"));
        picture.setProperty(kPictureDataProperty, bytes);
        picture.setProperty(kPictureWidthProperty, int(std::lround(emf.sizeMm().width() * 100)));
        picture.setProperty(kPictureHeightProperty, int(std::lround(emf.sizeMm().height() * 100)));
    } else {
        QImageReader reader(&file);
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        if (size.isValid() && qint64(size.width()) * size.height() > kPicturePixelBudget)
            throw failure(QStringLiteral("the picture is too large to show"));
        image = reader.read();
        if (image.isNull()) throw failure(reader.errorString());
        // One image pixel per screen pixel at 96 pixels per inch, as the picture was drawn.
        shown = QSizeF(std::min(image.width(), kMaxShownPixels), std::min(image.height(), kMaxShownPixels));
    }

    if (caret_.hasSelection()) caret_.removeSelectedText();
    // The picture stands in a paragraph of its own.
    if (caret_.position() > caret_.block().position()) insertParagraphBreak();
    QTextBlockFormat block = caret_.blockFormat();
    const Qt::Alignment before = block.alignment();
    block.setAlignment(Qt::AlignHCenter);
    caret_.setBlockFormat(block);

    picture.setName(addImageResource(*caret_.document(), image));
    picture.setWidth(shown.width());
    picture.setHeight(shown.height());
    caret_.insertImage(picture);
    // insertImage leaves the picture's format as the one for typing; keep ours.
    alignmentAfterPicture_ = before;
}

void DocumentReportTarget::editClear(int count) {
    const QTextDocument* doc = caret_.document();
    const int last = doc->characterCount() - 1;
    int from = caret_.selectionEnd();
    int to = from;
    // Characters, not code units: a letter outside the Basic Multilingual Plane goes whole.
    for (int n = count; n < 0 && to > 0; ++n) {
        --to;
        if (to > 0 && doc->characterAt(to).isLowSurrogate() && doc->characterAt(to - 1).isHighSurrogate())
            --to;
    }
    for (int n = count; n > 0 && to < last; --n) {
        ++to;
        if (to < last && doc->characterAt(to - 1).isHighSurrogate() && doc->characterAt(to).isLowSurrogate())
            ++to;
    }
    caret_.setPosition(from);
    caret_.setPosition(to, QTextCursor::KeepAnchor);
    caret_.removeSelectedText();
}

} // namespace qv
