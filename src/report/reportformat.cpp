#include "report/reportformat.h"

#include <QPainter>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>

#include "platform/emfreader.h"
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

QSizeF metafileShownSize(const EmfPicture& picture) {
    const QSizeF mm = picture.sizeMm();
    auto pixels = [](double millimetres) {
        return std::clamp(millimetres * 96 / 25.4, 1.0, double(kMaxShownPixels));
    };
    return QSizeF(pixels(mm.width()), pixels(mm.height()));
}

MetafileView renderMetafile(const EmfPicture& picture, qint64 pixelBudget) {
    MetafileView view;
    view.shown = metafileShownSize(picture);
    const double area = view.shown.width() * view.shown.height();
    const double scale = std::min(1.0, std::sqrt(double(std::max<qint64>(pixelBudget, 1)) / area));
    const QSize size(std::max(1, int(std::lround(view.shown.width() * scale))),
                     std::max(1, int(std::lround(view.shown.height() * scale))));
    view.image = QImage(size, QImage::Format_RGB32);
    if (view.image.isNull()) return view;
    view.image.fill(Qt::white);
    QPainter painter(&view.image);
    picture.play(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return view;
}

bool looksLikeMetafile(const QByteArray& bytes) {
    // The header record is of type 1 and carries " EMF" at byte 40.
    return bytes.size() >= 44 && bytes.startsWith(QByteArray("\x01\0\0\0", 4)) && bytes.mid(40, 4) == " EMF";
}

namespace {

QString newImageName() {
    // A scheme of our own: the document never tries to load such a name from a file.
    static std::atomic<quint64> counter{0};
    return QStringLiteral("qv-image:%1").arg(++counter);
}

/// The pictures of a document that are drawn when first asked for, and what they drew. A
/// child of the document; its resource provider (copied into the document's clones, which
/// printing makes) asks it.
class DeferredImages : public QObject {
  public:
    explicit DeferredImages(QTextDocument* document) : QObject(document) {
        setObjectName(QStringLiteral("qv-deferred-images"));
        QPointer<DeferredImages> self(this);
        QTextDocument::ResourceProvider previous = document->resourceProvider();
        document->setResourceProvider([self, previous](const QUrl& url) -> QVariant {
            if (self) {
                const QVariant image = self->image(url.toString());
                if (image.isValid()) return image;
            }
            return previous ? previous(url) : QVariant();
        });
    }

    static DeferredImages& of(QTextDocument& document) {
        auto* found = document.findChild<DeferredImages*>(QStringLiteral("qv-deferred-images"),
                                                          Qt::FindDirectChildrenOnly);
        return found ? *found : *new DeferredImages(&document);
    }

    void add(const QString& name, std::function<QImage()> draw) { pictures_[name] = {std::move(draw), {}}; }

  private:
    struct Picture {
        std::function<QImage()> draw;
        QImage drawn;
    };

    QVariant image(const QString& name) {
        const auto it = pictures_.find(name);
        if (it == pictures_.end()) return {};
        Picture& p = it->second;
        if (p.drawn.isNull() && p.draw) {
            p.drawn = p.draw();
            p.draw = nullptr;
        }
        return p.drawn;
    }

    std::map<QString, Picture> pictures_;
};

} // namespace

QString addImageResource(QTextDocument& document, const QImage& image) {
    const QString name = newImageName();
    document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    return name;
}

QString addDeferredImageResource(QTextDocument& document, std::function<QImage()> draw) {
    const QString name = newImageName();
    DeferredImages::of(document).add(name, std::move(draw));
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
