#pragma once
// Whole files of records: read at once, and written through a temporary file beside the target
// (QSaveFile) so that a failed save leaves the file that was there.
#include <QByteArray>
#include <QString>

namespace qv {

class BinaryWriter;

/// No file of records comes near this size: a scheme holds at most 10001 objects.
constexpr qint64 kMaxByteFileSize = qint64(256) << 20;

/// The whole file at `path`; false with the system's reason in `why`, or when it holds more
/// than `limit` bytes (a device or a pipe that never ends is read no further than that).
bool readByteFile(const QString& path, QByteArray& data, QString* why, qint64 limit = kMaxByteFileSize);
/// The bytes written so far into `path`; false with the system's reason in `why`.
bool writeByteFile(const BinaryWriter& w, const QString& path, QString* why);

} // namespace qv
