#include "io/workshopfile.h"

#include <QFileInfo>

#include "model/document.h"
#include "platform/binarystream.h"
#include "platform/bytefile.h"

namespace qv {

IoStatus saveWorkshopFile(FizDisp& scheme, FizDisp& vector, const QByteArray& solution, const QString& path) {
    BinaryWriter w;
    scheme.saveToStream(w);
    vector.saveToStream(w);
    w.writeRaw(reinterpret_cast<const uint8_t*>(solution.constData()), size_t(solution.size()));
    QString why;
    if (!writeByteFile(w, path, &why))
        return {QStringLiteral("Cannot save %1: %2").arg(QFileInfo(path).fileName(), why)};
    return {};
}

IoStatus loadWorkshopFile(FizDisp& scheme, FizDisp& vector, QByteArray& solution, const QString& path) {
    QByteArray data;
    QString why;
    if (!readByteFile(path, data, &why))
        return {QStringLiteral("Cannot open %1: %2").arg(QFileInfo(path).fileName(), why)};
    return readWorkshop(scheme, vector, solution, data, QFileInfo(path).fileName());
}

IoStatus readWorkshop(FizDisp& scheme, FizDisp& vector, QByteArray& solution, const QByteArray& data,
                      const QString& name) {
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
                        .arg(name, QString::fromStdString(probe.error()))};
    }
    scheme.clear();
    vector.clear();
    BinaryReader r(bytes, size_t(data.size()));
    scheme.loadFromStream(r);
    if (!r.failed()) vector.loadFromStream(r);
    if (r.failed()) return {QStringLiteral("%1: %2").arg(name, QString::fromStdString(r.error()))};
    solution = data.mid(qsizetype(r.position()));
    return {};
}

} // namespace qv
