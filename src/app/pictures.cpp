#include "app/pictures.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cmath>

#include "app/workbench.h"
#include "model/document.h"
#include "platform/canvas.h"

namespace qv {

namespace {

constexpr int kMargin = 15;
constexpr int kDpi = 96;
/// Pictures larger than this many pixels on a side are refused as PNG (memory).
constexpr int64_t kMaxPngSide = 20000;

/// The drawing with its margins, in logical units.
Rect pictureRect(FizDisp& doc) {
    Rect r;
    if (!doc.getBounds(r)) r = {};
    return {r.left - kMargin, r.top - kMargin, r.right + kMargin, r.bottom + kMargin};
}

void paintInto(FizDisp& doc, QPainter& painter, const Rect& r) {
    painter.translate(-double(r.left), -double(r.top));
    Canvas canvas(&painter);
    doc.paintPicture(&canvas);
}

} // namespace

QString pictureWriteError(const QString& path, const QString& why) {
    return QCoreApplication::translate("qv::Message", "Cannot write the picture \"%1\": %2")
        .arg(QFileInfo(path).fileName(), why);
}

bool writeSvgPicture(QIODevice& out, QSize size, const QString& title,
                     const std::function<void(QPainter&)>& paint) {
    QSvgGenerator svg;
    svg.setOutputDevice(&out);
    svg.setResolution(kDpi);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    svg.setDescription(QStringLiteral("Quorvel"));
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    paint(painter);
    painter.end();
    return true;
}

QImage documentImage(FizDisp& doc) {
    const Rect r = pictureRect(doc);
    const int64_t w = std::max<int64_t>(1, int64_t(r.right) - r.left);
    const int64_t h = std::max<int64_t>(1, int64_t(r.bottom) - r.top);
    if (w > kMaxPngSide || h > kMaxPngSide) return QImage();
    QImage image(int(w), int(h), QImage::Format_RGB32);
    image.setDotsPerMeterX(int(kDpi / 0.0254 + 0.5));
    image.setDotsPerMeterY(int(kDpi / 0.0254 + 0.5));
    image.fill(Qt::white);
    QPainter painter(&image);
    paintInto(doc, painter, r);
    return image;
}

QMimeData* documentPictureMimeData(FizDisp& doc, int32_t a, int32_t b) {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/x-emf"), doc.makeMetafile(a, b));
    if (QImage image = documentImage(doc); !image.isNull()) data->setImageData(image);
    return data;
}

std::optional<PictureFormat> pictureFormatFor(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("emf")) return PictureFormat::Emf;
    if (ext == QLatin1String("svg")) return PictureFormat::Svg;
    if (ext == QLatin1String("pdf")) return PictureFormat::Pdf;
    if (ext == QLatin1String("png")) return PictureFormat::Png;
    return std::nullopt;
}

bool writeDocumentPicture(FizDisp& doc, const QString& path, int32_t a, int32_t b, QString* error) {
    auto failed = [&](const QString& message) {
        if (error) *error = message;
        return false;
    };
    const auto format = pictureFormatFor(path);
    if (!format)
        return failed(QCoreApplication::translate(
                          "qv::Message",
                          "Cannot save a picture as \"%1\": the name must end in .emf, .svg, .pdf or .png.")
                          .arg(QFileInfo(path).fileName()));
    const Rect r = pictureRect(doc);
    const int64_t w = std::max<int64_t>(1, int64_t(r.right) - r.left);
    const int64_t h = std::max<int64_t>(1, int64_t(r.bottom) - r.top);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return failed(pictureWriteError(path, file.errorString()));
    switch (*format) {
    case PictureFormat::Emf: {
        const QByteArray bytes = doc.makeMetafile(a, b);
        if (file.write(bytes) != bytes.size()) return failed(pictureWriteError(path, file.errorString()));
        break;
    }
    case PictureFormat::Svg: {
        const QSize size(int(std::min<int64_t>(w, INT32_MAX)), int(std::min<int64_t>(h, INT32_MAX)));
        if (!writeSvgPicture(file, size, QFileInfo(path).completeBaseName(),
                             [&](QPainter& painter) { paintInto(doc, painter, r); }))
            return failed(pictureWriteError(path, QStringLiteral("the SVG writer did not start")));
        break;
    }
    case PictureFormat::Pdf: {
        QPdfWriter pdf(&file);
        pdf.setResolution(kDpi);
        pdf.setCreator(QStringLiteral("Quorvel"));
        pdf.setTitle(QFileInfo(path).completeBaseName());
        const QPageSize page(QSizeF(w * 25.4 / kDpi, h * 25.4 / kDpi), QPageSize::Millimeter, QString(),
                             QPageSize::ExactMatch);
        pdf.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&pdf))
            return failed(pictureWriteError(path, QStringLiteral("the PDF writer did not start")));
        paintInto(doc, painter, r);
        painter.end();
        break;
    }
    case PictureFormat::Png: {
        const QImage image = documentImage(doc);
        if (image.isNull())
            return failed(pictureWriteError(
                path,
                QStringLiteral("the drawing is too large for a PNG picture (%1 x %2 pixels)").arg(w).arg(h)));
        if (!image.save(&file, "PNG"))
            return failed(
                pictureWriteError(path, QCoreApplication::translate("qv::Message", "PNG encoding failed")));
        break;
    }
    }
    if (!file.commit()) return failed(pictureWriteError(path, file.errorString()));
    return true;
}

} // namespace qv

// ---- the workbench's picture commands ----

namespace qv {

bool Workbench::exportSchemePicture(const QString& path, QString* error, double dpiX, double dpiY) {
    // Pixels per centimetre, each rounded before it is taken times 100.
    auto perCm = [](double dpi) { return int32_t(100 * std::lround((dpi > 0 ? dpi : 96) / 2.54)); };
    return writeDocumentPicture(*scheme_, path, perCm(dpiX), perCm(dpiY), error);
}

QMimeData* Workbench::vectorPictureMimeData() {
    return documentPictureMimeData(*vectorDoc_, 10000, 10000);
}

bool Workbench::exportVectorPicture(const QString& path, QString* error) {
    return writeDocumentPicture(*vectorDoc_, path, 10000, 10000, error);
}

} // namespace qv
