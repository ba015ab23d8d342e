#pragma once
// Pictures of a drawing in files: an enhanced metafile, or SVG, PDF or PNG, chosen by the
// file name's extension.
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

class QImage;
class QIODevice;
class QMimeData;
class QPainter;

namespace qv {

class FizDisp;

enum class PictureFormat { Emf, Svg, Pdf, Png };

/// The format a file name's extension asks for (without regard to case), or none.
std::optional<PictureFormat> pictureFormatFor(const QString& path);

/// "Cannot write the picture "NAME": why", the message of every picture writer.
QString pictureWriteError(const QString& path, const QString& why);

/// An SVG picture of `size` pixels at 96 per inch into `out`, drawn by `paint`; false when the
/// writer does not start.
bool writeSvgPicture(QIODevice& out, QSize size, const QString& title,
                     const std::function<void(QPainter&)>& paint);

/// Writes `doc`'s whole drawing to `path`: a metafile made by `makeMetafile(a, b)`, or the same
/// picture (the drawing with a margin of 15 units, one unit one pixel at 96 pixels per inch)
/// as SVG, PDF or PNG. False, with `error` set, for an unknown extension or a file that
/// cannot be written.
bool writeDocumentPicture(FizDisp& doc, const QString& path, int32_t a, int32_t b, QString* error);

/// The same picture as an image (white background, one unit one pixel); a null image when it
/// would be larger than 20000 pixels on a side.
QImage documentImage(FizDisp& doc);

/// The picture for the clipboard (the vector page's "Copy"): the metafile of
/// `makeMetafile(a, b)` as "image/x-emf" and the image for programs that take no metafiles.
/// The caller owns the result (the clipboard takes it).
QMimeData* documentPictureMimeData(FizDisp& doc, int32_t a, int32_t b);

} // namespace qv
