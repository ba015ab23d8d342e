#pragma once
// What the report keeps in a QTextDocument beyond Qt's own character format: the character
// set of a run (the rich-text format needs it; Qt fonts do not carry it) and pictures the
// document cannot show but keeps for saving (metafiles read from rich-text files).
#include <QImage>
#include <QTextFormat>

#include <functional>

class QTextCharFormat;
class QTextDocument;

namespace qv {

class EmfPicture;

/// Char-format property with the character set of a run (204 Cyrillic, 2 Symbol). The same
/// property the Solution page's font box sets.
constexpr int kCharsetFormatProperty = QTextFormat::UserProperty;
/// Image-format properties of a picture kept as it was read: its rich-text picture kind
/// ("emfblip", "wmetafile8", ...), its data bytes and its \picw/\pich.
constexpr int kPictureKindProperty = QTextFormat::UserProperty + 1;
constexpr int kPictureDataProperty = QTextFormat::UserProperty + 2;
constexpr int kPictureWidthProperty = QTextFormat::UserProperty + 3;
constexpr int kPictureHeightProperty = QTextFormat::UserProperty + 4;

/// The run's character set: the property when set, otherwise Symbol for the symbol font and
/// the default set for any other face.
int charsetOf(const QTextCharFormat& format);
/// Whether the run is written in the Greek symbol font.
bool isSymbolFormat(const QTextCharFormat& format);
/// The first face name of the format, empty when none is set.
QString familyOf(const QTextCharFormat& format);

/// A metafile as a document shows it: `shown` is its frame at 96 pixels per inch (at most
/// kMaxShownPixels a side), the size the page, the rich text and the other formats give it;
/// `image` is drawn at that size, one pixel per pixel as the page shows it (a picture drawn
/// larger loses its thin lines when the page scales it down), or smaller when `pixelBudget`
/// pixels do not hold it.
struct MetafileView {
    QImage image;
    QSizeF shown;
};
constexpr int kMaxShownPixels = 10000;
/// Pixels a report picture may take in memory.
constexpr qint64 kReportPicturePixelBudget = 16'000'000;
MetafileView renderMetafile(const EmfPicture& picture, qint64 pixelBudget);
/// The size renderMetafile shows the picture at, without drawing it.
QSizeF metafileShownSize(const EmfPicture& picture);
/// Whether the bytes start as an enhanced metafile (header record and signature).
bool looksLikeMetafile(const QByteArray& bytes);

/// Adds `image` to the document's resources under a new name and returns the name.
QString addImageResource(QTextDocument& document, const QImage& image);
/// Adds a picture that the document draws only when something first asks for its image (a
/// view painting it, a writer that embeds it): `draw` makes it then, once. Returns its name.
QString addDeferredImageResource(QTextDocument& document, std::function<QImage()> draw);
/// The image a picture of the document shows, null when there is none.
QImage imageResource(const QTextDocument& document, const QString& name);

} // namespace qv
