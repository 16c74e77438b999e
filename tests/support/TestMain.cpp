#include <QApplication>

#include <gtest/gtest.h>

// All test executables share this main: a QApplication on the offscreen platform, so GUI tests
// and core tests run the same way without a display.
int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Windows built by the tests see only the devices a test maps, never the machine's serial ports.
    qputenv("VORDAX4_ONLY_MAPPED_PORTS", "1");
    qunsetenv("VORDAX4_PORTS");
    // Each test process listens for the bootloader tool under a name of its own.
    qputenv("VORDAX4_BOOTLOADER_SOCKET", "vordax4-test-" + QByteArray::number(QCoreApplication::applicationPid()));
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
