#pragma once
// Running one of the project's programs as a user does, for the command-line tests.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace qv::test {

struct ProgramRun {
    int status = -1;  ///< the exit code; -1 when the program crashed or did not end in time
    QString out, err; ///< what it wrote, as UTF-8
};

/// Runs `program` with `args` in `env` (the tests' own environment by default) and waits up
/// to a minute for it.
inline ProgramRun runProgram(const QString& program, const QStringList& args,
                             const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace qv::test
