#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>

#include "app/pictures.h"
#include "app/potentialcommand.h"
#include "platform/canvas.h"

namespace qv {

bool writePotentialPicture(const PotentialDiagram& diagram, const QString& path, QSize size, QString* error) {
    auto failed = [&](const QString& why) {
        if (error) *error = pictureWriteError(path, why);
        return false;
    };
    const int w = std::max(size.width(), 1), h = std::max(size.height(), 1);
    const QString ext = QFileInfo(path).suffix().toLower();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return failed(file.errorString());
    if (ext == QLatin1String("svg")) {
        const bool drawn =
            writeSvgPicture(file, QSize(w, h), QStringLiteral("Voltage diagramm"), [&](QPainter& painter) {
                painter.fillRect(QRect(0, 0, w, h), Qt::white);
                Canvas canvas(&painter);
                diagram.paint(canvas, w, h);
            });
        if (!drawn) return failed(QStringLiteral("the SVG writer did not start"));
    } else {
        // Any name but .png gets the bitmap the window has always saved.
        const bool png = ext == QLatin1String("png");
        if (!diagram.image(w, h).save(&file, png ? "PNG" : "BMP"))
            return failed(png ? QStringLiteral("PNG encoding failed")
                              : QStringLiteral("BMP encoding failed"));
    }
    if (!file.commit()) return failed(file.errorString());
    return true;
}

} // namespace qv
