// The main of every test executable: a Qt application object on the offscreen
// platform, with the standard paths and the home folder pointed at a
// temporary folder, so no test ever touches the user's own files.
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifdef QRV_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <cstring>

int main(int argc, char** argv) {
    testing::InitGoogleMock(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strstr(argv[i], "gtest_list_tests"))
            return RUN_ALL_TESTS(); // test discovery needs no application or display

    QTemporaryDir isolatedHome;
    isolatedHome.setAutoRemove(true);
    const QByteArray root = isolatedHome.path().toUtf8();
    qputenv("HOME", root);
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qunsetenv("QUORVANE_HOME");
    // Programs the tests start must not find the user's accessibility bus, nor
    // start one on the suite's session bus (the bus launcher would publish it
    // in the user's runtime folder and on the user's display).
    qputenv("AT_SPI_BUS_ADDRESS", "unix:path=" + root + "/no-accessibility-bus");
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QStandardPaths::setTestModeEnabled(true);

    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
