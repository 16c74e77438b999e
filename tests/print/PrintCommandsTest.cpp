#include "app/WindowLanguage.h"
#include "app/WindowPages.h"
#include "app/WindowStatusBar.h"
#include "model/ImageLayout.h"
#include "monitor/ui/MonitorPanel.h"
#include "print/PrintCommands.h"

#include "PdfPages.h"
#include "WindowSnapshot.h"
#include "app/FileMenu.h"
#include "app/MainWindow.h"
#include "lang/LangString.h"
#include "print/PrintHeader.h"

#include "FileSizeLimit.h"
#include "TempDir.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct PrintFixture : testing::Test {
    ScopedWorkDir dir;
    std::unique_ptr<MainWindow> form;
    QTabWidget* tabs = nullptr;
    QString printedTo; // where the dialog sends the printer; empty cancels
    int dialogs = 0;
    QStringList errors;

    void SetUp() override
    {
        LanguageIndex = LANG_ENGLISH;
        form = std::make_unique<MainWindow>(std::vector<std::string> {}, [](const std::string&) {});
        form->resize(1000, 700);
        SettleWindow(*form);
        tabs = form->findChild<QTabWidget*>("PageControl1");
        PrintCommands& p = form->Files().Printing();
        p.printDialog = [this](QPrinter& printer) {
            ++dialogs;
            if (printedTo.isEmpty())
                return false;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printedTo);
            return true;
        };
        p.errorBox = [this](const QString& text) { errors << text; };
    }

    QString path(const char* name) const { return QString::fromStdString(dir.file(name)); }
    int visibleTabs() const
    {
        int n = 0;
        for (int i = 0; i < tabs->count(); ++i)
            n += tabs->isTabVisible(i);
        return n;
    }
    // Print all: a page per visible tab, then the maps of the default settings, which fit one page.
    int allPages() const { return visibleTabs() + 1; }
    // Whether the last page holds the maps as numbers; true where pdftotext is missing.
    static bool endsWithMaps(const QString& pdf)
    {
        if (!PdfPages::CanReadText())
            return true;
        const auto words = PdfPages::Words(pdf);
        return !words.empty() && std::any_of(words.begin(), words.end(), [&](const PdfPages::Word& w) {
            return w.page == words.back().page && w.text == "Values:";
        });
    }
    void trigger(const char* action)
    {
        auto* a = form->findChild<QAction*>(action);
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }
    static void expectInkOnEveryPage(const QString& pdf, int pages)
    {
        if (!PdfPages::CanRender())
            return; // the page count above is all that can be checked without pdftoppm
        const auto images = PdfPages::Render(pdf);
        ASSERT_EQ(static_cast<int>(images.size()), pages);
        for (const QImage& page : images)
            EXPECT_GT(PdfPages::InkShare(page), 0.01) << "a page holds the window's picture";
    }
};

TEST_F(PrintFixture, MenuAndToolButtonArePresent)
{
    auto* print = form->findChild<QAction*>("MenuPrint");
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_EQ(print->text(), "&Print");
    auto* all = form->findChild<QAction*>("MenuPrintAll");
    ASSERT_NE(all, nullptr);
    EXPECT_TRUE(all->isVisible()) << "made visible with the menu texts";
    EXPECT_EQ(all->text(), "Print a&ll");
    EXPECT_NE(form->findChild<QToolButton*>("SpeedButtonPrint"), nullptr);
    auto* maps = form->findChild<QAction*>("MenuPrintMaps");
    ASSERT_NE(maps, nullptr);
    EXPECT_EQ(maps->text(), "Print &maps");
    form->Language().SetLanguage(LANG_CZECH);
    EXPECT_EQ(print->text(), "&Tisk");
    EXPECT_EQ(all->text(), "Tisk &vše");
    EXPECT_EQ(maps->text(), "Tisk &map");
    form->Language().SetLanguage(LANG_GERMAN);
    EXPECT_EQ(maps->text(), "&Kennfelder drucken");
    form->Language().SetLanguage(LANG_ENGLISH);
}

TEST_F(PrintFixture, PrintAndPrintMapsGiveOnePageAndRestoreTheWindow)
{
    const struct {
        const char* command;
        int tab;
        bool maps; // the maps as numbers on a portrait page, not the window on a landscape one
    } cases[] = { { "MenuPrint", 1, false }, { "MenuPrintMaps", 3, true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        tabs->setCurrentIndex(c.tab);
        const QStringList before = WindowSnapshot(*form);
        printedTo = path(c.command) + ".pdf";
        dialogs = 0;
        trigger(c.command);
        EXPECT_EQ(dialogs, 1);
        EXPECT_TRUE(errors.isEmpty());
        EXPECT_EQ(PdfPages::Count(printedTo), 1);
        expectInkOnEveryPage(printedTo, 1);
        if (PdfPages::CanReadText()) {
            EXPECT_EQ(endsWithMaps(printedTo), c.maps);
            const auto words = PdfPages::Words(printedTo);
            ASSERT_FALSE(words.empty());
            EXPECT_EQ(words.front().pageSize.height() > words.front().pageSize.width(), c.maps) << "portrait";
        }
        EXPECT_EQ(tabs->currentIndex(), c.tab);
        ExpectSameSnapshot(before, WindowSnapshot(*form));
    }
}

TEST_F(PrintFixture, PrintAllGivesOnePagePerVisibleTabAndKeepsTheActivePage)
{
    tabs->setCurrentIndex(5);
    const QStringList before = WindowSnapshot(*form);
    printedTo = path("all.pdf");
    trigger("MenuPrintAll");
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(PdfPages::Count(printedTo), allPages());
    expectInkOnEveryPage(printedTo, allPages());
    EXPECT_TRUE(endsWithMaps(printedTo));
    EXPECT_EQ(tabs->currentIndex(), 5);
    EXPECT_EQ(form->Pages().Active(), 5);
    ExpectSameSnapshot(before, WindowSnapshot(*form));
}

TEST_F(PrintFixture, CancelledDialogChangesNothing)
{
    tabs->setCurrentIndex(3);
    const QStringList before = WindowSnapshot(*form);
    for (const char* command : { "MenuPrint", "MenuPrintAll", "MenuPrintMaps" })
        trigger(command);
    auto* button = form->findChild<QToolButton*>("SpeedButtonPrint");
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_EQ(dialogs, 4);
    EXPECT_TRUE(errors.isEmpty());
    ExpectSameSnapshot(before, WindowSnapshot(*form));
}

TEST_F(PrintFixture, ExportPdfAddsTheSuffixAndWritesEveryPage)
{
    form->Files().Printing().chooseExportFile = [this] { return path("settings"); };
    trigger("MenuExportPdf");
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(PdfPages::Count(path("settings.pdf")), allPages());
    EXPECT_TRUE(endsWithMaps(path("settings.pdf")));
    EXPECT_FALSE(QFile::exists(path("settings")));

    form->Files().Printing().chooseExportFile = [] { return QString(); };
    trigger("MenuExportPdf");
    EXPECT_TRUE(errors.isEmpty()) << "a cancelled save dialog is no error";
}

TEST_F(PrintFixture, FailedPdfWriteReportsAndLeavesNoFile)
{
    QFile blocker(path("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString target = path("blocker") + "/out.pdf"; // a folder that cannot exist
    form->Files().Printing().chooseExportFile = [&] { return target; };
    const QStringList before = WindowSnapshot(*form);
    trigger("MenuExportPdf");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("could not be written")) << errors[0].toStdString();
    EXPECT_FALSE(QFile::exists(target));
    ExpectSameSnapshot(before, WindowSnapshot(*form));
}

TEST_F(PrintFixture, WritePdfOfTheActivePageGivesOnePage)
{
    const QString target = path("one.pdf");
    QString error;
    ASSERT_TRUE(PrintCommands::WritePdf(*form, target, PrintScope::ActivePage, "head", &error)) << error.toStdString();
    EXPECT_EQ(PdfPages::Count(target), 1);
    EXPECT_EQ(PrintCommands::WithPdfSuffix("a.PDF"), "a.PDF");
    EXPECT_EQ(PrintCommands::WithPdfSuffix("a.ign"), "a.ign.pdf");
}

TEST_F(PrintFixture, APdfThatDoesNotFitIsReportedAndKeepsThePreviousFile)
{
    const QString target = path("full.pdf");
    {
        QFile previous(target);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("previous");
    }
    QString error;
    {
        FileSizeLimit full(1000);
        EXPECT_FALSE(PrintCommands::WritePdf(*form, target, PrintScope::ActivePage, "head", &error));
    }
    EXPECT_TRUE(error.contains("could not be written")) << error.toStdString();
    QFile kept(target);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "previous");
    EXPECT_EQ(QFileInfo(target).dir().entryList({ "full*" }, QDir::Files), QStringList { "full.pdf" })
        << "no temporary file is left";
}

// What a page prints, read back as text: skipped where pdftotext is missing.
struct PdfTextFixture : PrintFixture {
    QString ExportText(int page)
    {
        tabs->setCurrentIndex(page);
        const QString target = path("page.pdf");
        QString error;
        EXPECT_TRUE(PrintCommands::WritePdf(*form, target, PrintScope::ActivePage, "head", &error))
            << error.toStdString();
        if (const QByteArray keep = qgetenv("VORDAX4_KEEP_PDF"); !keep.isEmpty())
            QFile::copy(target, QString::fromUtf8(keep) + QString("-%1-%2.pdf").arg(LanguageIndex).arg(page));
        return PdfPages::Text(target);
    }
    static QString Shown(QWidget* w) { return w ? w->property("text").toString().simplified() : QString(); }
};

TEST_F(PdfTextFixture, CaptionsAndValuesAreTextInEveryLanguage)
{
    if (!PdfPages::CanReadText())
        GTEST_SKIP() << "pdftotext is not installed";
    for (int language : { LANG_ENGLISH, LANG_GERMAN, LANG_CZECH }) {
        form->Language().SetLanguage(language);
        const QString text = ExportText(PAGE_MISC);
        for (const char* name : { "LabelLimiter", "LabelStartLimiterDelay", "LabelRetard", "EditLimiter", "EditRetard",
                 "EditStartLimiterDelay" }) {
            const QString shown = Shown(form->findChild<QWidget*>(name));
            ASSERT_FALSE(shown.isEmpty()) << name;
            EXPECT_TRUE(text.contains(shown)) << name << " \"" << shown.toStdString() << "\" is missing in language "
                                              << language << ": " << text.toStdString();
        }
    }
    form->Language().SetLanguage(LANG_ENGLISH);
}

TEST_F(PdfTextFixture, LiveValuesPrintAsDashesAndTheWindowShowsThemAgainAfter)
{
    if (!PdfPages::CanReadText())
        GTEST_SKIP() << "pdftotext is not installed";
    form->findChild<QAction*>("MenuMonitorPlayer")->setChecked(true);
    auto* panel = form->findChild<MonitorPanel*>();
    ASSERT_NE(panel, nullptr);
    MonitorView live;
    live.labels.push_back({ "LabelRpm", "n = 4321 [rpm]" });
    live.labels.push_back({ "LabelMonInput1In", "Input 1 = 9876" });
    panel->Apply(live);
    const QString text = ExportText(PAGE_MISC);
    EXPECT_FALSE(text.contains("4321")) << text.toStdString();
    EXPECT_FALSE(text.contains("9876")) << "a live value on a page";
    EXPECT_TRUE(text.contains(QString::fromStdString(panel->restingView().label("LabelRpm")->text)));
    EXPECT_FALSE(text.contains("Plot...")) << "the player panel is no setting";
    EXPECT_EQ(form->findChild<QLabel*>("LabelRpm")->text(), "n = 4321 [rpm]");
    EXPECT_EQ(form->findChild<QLabel*>("LabelMonInput1In")->text(), "Input 1 = 9876");
}

TEST_F(PdfTextFixture, TheStatusBarAndASwitchedOffMapPrintWhole)
{
    if (!PdfPages::CanReadText())
        GTEST_SKIP() << "pdftotext is not installed";
    form->Image().Adrb(SERVO_ENABLE) = 0;
    form->Edits().ImageReplaced();
    const QString text = ExportText(PAGE_SERVO);
    const QString version = form->Status().Text(WindowStatusBar::VERSION_PANEL).simplified();
    ASSERT_FALSE(version.isEmpty());
    EXPECT_TRUE(text.contains(version)) << "the version panel whole: " << text.toStdString();
    EXPECT_TRUE(text.contains("Servo: switched off")) << text.toStdString();
}

TEST(PrintHeader, NamesFileUnitAndDate)
{
    LanguageIndex = LANG_ENGLISH;
    const QDate day(2026, 12, 10);
    EXPECT_EQ(PrintHeader("/bikes/rd350.ign", QString(), day), "rd350.ign     2026-12-10");
    EXPECT_EQ(PrintHeader(QString(), "  VX4  12.10.2026 ", day), "(no file)     Unit: VX4 12.10.2026     2026-12-10");
    LanguageIndex = LANG_GERMAN;
    EXPECT_TRUE(PrintHeader(QString(), QString(), day).startsWith("(keine Datei)"));
    LanguageIndex = LANG_ENGLISH;
}

} // namespace
