#pragma once
// Whole files of records: read at once, and written through a temporary file beside the target
// (QSaveFile) so that a failed save leaves the file that was there.
#include <QByteArray>
#include <QString>

namespace qv {

class BinaryWriter;

/// The whole file at `path`; false with the system's reason in `why`.
bool readByteFile(const QString& path, QByteArray& data, QString* why);
/// The bytes written so far into `path`; false with the system's reason in `why`.
bool writeByteFile(const BinaryWriter& w, const QString& path, QString* why);

} // namespace qv
