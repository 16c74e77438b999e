#include "app/FileMenu.h"
#include "app/MainWindow.h"
#include "app/WindowLanguage.h"
#include "app/WindowMonitor.h"
#include "app/WindowPages.h"
#include "app/WindowStatusBar.h"
#include "base/TickClock.h"
#include "base/Trace.h"
#include "lang/LangString.h"
#include "model/LoadGroups.h"
#include "pages/RadioGroup.h"

#include "TempDir.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct MainFormFixture : testing::Test {
    ScopedWorkDir dir;
    std::vector<std::string> errors;

    std::unique_ptr<MainWindow> start(std::vector<std::string> args = {})
    {
        LanguageIndex = LANG_ENGLISH;
        return std::make_unique<MainWindow>(args, [this](const std::string& e) { errors.push_back(e); });
    }
};

} // namespace

TEST_F(MainFormFixture, StartsInitialisedWithDefaultsAndStatusBar)
{
    auto form = start();
    EXPECT_TRUE(form->Initialised());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(form->Image().Adrb(BIKE), 20);
    EXPECT_EQ(form->Image().Adrb(LIMITER), 110);
    EXPECT_EQ(form->Status().Text(1), "EXE");
    EXPECT_EQ(form->Status().Text(3), "HEX");
    EXPECT_TRUE(form->Status().Text(2).startsWith("VORDAX4   RSKEY=93.00   COMPILE=20"));
    EXPECT_EQ(form->Status().Text(4), "not connected");
    EXPECT_EQ(form->windowTitle(), "  VORDAX4 (v93)       ");

    auto* pages = form->findChild<QTabWidget*>("PageControl1");
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->count(), 10);
    EXPECT_TRUE(pages->isTabVisible(1));
    EXPECT_FALSE(pages->isTabVisible(2)) << "Sensors tab is hidden";
    EXPECT_FALSE(pages->isTabVisible(8)) << "N2O tab is hidden";
}

TEST_F(MainFormFixture, TheTraceNamedByTheEnvironmentHoldsTheWholeStart)
{
    const QString path = QDir::current().filePath("trace.txt");
    qputenv("VORDAX4_TRACE", QFile::encodeName(path));
    start().reset();
    qunsetenv("VORDAX4_TRACE");
    Trace::Close();
    QFile trace(path);
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    const QByteArray text = trace.readAll();
    const qsizetype openLog = text.indexOf(") Open LOG");
    EXPECT_GE(openLog, 0) << "the port table's first line";
    EXPECT_GT(text.indexOf("FORM Initialised"), openLog);
}

TEST_F(MainFormFixture, EachTickAdvancesTickMsBy50)
{
    auto form = start();
    const int ticks = form->TickCounter();
    form->Timer1Timer();
    EXPECT_EQ(TickMs.load(), (ticks + 1) * 50);
    form->Timer1Timer();
    EXPECT_EQ(TickMs.load(), (ticks + 2) * 50);
}

TEST_F(MainFormFixture, LanguageWordOnTheCommandLine)
{
    start({"cesky"});
    EXPECT_EQ(LanguageIndex, LANG_ENGLISH) << "only the exact word counts";
    start({"CESKY"});
    EXPECT_EQ(LanguageIndex, LANG_CZECH) << "the word wins over the saved English";
    auto form = start({"DEUTSCH"});
    EXPECT_EQ(LanguageIndex, LANG_GERMAN);
    EXPECT_EQ(form->findChild<QTabWidget*>("PageControl1")->tabText(0), "Verschiedene");
    EXPECT_EQ(form->findChild<QComboBox*>("ComboBoxNasobekPalcu")->itemText(0), "1 Zündung pro Umdrehung")
        << "the lists are filled in the language of the command line";
}

// A first start, with no saved language and no word, speaks the language of the desktop's locale;
// the saved language wins over it afterwards.
TEST_F(MainFormFixture, TheFirstStartSpeaksTheLanguageOfTheLocale)
{
    struct Case {
        const char* lang;
        int language;
    };
    const QByteArray lcAll = qgetenv("LC_ALL"), lcMessages = qgetenv("LC_MESSAGES"), lang = qgetenv("LANG");
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    for (const Case c : { Case { "de_AT.UTF-8", LANG_GERMAN }, Case { "cs_CZ.UTF-8", LANG_CZECH },
             Case { "fr_FR.UTF-8", LANG_ENGLISH }, Case { "C.UTF-8", LANG_ENGLISH } }) {
        QTemporaryDir fresh;
        qputenv("VORDAX4_SETTINGS_DIR", fresh.path().toUtf8());
        qputenv("LANG", c.lang);
        start().reset();
        EXPECT_EQ(LanguageIndex, c.language) << c.lang;
        qputenv("LANG", "en_GB.UTF-8");
        start().reset();
        EXPECT_EQ(LanguageIndex, c.language) << c.lang << ": the saved language, not the locale's";
    }
    qputenv("VORDAX4_SETTINGS_DIR", QByteArray::fromStdString(dir.path()));
    qputenv("LANG", lang);
    qputenv("LC_ALL", lcAll);
    qputenv("LC_MESSAGES", lcMessages);
    if (lcAll.isEmpty())
        qunsetenv("LC_ALL");
    if (lcMessages.isEmpty())
        qunsetenv("LC_MESSAGES");
}

TEST_F(MainFormFixture, NoPatchCheckWord)
{
    EXPECT_TRUE(start({"nopatchcheck"})->NoUpdateCheck());
    EXPECT_FALSE(start({"ENGLISH"})->NoUpdateCheck());
}

namespace {

// The visible entries of a menu and of its submenus that carry no mnemonic.
void EntriesWithoutMnemonic(const QList<QAction*>& actions, QStringList& missing)
{
    for (QAction* a : actions) {
        if (a->isSeparator() || !a->isVisible())
            continue;
        if (QKeySequence::mnemonic(a->text()).isEmpty())
            missing << a->objectName() + " \"" + a->text() + "\"";
        if (a->menu())
            EntriesWithoutMnemonic(a->menu()->actions(), missing);
    }
}

} // namespace

TEST_F(MainFormFixture, EveryMenuEntryHasAMnemonicInEveryLanguage)
{
    auto form = start();
    form->Files().State().history = FileHistory(QStringList { "/tmp/now.ign", "/tmp/bike.ign" });
    form->Files().RefreshHistoryMenu();
    for (int language : { LANG_ENGLISH, LANG_GERMAN, LANG_CZECH }) {
        form->Language().SetLanguage(language);
        QStringList missing;
        EntriesWithoutMnemonic(form->menuBar()->actions(), missing);
        EXPECT_TRUE(missing.isEmpty()) << language << ": " << missing.join(", ").toStdString();
    }
    LanguageIndex = LANG_ENGLISH;
}

TEST_F(MainFormFixture, LanguageMenuRecaptionsEverything)
{
    auto form = start();
    auto* german = form->findChild<QAction*>("MenuGerman");
    ASSERT_NE(german, nullptr);
    EXPECT_TRUE(form->findChild<QAction*>("MenuEnglish")->isChecked());
    EXPECT_EQ(form->findChild<QAction*>("MenuZpet")->text(), "&Undo");
    german->trigger();
    EXPECT_EQ(LanguageIndex, LANG_GERMAN);
    EXPECT_TRUE(german->isChecked());
    EXPECT_EQ(form->findChild<QAction*>("MenuZpet")->text(), "&Zurück");
    EXPECT_EQ(form->findChild<QTabWidget*>("PageControl1")->tabText(PAGE_BIKE), "Motorrad");
    EXPECT_EQ(form->Language().Texts().Text(66), "Begrenzer");
    EXPECT_EQ(form->findChild<QLabel*>("LabelMonLimiterOut")->text(), "Begrenzer = ---");
    EXPECT_EQ(form->findChild<QWidget*>("CheckBoxProgHned")->toolTip(), "Programmieren sofort nach dem änderung");
}

// Texts set by the pages and the player themselves, not by the caption tables, follow a switch too.
TEST_F(MainFormFixture, TextsThePagesAndThePlayerSetFollowTheLanguage)
{
    auto form = start();
    const auto title = [&](const char* box) { return form->findChild<QGroupBox*>(box)->title(); };
    struct Expected {
        const char* menu;
        const char* noSensor;
        const char* powerOut1;
        const char* recording;
    };
    for (const Expected& e : { Expected { "MenuGerman", "Kein", "Leistungsausgang 1 (Pin 3)", "Aufnahme (" },
             Expected { "MenuCzech", "Žádný", "Výkonový výstup 1 (pin 3)", "Záznam (" },
             Expected { "MenuEnglish", "No", "Power out 1 (pin 3)", "Recording (" } }) {
        form->findChild<QAction*>(e.menu)->trigger();
        EXPECT_EQ(form->findChild<RadioGroup*>("RadioGroupTpsIap")->button(0)->text(), e.noSensor) << e.menu;
        EXPECT_EQ(title("GroupBoxPOut1"), e.powerOut1) << e.menu;
        EXPECT_FALSE(form->findChild<QAction*>("MenuLanguage")->statusTip().contains("LNG_")) << e.menu;
        form->Monitor().Player().StartRecording(QDir::current().filePath("texts.ignlog").toStdString(), {});
        EXPECT_EQ(form->Monitor().Player().Display().posText.rfind(e.recording, 0), 0u)
            << form->Monitor().Player().Display().posText;
        form->Monitor().Player().Stop();
    }
}

// The monitor keeps its place and width and the window its size whatever a page shows, whichever
// language is chosen and whether the player is open; only the pages take what the window gives.
TEST_F(MainFormFixture, TheWindowKeepsItsShapeWhilePagesTextsAndPanelsChange)
{
    auto form = start();
    form->resize(1000, 700);
    form->show();
    QCoreApplication::processEvents();
    auto* monitor = form->findChild<QWidget*>("MonitorColumn");
    auto* pages = form->findChild<QTabWidget*>("PageControl1");
    ASSERT_NE(monitor, nullptr);
    const QRect monitorPlace = monitor->geometry();
    const QSize windowSize = form->size();
    const auto expectShapeKept = [&](const char* after) {
        QCoreApplication::processEvents();
        EXPECT_EQ(monitor->geometry(), monitorPlace) << after;
        EXPECT_EQ(form->size(), windowSize) << after;
        EXPECT_LE(pages->geometry().right(), monitor->geometry().left()) << after;
    };

    pages->setCurrentIndex(PAGE_MISC);
    auto* sensor = form->findChild<RadioGroup*>("RadioGroupTpsIap");
    ASSERT_NE(sensor, nullptr);
    sensor->button(1)->click();
    form->Timer1Timer();
    ASSERT_EQ(form->Image().Adrb(TPSIAP_SENSOR), 1);
    expectShapeKept("the TP sensor table shown");
    for (const char* language : { "MenuGerman", "MenuCzech", "MenuEnglish" }) {
        form->findChild<QAction*>(language)->trigger();
        expectShapeKept(language);
    }
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        expectShapeKept("another page");
    }
    const QRect playerPlace = [&] {
        form->Monitor().TogglePlayer();
        QCoreApplication::processEvents();
        return form->findChild<QWidget*>("GroupBoxPlayer")->geometry();
    }();
    expectShapeKept("the player shown");
    form->Monitor().Player().StartRecording(QDir::current().filePath("shape.ignlog").toStdString(), {});
    form->Timer1Timer();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->findChild<QWidget*>("GroupBoxPlayer")->geometry(), playerPlace) << "recording";
    form->Monitor().Player().Stop();
}

TEST_F(MainFormFixture, QtsOwnTextsFollowTheLanguage)
{
    const QString german = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm";
    if (!QFile::exists(german))
        GTEST_SKIP() << "Qt's translations are not installed";
    auto form = start();
    const auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
    form->findChild<QAction*>("MenuGerman")->trigger();
    EXPECT_EQ(yes(), "&Ja");
    form->findChild<QAction*>("MenuEnglish")->trigger();
    EXPECT_EQ(yes(), "&Yes");
}

TEST_F(MainFormFixture, MonitorShowsDashesWithoutAUnit)
{
    auto form = start();
    EXPECT_EQ(form->findChild<QLabel*>("LabelRpm")->text(), "RPM = ---");
    EXPECT_EQ(form->findChild<QLabel*>("LabelAdvance1")->text(), "Advance 1 = --- [°]");
    EXPECT_EQ(form->Monitor().View().gauge("CGaugeRpm")->value, 0);
}

TEST_F(MainFormFixture, TestButtonsGoIntoTheNextMonitorRequest)
{
    auto form = start();
    auto* button = form->findChild<QAbstractButton*>("ButtonTestIgn2");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "&Ignition2");
    button->click();
    EXPECT_EQ(form->Monitor().Request().Build()[20], 0x02);
    EXPECT_FALSE(form->findChild<QWidget*>("ButtonTest03")->isVisibleTo(form.get()));
}

// The hidden player fetches its icons from the style when it first shows, not while the window starts.
TEST_F(MainFormFixture, PlayerIconsComeWhenThePlayerFirstShows)
{
    auto form = start();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto* play = form->findChild<QAbstractButton*>("SpeedButtonPlay2");
    ASSERT_NE(play, nullptr);
    EXPECT_TRUE(play->icon().isNull());
    form->findChild<QAction*>("MenuMonitorPlayer")->trigger();
    ASSERT_TRUE(play->isVisible());
    for (int n = 1; n <= 4; ++n)
        EXPECT_FALSE(form->findChild<QAbstractButton*>(QString("SpeedButtonPlay%1").arg(n))->icon().isNull()) << n;
}

TEST_F(MainFormFixture, MonitorPlayerRecordsAndReplaysThroughTheWindow)
{
    auto form = start();
    const std::string file = dir.file("session.ignlog");
    form->Monitor().chooseLogFile = [&](bool) { return QString::fromStdString(file); };
    auto* menu = form->findChild<QAction*>("MenuMonitorPlayer");
    auto* panel = form->findChild<QWidget*>("GroupBoxPlayer");
    EXPECT_FALSE(panel->isVisibleTo(form.get()));
    menu->trigger();
    EXPECT_TRUE(panel->isVisibleTo(form.get()));
    EXPECT_TRUE(menu->isChecked());

    auto button = [&](int n) { return form->findChild<QAbstractButton*>(QString("SpeedButtonPlay%1").arg(n)); };
    EXPECT_FALSE(button(4)->isEnabled());
    button(1)->click();
    EXPECT_EQ(form->Monitor().Player().state(), MonitorPlayer::Recording);
    EXPECT_FALSE(button(1)->isEnabled());
    form->findChild<QSpinBox*>("UpDownRetard")->setValue(12);
    form->Edits().RequestCommit(nullptr, PageHost::COMMIT_NOW); // an edit goes into the recording with its snapshot
    ASSERT_EQ(form->Image().Adrb(RETARD), 12);
    button(4)->click();
    EXPECT_EQ(form->Monitor().Player().state(), MonitorPlayer::Idle);

    form->Image().Adrb(RETARD) = 6;
    button(2)->click();
    ASSERT_TRUE(form->Monitor().Player().replaying()) << "state " << form->Monitor().Player().state() << " errors " << errors.size()
                                            << (errors.empty() ? "" : errors[0]) << " play enabled " << button(2)->isEnabled();
    EXPECT_TRUE(form->findChild<QWidget*>("ScrollBarPlay")->isVisibleTo(form.get()));
    // The replay keeps the recorded times, which a busy machine stretches; it ends by itself.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            form->Timer1Timer();
            return form->Monitor().Player().state() != MonitorPlayer::Playing;
        },
        30000));
    EXPECT_EQ(form->Image().Adrb(RETARD), 12) << "the recorded edit is replayed";
    button(4)->click();
    EXPECT_FALSE(form->Monitor().Player().replaying());
    EXPECT_EQ(form->findChild<QLabel*>("LabelRpm")->text(), "RPM = ---");
}

TEST_F(MainFormFixture, SettingsSurviveARestart)
{
    {
        auto form = start();
        form->Pages().Select(PAGE_MISC);
        form->Language().SetLanguage(LANG_GERMAN);
        form->findChild<QSpinBox*>("UpDownRetard")->setValue(9);
        form->Monitor().TogglePlayer();
        form->close(); // the pending edit is applied before the settings are written
    }
    EXPECT_TRUE(dir.exists("Motravex/VORDAX4/93/application.ini"));
    auto again = start();
    EXPECT_EQ(again->Image().Adrb(RETARD), 9);
    EXPECT_EQ(LanguageIndex, LANG_GERMAN);
    EXPECT_EQ(again->Pages().Active(), PAGE_MISC);
    EXPECT_TRUE(again->findChild<QAction*>("MenuMonitorPlayer")->isChecked());
}

// A field's caption is its control's buddy label: screen readers name the control by it and a
// mnemonic in the caption reaches the control.
TEST_F(MainFormFixture, EveryFieldCaptionIsTheBuddyOfItsControl)
{
    auto form = start();
    int captions = 0;
    for (QLabel* label : form->findChildren<QLabel*>()) {
        const QString control = label->property("vordax4BuddyName").toString();
        if (control.isEmpty())
            continue;
        ++captions;
        ASSERT_NE(label->buddy(), nullptr) << label->objectName().toStdString() << " has no control " << control.toStdString();
        EXPECT_EQ(label->buddy()->objectName(), control);
    }
    EXPECT_GT(captions, 10);
    const auto* limiter = form->findChild<QWidget*>("UpDownLimiter");
    const auto labels = form->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](QLabel* l) { return l->buddy() == limiter; }));
}
