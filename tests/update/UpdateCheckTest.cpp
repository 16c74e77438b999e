#include "base/TickClock.h"
#include "lang/LangString.h"
#include "update/UpdateCheck.h"

#include "TestHttpServer.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

// Records what the check asks of the window; the dialog answers with `result`.
class RecordingHost : public UpdateCheckHost {
public:
    void SetStatusText(const std::string& text) override { status.push_back(text); }
    int ShowPatchDialog(const UpdateOffer& offer) override
    {
        offers.push_back(offer);
        return result;
    }
    void OpenLink(const std::string& link) override { opened.push_back(link); }
    void ShowMessage(const std::string& caption, const std::string& text) override
    {
        messages.push_back(caption + "|" + text);
    }
    void SaveSettings() override { ++saves; }
    void CloseMainWindow() override { ++closes; }

    int result = 2;
    std::vector<std::string> status;
    std::vector<UpdateOffer> offers;
    std::vector<std::string> opened;
    std::vector<std::string> messages;
    int saves = 0;
    int closes = 0;
};

std::string Document(const std::string& download = "http://example.com/vordax4_setup.exe")
{
    return "<patches><product class=\"VORDAX4\" key=\"93\">"
           "<recommendation update_number=\"5\"><english>five</english></recommendation>"
           "<recommendation update_number=\"7\" from=\"2020_01_01\"><english>seven</english><czech>sedm</czech>"
           "<web>http://example.com/</web><download>"
        + download + "</download></recommendation></product></patches>";
}

class PatchCheck : public testing::Test {
protected:
    PatchCheck() { TickMs = 0; }
    ~PatchCheck() override
    {
        TickMs = 0;
        LanguageIndex = LANG_ENGLISH;
    }

    // Ticks the way the main window does (50 ms per tick, from its start) until the check has
    // evaluated a document or the wall-clock deadline passes.
    void TickUntil(UpdateCheck& check, const std::function<bool()>& done, int deadlineMs = 10000)
    {
        PumpUntil(
            [&] {
                TickMs += MS_PER_TICK;
                check.Tick();
                return done();
            },
            deadlineMs);
    }

    RecordingHost host;
    PatchSettings settings;
};

} // namespace

TEST_F(PatchCheck, NoRequestBeforeTwoSecondsThenOneGet)
{
    TestHttpServer server(TestHttpServer::Ok(Document()));
    settings.address = server.url();
    UpdateCheck check(host, settings, "2020_01_27");
    check.Start(false);
    TickMs = 2000;
    check.Tick();
    EXPECT_EQ(check.state(), UpdateCheck::IDLE);
    EXPECT_TRUE(host.status.empty());
    TickMs = 2050;
    check.Tick();
    EXPECT_EQ(check.state(), UpdateCheck::REQUESTED);
    ASSERT_EQ(host.status.size(), 1u);
    EXPECT_EQ(host.status[0], "Trying updates...");
    TickUntil(check, [&] { return check.state() == UpdateCheck::EVALUATED; });
    EXPECT_EQ(check.state(), UpdateCheck::EVALUATED);
    EXPECT_EQ(server.connections(), 1);
    EXPECT_TRUE(server.lastRequest().startsWith("GET /old/patch.xml "));
    ASSERT_EQ(host.offers.size(), 1u);
    EXPECT_EQ(host.offers[0].updateNumber, 7);
    EXPECT_EQ(host.offers[0].description, "seven");
    EXPECT_EQ(host.status.back(), "") << "status panel 0 is cleared after the dialog";
    // Once per run: later ticks change nothing.
    TickUntil(
        check, [] { return false; }, 200);
    EXPECT_EQ(host.offers.size(), 1u);
    EXPECT_EQ(server.connections(), 1);
}

TEST_F(PatchCheck, NoPatchCheckMakesNoRequest)
{
    TestHttpServer server(TestHttpServer::Ok(Document()));
    settings.address = server.url();
    UpdateCheck check(host, settings, "2020_01_27");
    check.Start(true);
    TickMs = 10000;
    TickUntil(
        check, [] { return false; }, 300);
    EXPECT_EQ(check.state(), UpdateCheck::IDLE);
    EXPECT_EQ(server.connections(), 0);
    EXPECT_TRUE(host.status.empty());
}

TEST_F(PatchCheck, DownloadResultsOpenTheLinkAndCloseTheWindow)
{
    struct Case {
        const char* link;
        int language;
        const char* message;
    } cases[] = {
        { "http://example.com/vordax4_setup.exe", LANG_ENGLISH, "Downloading|After downloading run new installer." },
        { "http://example.com/vordax4.exe", LANG_ENGLISH,
            "Downloading|After downloading store new version to suitable location instead of current version." },
        { "http://example.com/vordax4_setup.exe", LANG_GERMAN, "Downloading|After downloading run new installer." },
        { "http://example.com/setup.exe", LANG_CZECH, "Stahování|Po stažení spusťte nový instalátor." },
        { "http://example.com/new.zip", LANG_CZECH,
            "Stahování|Po stažení novou verzi uložte do vhodné lokace namísto stávající verze." },
    };
    for (const Case& c : cases) {
        TestHttpServer server(TestHttpServer::Ok(Document(c.link)));
        RecordingHost recording;
        recording.result = 1;
        settings.address = server.url();
        LanguageIndex = c.language;
        TickMs = 2000;
        UpdateCheck check(recording, settings, "2020_01_27");
        check.Start(false);
        TickUntil(check, [&] { return check.state() == UpdateCheck::EVALUATED; });
        ASSERT_EQ(recording.offers.size(), 1u) << c.link;
        EXPECT_EQ(recording.offers[0].description, c.language == LANG_CZECH ? "sedm" : "seven");
        EXPECT_EQ(recording.opened, std::vector<std::string> { c.link });
        EXPECT_EQ(recording.messages, std::vector<std::string> { c.message });
        EXPECT_EQ(recording.closes, 1);
        EXPECT_EQ(recording.saves, 0);
    }
}

TEST_F(PatchCheck, DeclinedNumberIsKeptAndSaved)
{
    TestHttpServer server(TestHttpServer::Ok(Document()));
    settings.address = server.url();
    host.result = 3;
    {
        UpdateCheck check(host, settings, "2020_01_27");
        check.Start(false);
        TickUntil(check, [&] { return check.state() == UpdateCheck::EVALUATED; });
    }
    EXPECT_EQ(settings.declinedUpdateNumber, 7);
    EXPECT_EQ(host.saves, 1);
    EXPECT_EQ(host.closes, 0);
    EXPECT_TRUE(host.opened.empty());

    UpdateCheck again(host, settings, "2020_01_27");
    again.Start(false);
    TickUntil(again, [&] { return again.state() == UpdateCheck::EVALUATED; });
    EXPECT_EQ(host.offers.size(), 1u) << "a declined update is not offered again";
    EXPECT_FALSE(again.dialogShown());
}

TEST_F(PatchCheck, UpdateNumberZeroIsNeverShown)
{
    TestHttpServer server(
        TestHttpServer::Ok("<product class=\"VORDAX4\" key=\"93\"><recommendation><english>x</english>"
                           "</recommendation></product>"));
    settings.address = server.url();
    UpdateCheck check(host, settings, "2020_01_27");
    check.Start(false);
    TickUntil(check, [&] { return check.state() == UpdateCheck::EVALUATED; });
    EXPECT_EQ(check.state(), UpdateCheck::EVALUATED);
    EXPECT_TRUE(host.offers.empty());
}

TEST_F(PatchCheck, FailedDownloadsEndSilently)
{
    const QByteArray answers[] = { "HTTP/1.1 404 Not Found\r\n\r\n", "HTTP/1.1 200 OK\r\n\r\nno product here" };
    for (const QByteArray& answer : answers) {
        TestHttpServer server(answer);
        RecordingHost recording;
        settings.address = server.url();
        TickMs = 2000;
        UpdateCheck check(recording, settings, "2020_01_27");
        check.Start(false);
        TickUntil(check, [&] { return check.state() >= UpdateCheck::DOWNLOADED; });
        TickUntil(
            check, [] { return false; }, 100);
        EXPECT_TRUE(recording.offers.empty());
        EXPECT_EQ(recording.status, std::vector<std::string> { "Trying updates..." });
    }
}

// A server that accepts and never answers: the user-interface thread keeps ticking freely, and
// stopping at shutdown breaks the transfer off.
TEST_F(PatchCheck, SilentServerNeverBlocksTheWindow)
{
    TestHttpServer server({}, true);
    settings.address = server.url();
    UpdateCheck check(host, settings, "2020_01_27");
    check.Start(false);
    TickUntil(check, [&] { return server.connections() == 1; });
    ASSERT_EQ(server.connections(), 1);
    QElapsedTimer ticking;
    ticking.start();
    for (int i = 0; i < 100; ++i) {
        TickMs += MS_PER_TICK;
        check.Tick();
    }
    EXPECT_LT(ticking.elapsed(), 1000) << "a tick never waits for the network";
    EXPECT_EQ(check.state(), UpdateCheck::REQUESTED);
    QElapsedTimer stopping;
    stopping.start();
    check.Stop();
    EXPECT_LT(stopping.elapsed(), 2000);
    EXPECT_TRUE(host.offers.empty());
}

TEST_F(PatchCheck, SilentServerEndsAfterTheIdleTimeOut)
{
    TestHttpServer server({}, true);
    settings.address = server.url();
    UpdateCheck check(host, settings, "2020_01_27");
    check.httpOptions().idleTimeoutMs = 200;
    check.Start(false);
    TickUntil(check, [&] { return check.state() == UpdateCheck::DOWNLOADED; });
    EXPECT_EQ(check.state(), UpdateCheck::DOWNLOADED);
    EXPECT_FALSE(check.hasDocument());
    EXPECT_TRUE(host.offers.empty());
}

TEST(PatchCheckAddress, WithoutAnAddressNothingIsAsked)
{
    if (!DefaultUpdateAddress().empty())
        GTEST_SKIP() << "this build names an update address";
    RecordingHost host;
    PatchSettings settings;
    UpdateCheck check(host, settings, "2026_12_10");
    check.Start(false);
    for (int tick = 0; tick < 100; ++tick) {
        TickMs = tick * 50;
        check.Tick();
    }
    EXPECT_FALSE(check.hasDocument());
    EXPECT_TRUE(host.offers.empty());
    check.Stop();
}

TEST(PatchAddress, DefaultAndPathRules)
{
    EXPECT_EQ(UpdateAddress(""), DefaultUpdateAddress());
    EXPECT_TRUE(DefaultUpdateAddress().empty() || DefaultUpdateAddress().find("/old/patch.xml") != std::string::npos);
    EXPECT_EQ(UpdateAddress("http://updates.example.com"), "http://updates.example.com/old/patch.xml");
    EXPECT_EQ(UpdateAddress("http://127.0.0.1:8080/"), "http://127.0.0.1:8080/old/patch.xml");
    EXPECT_EQ(UpdateAddress("http://h/other/doc.xml"), "http://h/other/doc.xml");
    EXPECT_EQ(UpdateAddress("updates.example.com"), "https://updates.example.com/old/patch.xml")
        << "plain HTTP only when the address says so";
    EXPECT_EQ(UpdateAddress("https://updates.example.com"), "https://updates.example.com/old/patch.xml");
}
