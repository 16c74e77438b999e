#include "update/HttpGet.h"

#include "TestHttpServer.h"

#include <QThread>

#include <atomic>
#include <functional>

#include <gtest/gtest.h>

namespace {

struct Fetch {
    bool ok = false;
    std::string body;
};

// HttpGet blocks; it runs on its own thread while this one serves the test server. The thread's
// last act is a release store, so the results are handed over visibly to ThreadSanitizer too
// (QThread::wait is not instrumented).
template <typename Work> void RunWhilePumping(Work work, const std::function<void()>& whileRunning = {})
{
    std::atomic<bool> finished { false };
    std::unique_ptr<QThread> thread(QThread::create([&] {
        work();
        finished.store(true, std::memory_order_release);
    }));
    thread->start();
    if (whileRunning)
        whileRunning();
    EXPECT_TRUE(PumpUntil([&] { return finished.load(std::memory_order_acquire); }));
    thread->wait();
}

Fetch FetchWhilePumping(const std::string& url, HttpGetOptions options = {})
{
    Fetch result;
    RunWhilePumping([&] { result.ok = HttpGet(url, options, result.body); });
    return result;
}

} // namespace

TEST(HttpGet, AnswersFromARealServer)
{
    struct Case {
        const char* what;
        QByteArray answer;
        bool ok;
        const char* body;
    } cases[] = {
        { "content length", TestHttpServer::Ok("<patches/>"), true, "<patches/>" },
        { "empty body", TestHttpServer::Ok(""), true, "" },
        { "no length: until closed", "HTTP/1.0 200 OK\r\n\r\nall of it", true, "all of it" },
        { "chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nabcd\r\n3\r\nefg\r\n0\r\n\r\n", true,
            "abcdefg" },
        { "not found", "HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nno!", false, "" },
        { "redirect is not followed", "HTTP/1.1 301 Moved\r\nLocation: http://x/\r\n\r\n", false, "" },
        { "shorter than announced", "HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\nshort", false, "" },
        { "not HTTP", "hello", false, "" },
    };
    for (const Case& c : cases) {
        TestHttpServer server(c.answer);
        const Fetch f = FetchWhilePumping(server.url());
        EXPECT_EQ(f.ok, c.ok) << c.what;
        EXPECT_EQ(f.body, c.body) << c.what;
    }
}

TEST(HttpGet, SendsOneGetOfThePath)
{
    TestHttpServer server(TestHttpServer::Ok("x"));
    FetchWhilePumping(server.url("/old/patch.xml"));
    EXPECT_EQ(server.connections(), 1);
    EXPECT_TRUE(server.lastRequest().startsWith("GET /old/patch.xml HTTP/1.1\r\n")) << server.lastRequest().constData();
    EXPECT_TRUE(server.lastRequest().contains("\r\nHost: 127.0.0.1:")) << server.lastRequest().constData();
}

TEST(HttpGet, BodiesAboveTheLimitAreRefused)
{
    TestHttpServer server(TestHttpServer::Ok(std::string(5000, 'x')));
    HttpGetOptions options;
    options.maxBytes = 4999;
    EXPECT_FALSE(FetchWhilePumping(server.url(), options).ok);
    options.maxBytes = 5000;
    EXPECT_TRUE(FetchWhilePumping(server.url(), options).ok);
}

TEST(HttpGet, UnusableAddressesFailAtOnce)
{
    std::string body;
    for (const char* url : { "", "ftp://127.0.0.1/x", "file:///etc/passwd", "http:///nohost", "not a url" })
        EXPECT_FALSE(HttpGet(url, {}, body)) << url;
}

TEST(HttpGet, ClosedPortFails)
{
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    std::string body;
    EXPECT_FALSE(HttpGet("http://127.0.0.1:" + std::to_string(port) + "/old/patch.xml", {}, body));
}

TEST(HttpGet, SilentServerEndsByIdleTimeOutOrStop)
{
    TestHttpServer server({}, true);
    HttpGetOptions options;
    options.idleTimeoutMs = 200;
    EXPECT_FALSE(FetchWhilePumping(server.url(), options).ok);

    std::atomic<bool> stop { false };
    options.idleTimeoutMs = 60000;
    options.stop = &stop;
    Fetch result;
    RunWhilePumping([&] { result.ok = HttpGet(server.url(), options, result.body); },
        [&] {
            PumpUntil([&] { return server.connections() == 2; });
            stop = true;
        });
    EXPECT_FALSE(result.ok);
}

// HTTPS is checked against the trusted certificates: a server the configuration trusts answers, an
// unknown certificate or a plain-HTTP answer where HTTPS was asked for is refused.
TEST(HttpGet, HttpsAnswersOnlyWithATrustedCertificate)
{
    const QByteArray answer = TestHttpServer::Ok("<patches/>");
    TestHttpServer tls(answer, false, TestHttpServer::Transport::Tls);
    TestHttpServer plain(answer);
    std::string asHttps = plain.url();
    asHttps.replace(0, 4, "https");
    EXPECT_FALSE(FetchWhilePumping(tls.url()).ok) << "a certificate nobody trusts";
    TestHttpServer::TrustTestCertificate(true);
    const Fetch trusted = FetchWhilePumping(tls.url());
    const Fetch plainAnswer = FetchWhilePumping(asHttps);
    TestHttpServer::TrustTestCertificate(false);
    EXPECT_TRUE(trusted.ok);
    EXPECT_EQ(trusted.body, "<patches/>");
    EXPECT_FALSE(plainAnswer.ok) << "a plain-HTTP answer to an HTTPS request";
    EXPECT_TRUE(plainAnswer.body.empty());
}
