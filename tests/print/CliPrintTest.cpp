#include "PdfPages.h"
#include "app/FileMenu.h"
#include "app/MainWindow.h"
#include "files/IgnWriter.h"
#include "lang/LangString.h"
#include "model/ImageDefaults.h"

#include "TempDir.h"

#include <QFile>
#include <QProcess>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

struct CliResult {
    int code = -1;
    QString err;
};

struct CliPrintFixture : testing::Test {
    ScopedWorkDir dir;
    QString in;

    void SetUp() override
    {
        in = path("bike.ign");
        ASSERT_TRUE(WriteIgnFile(in, StartupImage(), {}));
    }
    QString path(const char* name) const { return QString::fromStdString(dir.file(name)); }
    static CliResult print(const QStringList& args)
    {
        QProcess p;
        p.start(VORDAX4_CLI, QStringList { "print" } + args);
        CliResult r;
        if (p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit)
            r.code = p.exitCode();
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }
    // The tabs a window shows for the same file.
    int visibleTabs()
    {
        LanguageIndex = LANG_ENGLISH;
        MainWindow form(std::vector<std::string> {}, [](const std::string&) {});
        form.Files().OpenParameterFile(PAGE_ALL, in);
        auto* tabs = form.findChild<QTabWidget*>("PageControl1");
        int n = 0;
        for (int i = 0; i < tabs->count(); ++i)
            n += tabs->isTabVisible(i);
        return n;
    }
};

TEST_F(CliPrintFixture, AllGivesOneNonBlankPagePerVisibleTabAndThenTheMaps)
{
    const CliResult r = print({ in, "-o", path("all.pdf"), "--all" });
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const int tabs = visibleTabs() + 1; // the maps of the default settings fit one page
    EXPECT_GT(tabs, 2);
    EXPECT_EQ(PdfPages::Count(path("all.pdf")), tabs);
    if (!PdfPages::CanRender())
        GTEST_SKIP() << "pdftoppm is not installed: the pages were counted, not looked at";
    const auto pages = PdfPages::Render(path("all.pdf"));
    ASSERT_EQ(static_cast<int>(pages.size()), tabs);
    for (const QImage& page : pages)
        EXPECT_GT(PdfPages::InkShare(page), 0.01);
}

TEST_F(CliPrintFixture, WithoutAllPrintsTheActivePageInTheChosenLanguage)
{
    const CliResult r = print({ "--lang", "de", in, "-o", path("one.pdf") });
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(PdfPages::Count(path("one.pdf")), 1);
}

TEST_F(CliPrintFixture, MapsWritesTheTablesOfTheMapsInUse)
{
    const CliResult r = print({ in, "--maps", "-o", path("maps.pdf") });
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(PdfPages::Count(path("maps.pdf")), 1);
    if (!PdfPages::CanReadText())
        GTEST_SKIP() << "pdftotext is not installed";
    const QString text = PdfPages::Text(path("maps.pdf"));
    EXPECT_TRUE(text.contains("Values: Advance [°]")) << text.toStdString();
}

TEST_F(CliPrintFixture, FailuresExitNonZeroWithAMessageAndNoFile)
{
    QFile blocker(path("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const struct {
        QStringList args;
        int code;
        const char* message;
        QString leftOver;
    } cases[] = {
        { { in, "-o", path("blocker") + "/out.pdf" }, 1, "could not be written", path("blocker") + "/out.pdf" },
        { { path("missing.ign"), "-o", path("m.pdf") }, 2, "cannot open", path("m.pdf") },
        { { in }, 2, "usage", QString() },
        { { in, "-o", path("x.pdf"), "--pages" }, 2, "unexpected", path("x.pdf") },
        { { in, "-o", path("y.pdf"), "--all", "--maps" }, 2, "exclude each other", path("y.pdf") },
    };
    for (const auto& c : cases) {
        const CliResult r = print(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_TRUE(c.leftOver.isEmpty() || !QFile::exists(c.leftOver)) << c.leftOver.toStdString();
    }
}

} // namespace
