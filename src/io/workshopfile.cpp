#include "io/workshopfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "model/fizdisp.h"
#include "platform/binarystream.h"

namespace qv {

IoStatus saveWorkshopFile(FizDisp& scheme, FizDisp& vector, const QByteArray& solution, const QString& path) {
    BinaryWriter w;
    scheme.saveToStream(w);
    vector.saveToStream(w);
    w.writeRaw(reinterpret_cast<const uint8_t*>(solution.constData()), size_t(solution.size()));
    QSaveFile file(path);
    bool ok =
        file.open(QIODevice::WriteOnly) &&
        file.write(reinterpret_cast<const char*>(w.bytes().data()), qint64(w.size())) == qint64(w.size()) &&
        file.commit();
    if (!ok)
        return {QStringLiteral("Cannot save %1: %2").arg(QFileInfo(path).fileName(), file.errorString())};
    return {};
}

IoStatus loadWorkshopFile(FizDisp& scheme, FizDisp& vector, QByteArray& solution, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("Cannot open %1: %2").arg(QFileInfo(path).fileName(), file.errorString())};
    QByteArray data = file.readAll();
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
    {
        // Both documents read into fresh ones first: a damaged file changes nothing.
        std::unique_ptr<FizDisp> freshScheme = scheme.createEmpty();
        scheme.copySettingsTo(*freshScheme);
        std::unique_ptr<FizDisp> freshVector = vector.createEmpty();
        vector.copySettingsTo(*freshVector);
        BinaryReader probe(bytes, size_t(data.size()));
        if (!readDocument(*freshScheme, probe) || !readDocument(*freshVector, probe))
            return {QStringLiteral("%1 is damaged or not a workshop file: %2")
                        .arg(QFileInfo(path).fileName(), QString::fromStdString(probe.error()))};
    }
    scheme.clear();
    vector.clear();
    BinaryReader r(bytes, size_t(data.size()));
    scheme.loadFromStream(r);
    if (!r.failed()) vector.loadFromStream(r);
    if (r.failed())
        return {QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), QString::fromStdString(r.error()))};
    solution = data.mid(qsizetype(r.position()));
    return {};
}

} // namespace qv
