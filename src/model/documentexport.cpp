// Pictures of a document as enhanced metafiles: the file the report inserts and the picture
// the Save image commands store.
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "model/document.h"
#include "platform/emfformat.h"
#include "platform/emfwriter.h"

namespace qv {

namespace {

constexpr int kMargin = 15;

QString applicationName() {
    return QStringLiteral("Quorvel");
}

/// The drawing's bounds; an empty document gives an empty rectangle at the origin.
Rect boundsOf(FizDisp& doc) {
    Rect r;
    if (!doc.getBounds(r)) r = {};
    return r;
}

int32_t roundToInt(double v) {
    return int32_t(std::clamp(std::lround(v), long(INT32_MIN), long(INT32_MAX)));
}

} // namespace

bool FizDisp::exportMetafileFile(QString* error) {
    Rect rect = boundsOf(*this);
    rect = {rect.left - kMargin, rect.top - kMargin, rect.right + kMargin, rect.bottom + kMargin};
    // One logical unit is one device unit; the window origin moves the drawing by (5, 5), and
    // the frame moves with it so the margins stay equal.
    constexpr Point origin{5, 5};
    const double perPixel = 2540.0 / 96.0; // hundredths of a millimetre per reference pixel
    EmfCanvas emf;
    emf.setDescription(applicationName(), QFileInfo(exportFileName).completeBaseName());
    emf.setFrame({roundToInt((rect.left - origin.x) * perPixel), roundToInt((rect.top - origin.y) * perPixel),
                  roundToInt((rect.right - origin.x) * perPixel),
                  roundToInt((rect.bottom - origin.y) * perPixel)});
    emf.setMapMode(emf::MmAnisotropic);
    emf.setWindowOrg(origin);
    emf.setWindowExt(100, 100);
    emf.setViewportExt(100, 100);
    paintPicture(&emf);

    // A fresh file of its own number that the report reads back at once: written straight,
    // without the wait for the disk that a file replacing a user's document deserves.
    QFile file(exportFileName);
    const QByteArray bytes = emf.finish();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() ||
        !file.flush()) {
        if (error)
            *error =
                QStringLiteral("Cannot write the picture \"%1\": %2").arg(exportFileName, file.errorString());
        file.close();
        file.remove();
        return false;
    }
    file.close();
    return true;
}

QByteArray FizDisp::makeMetafile(int32_t a, int32_t b) {
    if (a <= 0) a = 3800;
    if (b <= 0) b = 3800;
    const Rect rect = boundsOf(*this);
    const double width = double(rect.right) - rect.left + 2 * kMargin;
    const double height = double(rect.bottom) - rect.top + 2 * kMargin;
    EmfCanvas emf;
    emf.setDescription(applicationName(), QString());
    // The frame holds the margins too, so nothing of the drawing is cut off.
    emf.setFrame({0, 0, roundToInt(width * 100000.0 / a), roundToInt(height * 100000.0 / b)});
    // Reference pixels per screen pixel, in hundredths, from the reference device's resolution.
    const double refPerMmX = double(EmfCanvas::kDeviceWidthPx) / EmfCanvas::kDeviceWidthMm;
    const double refPerMmY = double(EmfCanvas::kDeviceHeightPx) / EmfCanvas::kDeviceHeightMm;
    const long h = std::max(1L, std::lround(refPerMmX * (1e5 / a)));
    const long v = std::max(1L, std::lround(refPerMmY * (1e5 / b)));
    emf.setMapMode(emf::MmIsotropic);
    emf.setWindowOrg({rect.left - kMargin, rect.top - kMargin});
    emf.setWindowExt(roundToInt(1e5 / double(h)), roundToInt(1e5 / double(v)));
    emf.setViewportExt(1000, 1000);
    paintPicture(&emf);
    return emf.finish();
}

void NTBEFizDisp::paintPicture(Canvas* canvas) {
    NLayerFDisp::paint(canvas);
    if (overlay) overlay->paint(canvas);
}

} // namespace qv
