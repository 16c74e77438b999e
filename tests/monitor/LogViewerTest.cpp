#include "monitor/ui/LogViewer.h"

#include "LogRecording.h"
#include "TempDir.h"
#include "lang/LangString.h"
#include "monitor/LogTrace.h"
#include "monitor/ui/LogPlotPainter.h"
#include "monitor/ui/LogPlotWidget.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A viewer beside a player whose replayed engine speeds are collected, as the window's panel
// of numbers would show them.
struct LogViewerFixture : testing::Test {
    ScopedWorkDir dir;
    std::string path = dir.file("ride.ignlog");
    std::vector<int> replayedRpm;
    std::vector<std::string> messages;
    int moves = 0;
    std::unique_ptr<MonitorPlayer> player;
    std::unique_ptr<LogViewer> viewer;

    void SetUp() override
    {
        MonitorPlayer::Hooks h;
        h.clockMs = [] { return int64_t{0}; };
        h.replayMonitor = [this](const uint8_t* m) {
            replayedRpm.push_back(m[2 * MON_RPM] | (m[2 * MON_RPM + 1] << 8));
        };
        h.message = [this](const std::string& text, const std::string&) { messages.push_back(text); };
        player = std::make_unique<MonitorPlayer>(h);
        viewer = std::make_unique<LogViewer>(
            *player, [this] { ++moves; }, [this](const std::string& text) { messages.push_back(text); });
        viewer->resize(900, 600);
    }

    int ColumnOfTime(double seconds)
    {
        LogPlotWidget* w = viewer->plotWidget();
        return LogPlotPainter(viewer->plot(), w->view()).ColumnOf(w->rect(), seconds);
    }
};

} // namespace

TEST_F(LogViewerFixture, ClickAndDragMoveThePlayerToTheRecordAtThatTime)
{
    ASSERT_TRUE(WriteLogRecording(path, 50));
    ASSERT_TRUE(viewer->Open(QString::fromStdString(path)));
    EXPECT_EQ(player->state(), MonitorPlayer::PlayingPaused) << "opening starts the player on the recording";
    LogPlotWidget* w = viewer->plotWidget();
    const int rpm = LogTrace::Find("rpm");

    const int y = w->height() / 2;
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(ColumnOfTime(2.0), y));
    const int sample = viewer->plot().SampleAt(2.0);
    EXPECT_EQ(sample, 19);
    EXPECT_EQ(player->position(), viewer->plot().PositionOf(sample));
    ASSERT_FALSE(replayedRpm.empty());
    EXPECT_EQ(replayedRpm.back(), viewer->plot().values(rpm)[19]);
    EXPECT_GT(moves, 0);

    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(ColumnOfTime(1.0), y));
    QMouseEvent move(QEvent::MouseMove, QPointF(ColumnOfTime(4.0), y), w->mapToGlobal(QPointF(ColumnOfTime(4.0), y)),
        Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(ColumnOfTime(4.0), y));
    EXPECT_EQ(replayedRpm.back(), viewer->plot().values(rpm)[static_cast<size_t>(viewer->plot().SampleAt(4.0))]);

    player->SetPosition(viewer->plot().PositionOf(5));
    viewer->FollowPlayer();
    EXPECT_EQ(w->view().cursor, viewer->plot().times()[5]) << "the cursor follows the player";
}

TEST_F(LogViewerFixture, DamagedRecordingIsRefusedAndTheViewerStaysEmpty)
{
    ASSERT_TRUE(WriteLogRecording(path, 10));
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.resize(f.size() - 30);
    f.close();

    EXPECT_FALSE(viewer->Open(QString::fromStdString(path)));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], LangText(MonitorPlayer::DamagedText()));
    EXPECT_TRUE(viewer->plot().empty());
    EXPECT_EQ(player->state(), MonitorPlayer::Idle);
    QTest::mouseClick(viewer->plotWidget(), Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_TRUE(replayedRpm.empty());
}

TEST_F(LogViewerFixture, WheelZoomsAroundTheMouseAndFitAllGoesBack)
{
    ASSERT_TRUE(WriteLogRecording(path, 100));
    ASSERT_TRUE(viewer->Open(QString::fromStdString(path)));
    LogPlotWidget* w = viewer->plotWidget();
    const LogPlotView all = w->view();
    const QPointF at(ColumnOfTime(5.0), w->height() / 2);
    QWheelEvent wheel(at, w->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &wheel);
    EXPECT_LT(w->view().to - w->view().from, all.to - all.from);
    EXPECT_NEAR(LogPlotPainter(viewer->plot(), w->view()).TimeAt(w->rect(), static_cast<int>(at.x())), 5.0, 0.05);
    w->FitAll();
    EXPECT_EQ(w->view().from, all.from);
    EXPECT_EQ(w->view().to, all.to);
}

TEST_F(LogViewerFixture, ExportWritesThePlotAsPng)
{
    ASSERT_TRUE(WriteLogRecording(path, 40));
    ASSERT_TRUE(viewer->Open(QString::fromStdString(path)));
    const QString out = QString::fromStdString(dir.file("plot.png"));
    ASSERT_TRUE(viewer->ExportPng(out));
    const QImage picture(out);
    ASSERT_EQ(picture.size(), viewer->plotWidget()->size());
    const QRgb rpm = 0xFF000000u | LogTrace::All()[static_cast<size_t>(LogTrace::Find("rpm"))].rgb;
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            n += picture.pixel(x, y) == rpm;
    EXPECT_GT(n, 100);
}

// File > Open of the viewer starts where the last recording lies, never in the working folder,
// and names the file type in the user's language.
TEST_F(LogViewerFixture, OpenStartsInTheRecordingsFolderWithTheFileTypeInTheLanguage)
{
    const std::string rides = dir.file("rides");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(rides)));
    const std::string ride = rides + "/ride.ignlog";
    ASSERT_TRUE(WriteLogRecording(ride, 10));
    ASSERT_TRUE(viewer->Open(QString::fromStdString(ride)));
    LanguageIndex = LANG_GERMAN;
    QString shownFolder;
    QStringList shownTypes;
    // The dialog runs its own event loop: it is looked at from inside it and cancelled.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            shownFolder = dialog->directory().absolutePath();
            shownTypes = dialog->nameFilters();
            dialog->reject();
        }
    });
    poll.start(10);
    QAction* open = nullptr;
    for (QAction* a : viewer->findChildren<QAction*>())
        if (a->shortcut() == QKeySequence(QKeySequence::Open))
            open = a;
    ASSERT_NE(open, nullptr);
    open->trigger();
    LanguageIndex = LANG_ENGLISH;
    EXPECT_EQ(shownFolder, QFileInfo(QString::fromStdString(rides)).absoluteFilePath());
    EXPECT_EQ(shownTypes, QStringList { "IGN-Protokolldatei (*.ignlog)" });
    EXPECT_EQ(viewer->plot().empty(), false) << "cancelling keeps the recording shown";
}
