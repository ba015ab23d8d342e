#pragma once
#include <QString>

namespace qv {

/// Where the workbench reads its own data and writes its own files, for a program that runs
/// from `programFolder`.
///
/// A program in a folder named "bin" (`/usr/bin`, `/usr/local/bin`, `~/.local/bin`) is an
/// installed one: such a folder is shared by many programs and, under /usr, belongs to the
/// package manager even when the user is root. It reads its data from `<prefix>/share/quorvel`
/// and writes into the user's data folder. A program anywhere else (its build folder, a copy
/// of its own) keeps both beside itself.
struct ProgramFolders {
    bool installed = false;
    /// Read-only data installed with the program; compiled translations go into its
    /// "translations" folder.
    QString data;
    /// The folder for the workbench's own files: the catalogues and the report's "pictures".
    QString writable;
};

ProgramFolders programFolders(const QString& programFolder);

} // namespace qv
