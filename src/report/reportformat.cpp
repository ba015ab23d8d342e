#include "report/reportformat.h"

#include <QTextCharFormat>
#include <QTextDocument>
#include <QUrl>

#include <atomic>

#include "platform/fonts.h"

namespace qv {

int charsetOf(const QTextCharFormat& format) {
    if (format.hasProperty(kCharsetFormatProperty)) return format.intProperty(kCharsetFormatProperty);
    return isSymbolFont(familyOf(format)) ? 2 : 1;
}

bool isSymbolFormat(const QTextCharFormat& format) {
    if (format.hasProperty(kCharsetFormatProperty)) return format.intProperty(kCharsetFormatProperty) == 2;
    return isSymbolFont(familyOf(format));
}

QString familyOf(const QTextCharFormat& format) {
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.first();
}

QString addImageResource(QTextDocument& document, const QImage& image) {
    // A scheme of our own: the document never tries to load such a name from a file.
    static std::atomic<quint64> counter{0};
    const QString name = QStringLiteral("qv-image:%1").arg(++counter);
    document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    return name;
}

QImage imageResource(const QTextDocument& document, const QString& name) {
    const QVariant v = document.resource(QTextDocument::ImageResource, QUrl(name));
    if (v.canConvert<QImage>()) {
        QImage image = v.value<QImage>();
        if (!image.isNull()) return image;
    }
    if (v.typeId() == QMetaType::QByteArray) return QImage::fromData(v.toByteArray());
    return {};
}

} // namespace qv
