// Where an installed program and one run from its build folder read and write their files.
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/programfolders.h"

using qv::programFolders;

TEST(ProgramFolders, OnlyAProgramInABinFolderCountsAsInstalled) {
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    ASSERT_TRUE(user.startsWith(data.path()));
    struct Case {
        const char* program;
        const char* data; ///< the installed tree's data folder; empty when not installed
    } cases[] = {
        {"/usr/bin", "/usr/share/quorvel"},
        {"/usr/bin/", "/usr/share/quorvel"},
        {"/usr/local/bin", "/usr/local/share/quorvel"},
        {"/home/ann/.local/bin", "/home/ann/.local/share/quorvel"},
        {"/opt/quorvel/bin/../bin", "/opt/quorvel/share/quorvel"},
        {"/home/ann/quorvel/build-release/src/gui", ""},
        {"/home/ann/binaries", ""},
        {"/usr/bin/quorvel-portable", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        const qv::ProgramFolders folders = programFolders(QString::fromLatin1(c.program));
        const QString program = QDir::cleanPath(QString::fromLatin1(c.program));
        if (*c.data) {
            EXPECT_TRUE(folders.installed);
            EXPECT_EQ(folders.data, QString::fromLatin1(c.data));
            EXPECT_EQ(folders.writable, user);
        } else {
            EXPECT_FALSE(folders.installed);
            EXPECT_EQ(folders.data, program);
            EXPECT_EQ(folders.writable, program);
        }
    }
    qunsetenv("XDG_DATA_HOME");
}
