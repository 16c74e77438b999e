#pragma once

#include <QByteArray>
#include <QString>

// The developer test settings: the word "TEST_ENABLE" switches test mode on, "TEST_COM" and a
// decimal number name the test port; other words are ignored.
struct TestSettings {
    bool testMode = false;
    int testPort = 0;

    // "c:\test_ralvo.txt" on Windows; elsewhere "test_ralvo.txt" in the user's home folder.
    static QString DefaultPath();
    // A missing file gives test mode off and port 0.
    static TestSettings Read(const QString& path = DefaultPath());
    static TestSettings Parse(const QByteArray& text);
};

// Reads the developer test settings at start-up.
inline TestSettings ReadTestSettings(const QString& path = TestSettings::DefaultPath())
{
    return TestSettings::Read(path);
}
