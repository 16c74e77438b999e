#ifdef VORDAX4_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

// All test executables share this main. Tests of widgets get a QApplication on the offscreen
// platform, so they run without a display; tests of the core get a QCoreApplication and link no widgets.
int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Windows built by the tests see only the devices a test maps, never the machine's serial ports.
    qputenv("VORDAX4_ONLY_MAPPED_PORTS", "1");
    qunsetenv("VORDAX4_PORTS");
    // A developer's trace file stays out of the test runs.
    qunsetenv("VORDAX4_TRACE");
    // Each test process listens for the bootloader tool under a name of its own.
    qputenv("VORDAX4_BOOTLOADER_SOCKET", "vordax4-test-" + QByteArray::number(QCoreApplication::applicationPid()));
    TestApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
