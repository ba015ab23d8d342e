#include "platform/bytefile.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>

#include "platform/binarystream.h"

namespace qv {

bool readByteFile(const QString& path, QByteArray& data, QString* why, qint64 limit) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (why) *why = file.errorString();
        return false;
    }
    // A hostile or mistaken file (a huge one, /dev/zero, a pipe) must not take the memory.
    auto tooLarge = [&] {
        if (why) *why = QStringLiteral("the file is larger than %1 MB").arg(limit >> 20);
        return false;
    };
    if (!file.isSequential() && file.size() > limit) return tooLarge();
    // In pieces: what a device yields is only known by reading it.
    QByteArray bytes;
    if (!file.isSequential()) bytes.reserve(qsizetype(file.size()));
    constexpr qint64 kPiece = qint64(1) << 20;
    for (;;) {
        const QByteArray piece = file.read(std::min(kPiece, limit + 1 - bytes.size()));
        if (file.error() != QFileDevice::NoError) {
            if (why) *why = file.errorString();
            return false;
        }
        if (piece.isEmpty()) break;
        bytes += piece;
        if (bytes.size() > limit) return tooLarge();
    }
    data = std::move(bytes);
    return true;
}

bool writeByteFile(const BinaryWriter& w, const QString& path, QString* why) {
    QSaveFile file(path);
    const auto size = qint64(w.size());
    if (file.open(QIODevice::WriteOnly) &&
        file.write(reinterpret_cast<const char*>(w.bytes().data()), size) == size && file.commit())
        return true;
    if (why) *why = file.errorString();
    return false;
}

} // namespace qv
