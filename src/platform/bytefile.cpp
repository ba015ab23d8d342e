#include "platform/bytefile.h"

#include <QFile>
#include <QSaveFile>

#include "platform/binarystream.h"

namespace qv {

bool readByteFile(const QString& path, QByteArray& data, QString* why) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (why) *why = file.errorString();
        return false;
    }
    data = file.readAll();
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
