#include "platform/programfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// The install layout, from the build's install folders (GNUInstallDirs).
#ifndef QUORVEL_INSTALL_BINDIR_NAME
#define QUORVEL_INSTALL_BINDIR_NAME "bin"
#endif
#ifndef QUORVEL_INSTALL_DATA_FROM_BIN
#define QUORVEL_INSTALL_DATA_FROM_BIN "../share/quorvel"
#endif

namespace qv {

ProgramFolders programFolders(const QString& programFolder) {
    ProgramFolders folders;
    const QString program = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    folders.installed = QFileInfo(program).fileName() == QLatin1String(QUORVEL_INSTALL_BINDIR_NAME);
    if (!folders.installed) {
        folders.data = folders.writable = program;
        return folders;
    }
    folders.data = QDir::cleanPath(QDir(program).filePath(QStringLiteral(QUORVEL_INSTALL_DATA_FROM_BIN)));
    folders.writable = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return folders;
}

} // namespace qv
