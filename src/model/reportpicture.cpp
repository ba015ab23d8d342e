#include "model/reportpicture.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "model/context.h"
#include "model/document.h"

namespace qv {

namespace {

/// Whether `folder` exists (or can be made) and a file can be created in it. Asking the file
/// system is the only sure test: permissions alone do not tell (read-only mounts, ACLs).
bool usableFolder(const QString& folder) {
    if (folder.isEmpty() || !QDir().mkpath(folder)) return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("probe-XXXXXX")));
    return probe.open();
}

/// Numbers tried before giving up on a folder whose files cannot be deleted.
constexpr int kMaxTries = 10000;

/// "pictures" under the program's folder; empty without one.
QString programPictureFolder(const QString& homeDir) {
    return homeDir.isEmpty() ? QString()
                             : QDir::cleanPath(QDir(homeDir).filePath(QStringLiteral("pictures")));
}

} // namespace

QString reportPictureFolder(const QString& homeDir, QString* error) {
    const QString home = programPictureFolder(homeDir);
    if (usableFolder(home)) return home;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString user = data.isEmpty() ? QString() : QDir(data).filePath(QStringLiteral("pictures"));
    if (usableFolder(user)) return QDir::cleanPath(user);
    if (error) {
        *error = QStringLiteral("Cannot create a folder for the report pictures");
        if (!home.isEmpty()) *error += QStringLiteral(" (tried \"%1\"").arg(QDir::toNativeSeparators(home));
        if (!user.isEmpty())
            *error += (home.isEmpty() ? QStringLiteral(" (tried \"%1\"") : QStringLiteral(" and \"%1\""))
                          .arg(QDir::toNativeSeparators(user));
        if (!home.isEmpty() || !user.isEmpty()) *error += ')';
        *error += '.';
    }
    return QString();
}

namespace {

/// Writes the next free picture number in `folder`, trying up to `tries` numbers.
ReportPicture writeNumbered(FizDisp& doc, const QString& folder, int tries) {
    ReportPicture result;
    int& counter = doc.context()->pictureCounter;
    QString path;
    for (int tried = 0;; ++tried) {
        if (tried == tries) {
            result.error =
                QStringLiteral("No free picture number in \"%1\".").arg(QDir::toNativeSeparators(folder));
            return result;
        }
        ++counter;
        path = QDir(folder).filePath(QStringLiteral("Test%1.emf").arg(counter));
        QFile::remove(path);
        if (!QFile::exists(path)) break;
    }
    doc.exportFileName = path;
    if (!doc.exportMetafileFile(&result.error)) return result;
    result.path = path;
    return result;
}

} // namespace

ReportPicture writeReportPicture(FizDisp& doc) {
    Context& context = *doc.context();
    // The program's own folder, once it took a picture, takes the next without a probe file:
    // creating and deleting one per picture costs more than drawing the picture on some file
    // systems. Anything amiss there (the folder gone, the number's file in the way) and the
    // folder is chosen afresh, from the same number, as the first time.
    const QString home = programPictureFolder(doc.homeDir);
    if (!home.isEmpty() && context.pictureHome == doc.homeDir) {
        const int counter = context.pictureCounter;
        ReportPicture again = writeNumbered(doc, home, 1);
        if (again) return again;
        context.pictureCounter = counter;
        context.pictureHome.clear();
    }
    ReportPicture result;
    const QString folder = reportPictureFolder(doc.homeDir, &result.error);
    if (folder.isEmpty()) return result;
    result = writeNumbered(doc, folder, kMaxTries);
    // The user's data folder is only a stand-in: the program's folder is tried again each time.
    if (result && folder == home) context.pictureHome = doc.homeDir;
    return result;
}

} // namespace qv
