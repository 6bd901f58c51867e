// Entry point of every test program: an application object and a private settings folder, so
// tests never touch the user's settings (nor the user's choice of a database server). Window tests
// (KQ_TEST_WIDGETS) get a widget application on the offscreen platform and fresh fake dialogs before each
// test.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef KQ_TEST_WIDGETS
#include "support/gui/guifakes.h"

#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("HOME", config.path().toUtf8());
    // The tests choose their engine themselves.
    qunsetenv("KAOQIN_DATABASE");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
#ifdef KQ_TEST_WIDGETS
    kq::test::InstallGuiFakesForEachTest();
#endif
    return RUN_ALL_TESTS();
}
