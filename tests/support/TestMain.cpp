#ifdef VORDAX4_TEST_WIDGETS
#include <QApplication>
#include <QDir>
#include <QFile>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#ifdef VORDAX4_TEST_WIDGETS
namespace {

// "--screen=WIDTHxHEIGHT@SCALE" runs the tests on one offscreen screen of that size (in device
// pixels) with QT_SCALE_FACTOR at SCALE, as a window shows on a small or a scaled desktop. Returns
// the screen's description file, which the platform reads once the application is made.
QString SetUpScreen(const char* arg)
{
    int width = 0, height = 0;
    double scale = 1;
    if (std::sscanf(arg, "--screen=%dx%d@%lf", &width, &height, &scale) < 2)
        return {};
    const QString config = QDir::temp().filePath(
        QString("vordax4-test-screen-%1.json").arg(QCoreApplication::applicationPid()));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QString(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": %1, "height": %2,)"
                       R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                   .arg(width)
                   .arg(height)
                   .toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
    qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
    return config;
}

} // namespace
#endif

// All test executables share this main. Tests of widgets get a QApplication on the offscreen
// platform, so they run without a display; tests of the core get a QCoreApplication and link no widgets.
int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Windows built by the tests see only the devices a test maps, never the machine's serial ports.
    qputenv("VORDAX4_ONLY_MAPPED_PORTS", "1");
    qunsetenv("VORDAX4_PORTS");
    // A developer's trace file stays out of the tests unless a test names one itself.
    qunsetenv("VORDAX4_TRACE");
    // Each test process listens for the bootloader tool under a name of its own.
    qputenv("VORDAX4_BOOTLOADER_SOCKET", "vordax4-test-" + QByteArray::number(QCoreApplication::applicationPid()));
#ifdef VORDAX4_TEST_WIDGETS
    QString screenConfig;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--screen=", 9) == 0)
            screenConfig = SetUpScreen(argv[i]);
    TestApplication app(argc, argv);
    if (!screenConfig.isEmpty())
        QFile::remove(screenConfig);
#else
    TestApplication app(argc, argv);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
