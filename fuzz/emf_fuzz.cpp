// Enhanced metafiles: pictures in rich text and picture files of other programs. An accepted
// picture is played onto a small image and drawn at its own size within the picture budget.
#include <QImage>
#include <QPainter>

#include "harness.h"
#include "platform/emfreader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qv::fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qv::EmfPicture picture;
    QString error;
    if (!picture.load(qv::fuzz::bytesOf(data, size), &error)) {
        if (error.isEmpty()) qv::fuzz::broken("a refused metafile without a reason");
        return 0;
    }
    picture.sizeMm();
    picture.pixelSize();
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    picture.play(painter, QRectF(0, 0, 64, 64));
    return 0;
}
