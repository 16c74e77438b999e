#include "FileSizeLimit.h"
#include "TempDir.h"

#include "app/DefaultIni.h"
#include "app/IniFile.h"
#include "app/LocaleLanguage.h"
#include "app/SettingsStore.h"
#include "app/TestSettings.h"
#include "model/ImageDefaults.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

void WriteFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SettingsStoreTest : public testing::Test {
protected:
    ScopedWorkDir dir;
    SettingsStore store { SettingsPaths::Below(QString::fromStdString(dir.path())) };
    AppSettings present()
    {
        AppSettings s;
        s.window = QRect(10, 20, 800, 600);
        s.comPortAuto = 4;
        s.language = 1;
        s.activePage = 2;
        return s;
    }
};

} // namespace

TEST_F(SettingsStoreTest, EveryKeyRoundTripsIncludingPathsOutsideLatin1)
{
    AppSettings s;
    s.window = QRect(30, 40, 1000, 700);
    s.comPort = 7;
    s.comPortAuto = 12;
    s.language = 2;
    s.file = QString::fromUtf8("C:\\Daten\\Jiří\\Ωmega.ign");
    s.iniFileDir = QString::fromUtf8("/home/jiří/params/b.ign");
    s.activePage = 5;
    s.newInstal = 0;
    s.monitorPlayer = true;
    s.mapHeatColours = true;
    s.history = { s.file, "/a/b.ign", QString::fromUtf8("D:\\日本\\c.ign") };
    ParamImage img = StartupImage();
    img.Adrb(LIMITER) = 150;
    QString error;
    ASSERT_TRUE(store.SaveSettings(s, img, &error)) << error.toStdString();

    AppSettings back = present();
    ParamImage loaded = StartupImage();
    const QRect monitor(0, 0, 1920, 1080);
    store.LoadSettings(back, loaded, std::span(&monitor, 1));
    EXPECT_EQ(back.window, s.window);
    EXPECT_EQ(back.comPort, 7);
    EXPECT_EQ(back.comPortAuto, 12);
    EXPECT_EQ(back.language, 2);
    EXPECT_EQ(back.file, s.file);
    EXPECT_EQ(back.iniFileDir, s.iniFileDir);
    EXPECT_EQ(back.activePage, 5);
    EXPECT_EQ(back.newInstal, 0);
    EXPECT_TRUE(back.monitorPlayer);
    EXPECT_TRUE(back.mapHeatColours);
    EXPECT_EQ(back.history, s.history);
    EXPECT_EQ(loaded, img);

    const QByteArray ini = ReadFile(store.paths().applicationIni());
    EXPECT_TRUE(
        ini.startsWith("[FORM_HLAV]\r\nLeft=30\r\nTop=40\r\nHeight=700\r\nWidth=1000\r\nComPort=7\r\n"
                       "ComPortAuto=12\r\nLanguage=3\r\nFile=C:\\\\Daten\\\\Ji\\x0159\xED\\\\\\x03A9mega.ign\r\n"))
        << ini.toStdString();
    EXPECT_TRUE(
        ini.contains("\r\nPageControl1->ActivePageIndex=5\r\nNEWINSTAL=0\r\nMONITORPLAYER=1\r\nMenuHistory00="));
}

TEST_F(SettingsStoreTest, MissingFilesGiveTheDefaultsAndKeepThePresentValues)
{
    AppSettings s = present();
    s.comPort = 9;
    s.newInstal = 0;
    s.monitorPlayer = true;
    ParamImage img = StartupImage();
    store.LoadSettings(s, img, {});
    EXPECT_EQ(s.window, QRect(10, 20, 800, 600));
    EXPECT_EQ(s.comPort, 0);
    EXPECT_EQ(s.comPortAuto, 4);
    EXPECT_EQ(s.language, 1);
    EXPECT_EQ(s.activePage, 2);
    EXPECT_EQ(s.newInstal, 1);
    EXPECT_FALSE(s.monitorPlayer);
    EXPECT_EQ(s.file, "");
    EXPECT_EQ(s.history, QStringList { "" }) << "an empty first entry is kept";
    EXPECT_EQ(img, StartupImage());
}

TEST_F(SettingsStoreTest, LanguageCodes)
{
    for (auto [code, expected] : { std::pair { 0, 0 }, { 1, 1 }, { 2, 1 }, { 3, 2 }, { 7, 1 } }) {
        WriteFile(store.paths().applicationIni(), "[FORM_HLAV]\r\nLanguage=" + QByteArray::number(code) + "\r\n");
        AppSettings s = present(); // German now
        ParamImage img = StartupImage();
        store.LoadSettings(s, img, {});
        EXPECT_EQ(s.language, expected) << "code " << code;
    }
}

TEST_F(SettingsStoreTest, HistoryStopsAtTheFirstEmptyEntryAndStaleEntriesAreNotSaved)
{
    WriteFile(store.paths().applicationIni(),
        "[OTHER]\r\nx=1\r\n[FORM_HLAV]\r\nMenuHistory00=a\r\nMenuHistory01=b\r\n"
        "MenuHistory02=c\r\nMenuHistory03=\r\nMenuHistory05=e\r\nFile=f.ign\r\n");
    AppSettings s = present();
    ParamImage img = StartupImage();
    store.LoadSettings(s, img, {});
    EXPECT_EQ(s.history, (QStringList { "a", "b", "c" }));
    EXPECT_EQ(s.iniFileDir, "f.ign") << "IniFileDir defaults to File";

    s.history = { "a" };
    ASSERT_TRUE(store.SaveSettings(s, img));
    const QByteArray ini = ReadFile(store.paths().applicationIni());
    EXPECT_TRUE(ini.startsWith("[OTHER]\r\nx=1\r\n[FORM_HLAV]\r\n")) << "other sections are kept";
    EXPECT_FALSE(ini.contains("MenuHistory01"));
    EXPECT_FALSE(ini.contains("MenuHistory05"));
}

TEST_F(SettingsStoreTest, OutOfRangeValuesAreValidated)
{
    WriteFile(store.paths().applicationIni(), "[FORM_HLAV]\r\nComPort=300\r\nComPortAuto=0\r\nLeft=junk\r\n");
    AppSettings s = present();
    ParamImage img = StartupImage();
    store.LoadSettings(s, img, {});
    EXPECT_EQ(s.comPort, -1);
    EXPECT_EQ(s.comPortAuto, 1);
    EXPECT_EQ(s.window.left(), 10) << "a malformed value counts as missing";
}

TEST_F(SettingsStoreTest, AFailedSaveIsReportedAndKeepsTheOldFiles)
{
    AppSettings s = present();
    ParamImage img = StartupImage();
    ASSERT_TRUE(store.SaveSettings(s, img));
    const QByteArray oldIni = ReadFile(store.paths().applicationIni());
    const QByteArray oldDefault = ReadFile(store.paths().defaultIni());

    s.file = "/somewhere/else.ign";
    img.Adrb(LIMITER) = 200;
    QString error;
    {
        FileSizeLimit limit(64);
        EXPECT_FALSE(store.SaveSettings(s, img, &error));
    }
    EXPECT_TRUE(error.contains("application.ini"));
    EXPECT_TRUE(error.contains("default.ini"));
    EXPECT_EQ(ReadFile(store.paths().applicationIni()), oldIni);
    EXPECT_EQ(ReadFile(store.paths().defaultIni()), oldDefault);
    EXPECT_EQ(QDir(QString::fromStdString(dir.path()) + "/Motravex/VORDAX4/93").entryList(QDir::Files).size(), 2)
        << "no temporary file is left behind";
}

TEST(DefaultIni, FormatOfTheText)
{
    ParamImage img;
    img.Adrb(0) = 255;
    img.Adrb(9) = 7;
    const QByteArray text = DefaultIni::Text(img);
#ifdef Q_OS_WIN
    const QByteArray nl = "\r\n";
#else
    const QByteArray nl = "\n";
#endif
    EXPECT_TRUE(text.startsWith("  255     0     0     0     0     0     0     0     0     7 " + nl + "    0 "));
    EXPECT_TRUE(text.contains("    0 " + nl + nl + "    0 "));
    EXPECT_TRUE(text.endsWith("    0 " + nl + nl));
    EXPECT_EQ(text.size(), 400 * 6 + 40 * nl.size() + 4 * nl.size());
}

TEST(DefaultIni, ParseTakesTheFirst400NumbersModulo256)
{
    QByteArray text;
    for (int i = 0; i < 500; ++i)
        text += QByteArray::number(i + 1000) + (i % 7 ? " " : "\n\t");
    ParamImage img;
    EXPECT_EQ(DefaultIni::Parse(text, img), 400);
    EXPECT_EQ(img.Adrb(0), 1000 % 256);
    EXPECT_EQ(img.Adrb(399), 1399 % 256);

    ParamImage shortImg = StartupImage();
    EXPECT_EQ(DefaultIni::Parse("1 2 3 x 5", shortImg), 3);
    EXPECT_EQ(shortImg.Adrb(2), 3);
    EXPECT_EQ(shortImg.Adrb(3), StartupImage().Adrb(3));

    ParamImage huge;
    EXPECT_EQ(DefaultIni::Parse("99999999999999999999999999999999999999999 ", huge), 1);
    EXPECT_EQ(huge.Adrb(0), 255);

    ParamImage round;
    DefaultIni::Parse(DefaultIni::Text(StartupImage()), round);
    EXPECT_EQ(round, StartupImage());
}

TEST(SettingsPaths, ThreeLevelsBelowTheBase)
{
    ScopedWorkDir dir;
    const SettingsPaths p = SettingsPaths::Below(QString::fromStdString(dir.path()));
    EXPECT_EQ(p.folder(), QString::fromStdString(dir.path()) + "/Motravex/VORDAX4/93/");
    EXPECT_TRUE(QDir(p.folder()).exists());
    EXPECT_EQ(p.applicationIni(), p.folder() + "application.ini");
    EXPECT_EQ(SettingsPaths::Below("").applicationIni(), "application.ini");
}

TEST(LocaleLanguage, TheMessagesLocaleNamesTheLanguage)
{
    const std::pair<const char*, int> names[] = { { "de_DE.UTF-8", 1 }, { "de_CH", 1 }, { "cs_CZ.UTF-8", 2 },
        { "cs", 2 }, { "en_US.UTF-8", 0 }, { "sk_SK.UTF-8", 0 }, { "C", 0 }, { "", 0 }, { "deu", 0 } };
    for (const auto& [name, language] : names)
        EXPECT_EQ(LocaleLanguage::FromLocaleName(name), language) << name;
    QProcessEnvironment env;
    env.insert("LANG", "de_DE.UTF-8");
    EXPECT_EQ(LocaleLanguage::FromEnvironment(env), 1);
    env.insert("LC_MESSAGES", "cs_CZ.UTF-8");
    EXPECT_EQ(LocaleLanguage::FromEnvironment(env), 2) << "LC_MESSAGES before LANG";
    env.insert("LC_ALL", "en_GB.UTF-8");
    EXPECT_EQ(LocaleLanguage::FromEnvironment(env), 0) << "LC_ALL before both";
}

TEST(TestSettings, WordsOfTheFile)
{
    TestSettings t = TestSettings::Parse("foo TEST_ENABLE\r\nTEST_COM 7 bar");
    EXPECT_TRUE(t.testMode);
    EXPECT_EQ(t.testPort, 7);
    t = TestSettings::Parse("TEST_COM x TEST_COM\t12");
    EXPECT_FALSE(t.testMode);
    EXPECT_EQ(t.testPort, 12);
    ScopedWorkDir dir;
    t = TestSettings::Read(QString::fromStdString(dir.file("none.txt")));
    EXPECT_FALSE(t.testMode);
    EXPECT_EQ(t.testPort, 0);
}

TEST(IniFile, KeysIgnoreCaseAndValuesAreReplacedInPlace)
{
    IniFile ini;
    ini.Parse("; comment\n[form_hlav]\nleft = 5\nTop=x\n");
    EXPECT_EQ(ini.IntValue("FORM_HLAV", "Left", 0), 5);
    EXPECT_EQ(ini.IntValue("FORM_HLAV", "Top", 9), 9);
    ini.SetInt("FORM_HLAV", "LEFT", 6);
    ini.SetInt("NEW", "k", 1);
    EXPECT_EQ(ini.Text(), "; comment\r\n[form_hlav]\r\nleft=6\r\nTop=x\r\n[NEW]\r\nk=1\r\n");
}

namespace {

// Sets an environment variable while it lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name)
        , old_(qgetenv(name))
        , had_(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

} // namespace

#ifdef Q_OS_LINUX
// Settings, history and logs each in the user's XDG folder; HOME's defaults where a variable is
// missing or not an absolute path. For root just as for anyone: HOME=/root, never /usr/local.
TEST(SettingsPaths, EachKindOfFileInItsXdgFolder)
{
    ScopedWorkDir dir;
    const QString base = QString::fromStdString(dir.path());
    QProcessEnvironment env;
    env.insert("HOME", base + "/home");
    env.insert("XDG_CONFIG_HOME", base + "/config");
    env.insert("XDG_DATA_HOME", "relative/data");
    const SettingsPaths p = SettingsPaths::Xdg(env);
    EXPECT_EQ(p.applicationIni(), base + "/config/Motravex/VORDAX4/93/application.ini");
    EXPECT_EQ(p.defaultIni(), base + "/config/Motravex/VORDAX4/93/default.ini");
    EXPECT_EQ(p.historyFile(), base + "/home/.local/share/Motravex/VORDAX4/93/history.sqlite");
    EXPECT_EQ(p.mathErrorLog(), base + "/home/.local/state/Motravex/VORDAX4/93/IGN.err");
    EXPECT_TRUE(QDir(p.stateFolder()).exists());

    // A machine-wide data folder this user could write (as root) is no longer used.
    ScopedEnv home("HOME", (base + "/root").toUtf8());
    ScopedEnv config("XDG_CONFIG_HOME", "");
    ScopedEnv machine("XDG_DATA_DIRS", (base + "/machine").toUtf8());
    QDir().mkpath(base + "/machine");
    EXPECT_EQ(SettingsPaths::Standard().folder(), base + "/root/.config/Motravex/VORDAX4/93/");
}

// The first start after an update takes the files of the old data folder once; a file already in
// its new place is never overwritten.
TEST(SettingsPaths, TheOldFolderIsMovedOnce)
{
    ScopedWorkDir dir;
    const QString base = QString::fromStdString(dir.path());
    ScopedEnv machine("XDG_DATA_DIRS", (base + "/machine").toUtf8());
    QDir().mkpath(base + "/machine");
    const QString old = SettingsPaths::OldFolder();
    ASSERT_EQ(old, base + "/machine/Motravex/VORDAX4/93/") << "where versions before wrote as root";
    QDir().mkpath(old);
    WriteFile(old + "application.ini", "[FORM_HLAV]\r\nLanguage=3\r\n");
    WriteFile(old + "default.ini", "1 2 3");
    WriteFile(old + "history.sqlite", "db");
    QProcessEnvironment env;
    env.insert("HOME", base + "/home");
    const SettingsPaths p = SettingsPaths::Xdg(env);
    WriteFile(p.defaultIni(), "already here");

    EXPECT_EQ(p.MoveFrom(old), QStringList({ "application.ini", "history.sqlite" }));
    EXPECT_EQ(ReadFile(p.applicationIni()), "[FORM_HLAV]\r\nLanguage=3\r\n");
    EXPECT_EQ(ReadFile(p.historyFile()), "db");
    EXPECT_EQ(ReadFile(p.defaultIni()), "already here");
    EXPECT_FALSE(QFile::exists(old + "application.ini"));
    EXPECT_TRUE(QFile::exists(old + "default.ini")) << "kept where it would have replaced a newer file";
    EXPECT_TRUE(p.MoveFrom(old).isEmpty()) << "once";
}
#endif

// The known unit is written after the keys of a first run's file (they keep their order) and read
// back; a file from before it existed knows no unit.
TEST_F(SettingsStoreTest, KnownUnitKeysRoundTripAfterTheOthers)
{
    AppSettings s = present();
    s.history = { "a.ign" };
    s.knownUnitPort = 6;
    s.knownUnitRow = 13;
    s.knownUnitBaud = 115200;
    ParamImage img = StartupImage();
    ASSERT_TRUE(store.SaveSettings(s, img));
    const QByteArray ini = ReadFile(store.paths().applicationIni());
    EXPECT_TRUE(ini.contains("\r\nMenuHistory00=a.ign\r\nKnownUnitPort=6\r\nKnownUnitRow=13\r\nKnownUnitBaud=115200\r\n"))
        << ini.toStdString();
    AppSettings back = present();
    store.LoadSettings(back, img, {});
    EXPECT_EQ(back.knownUnitPort, 6);
    EXPECT_EQ(back.knownUnitRow, 13);
    EXPECT_EQ(back.knownUnitBaud, 115200);

    WriteFile(store.paths().applicationIni(), "[FORM_HLAV]\r\nComPort=0\r\n");
    store.LoadSettings(back, img, {});
    EXPECT_EQ(back.knownUnitPort, 0);
    EXPECT_EQ(back.knownUnitRow, -1);
    EXPECT_EQ(back.knownUnitBaud, 0);
}
