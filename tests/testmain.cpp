// Test main shared by every test executable: an offscreen QGuiApplication, then GoogleTest.
#include <QGuiApplication>
#include <gtest/gtest.h>

#include "io/classes.h"
#include "platform/fonts.h"
#include "support/testfiles.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    qv::installFontSubstitutions();
    qv::registerSchemeClasses();
    qv::test::loadTestEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
