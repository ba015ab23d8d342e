#pragma once
// Where the tests find their data and the programs they run. CTest passes the folders in the
// environment, so no build path is compiled into a test (a clean clone elsewhere reuses the
// compiler cache).
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include "support/process.h"

namespace qv::test {

/// Takes the variables of the "testenv" file that the build writes beside the test folders
/// (KEY=VALUE lines) into the environment, each unless it is set already. Called by the mains.
inline void loadTestEnvironment() {
    QFile f(QCoreApplication::applicationDirPath() + QStringLiteral("/../testenv"));
    if (!f.open(QIODevice::ReadOnly)) return;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && qgetenv(line.left(eq).constData()).isEmpty())
            qputenv(line.left(eq).constData(), line.mid(eq + 1));
    }
}

/// An environment variable the test run must set; a clear failure when it is missing.
inline QString requiredEnvironment(const char* name) {
    const QString value = qEnvironmentVariable(name);
    if (value.isEmpty()) ADD_FAILURE() << name << " is not set: run the tests through ctest";
    return value;
}

/// A file under tests/data, such as "pictures/ac_rlc_by_office.emf".
inline QString dataPath(const QString& relative) {
    return requiredEnvironment("QUORVEL_TEST_DATA") + QLatin1Char('/') + relative;
}

/// A scheme file of the independent writer (tests/data/interop).
inline QString fixture(const char* name) {
    return dataPath(QStringLiteral("interop/") + QLatin1String(name));
}

/// The whole file, or nothing when it cannot be read.
inline QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QString textOf(const QString& path) {
    return QString::fromUtf8(bytesOf(path));
}

/// quorvel-cli run as a user runs it.
inline ProgramRun cli(const QStringList& args) {
    return runProgram(requiredEnvironment("QUORVEL_CLI"), args);
}

} // namespace qv::test
