// Test main of the window tests: an offscreen QApplication, then GoogleTest.
#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "io/classes.h"
#include "support/testfiles.h"

namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform reports every window call it ignores; that noise hides real output.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    defaultHandler(type, context, message);
}

} // namespace

namespace qv::test {
int runRecoveryChild(const QString& folder); // recovery_test.cpp
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    defaultHandler = qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    // Recent files and window geometry go to a settings file of the tests' own.
    QStandardPaths::setTestModeEnabled(true);
    qv::registerSchemeClasses();
    qv::test::loadTestEnvironment();
    // The window process that the recovery test starts and kills.
    if (qEnvironmentVariableIsSet("QUORVEL_RECOVERY_CHILD"))
        return qv::test::runRecoveryChild(qEnvironmentVariable("QUORVEL_RECOVERY_CHILD"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
