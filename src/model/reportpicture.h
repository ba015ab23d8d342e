#pragma once
// The scheme pictures a report inserts: each solution writes the next "Test<N>.emf" into a
// "pictures" folder under the program's folder or, when that cannot be written, under the
// user's data folder.
#include <QString>

namespace qv {

class FizDisp;

/// Where a report picture went, or why there is none.
struct ReportPicture {
    QString path;  ///< the file written
    QString error; ///< empty on success
    explicit operator bool() const { return error.isEmpty(); }
};

/// The folder for report pictures: "pictures" under `homeDir` when it can be created and
/// written, else "pictures" under the user's data folder. Empty, with `error` set, when
/// neither can be made.
QString reportPictureFolder(const QString& homeDir, QString* error);

/// Writes `doc` (as `exportMetafileFile` does) into the next free "Test<N>.emf" of the
/// report picture folder under `doc.homeDir`: the workbench's picture counter grows by one
/// and an old file of that number is deleted; a number whose file cannot be deleted is
/// passed over. Sets `doc.exportFileName`.
ReportPicture writeReportPicture(FizDisp& doc);

} // namespace qv
