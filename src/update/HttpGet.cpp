#include "update/HttpGet.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {

constexpr int POLL_MS = 50;

// The one download of a GET: its reply, the timers that end it and the body read so far.
class Transfer {
public:
    Transfer(QNetworkReply& reply, const HttpGetOptions& options)
        : reply_(reply)
        , options_(options)
    {
        connectTimer_.setSingleShot(true);
        idleTimer_.setSingleShot(true);
        QObject::connect(&connectTimer_, &QTimer::timeout, &reply_, [this] { Fail(); });
        QObject::connect(&idleTimer_, &QTimer::timeout, &reply_, [this] { Fail(); });
        QObject::connect(&stopPoll_, &QTimer::timeout, &reply_, [this] {
            if (options_.stop && options_.stop->load(std::memory_order_acquire))
                Fail();
        });
        // The request is on its way once the connection (and its TLS handshake) stands.
        QObject::connect(&reply_, &QNetworkReply::requestSent, &reply_, [this] {
            connectTimer_.stop();
            idleTimer_.start(options_.idleTimeoutMs);
        });
        QObject::connect(&reply_, &QNetworkReply::readyRead, &reply_, [this] { Take(); });
        QObject::connect(&reply_, &QNetworkReply::finished, &loop_, &QEventLoop::quit);
    }

    bool Run(std::string& body)
    {
        connectTimer_.start(options_.connectTimeoutMs);
        stopPoll_.start(POLL_MS);
        if (!reply_.isFinished())
            loop_.exec();
        Take();
        const int status = reply_.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (failed_ || reply_.error() != QNetworkReply::NoError || status != 200)
            return false;
        body = std::move(body_);
        return true;
    }

private:
    void Take()
    {
        const QByteArray chunk = reply_.readAll();
        if (chunk.isEmpty())
            return;
        body_.append(chunk.constData(), static_cast<size_t>(chunk.size()));
        if (body_.size() > options_.maxBytes)
            Fail();
        else if (idleTimer_.isActive())
            idleTimer_.start(options_.idleTimeoutMs);
    }

    void Fail()
    {
        failed_ = true;
        reply_.abort();
    }

    QNetworkReply& reply_;
    const HttpGetOptions& options_;
    QEventLoop loop_;
    QTimer connectTimer_;
    QTimer idleTimer_;
    QTimer stopPoll_;
    std::string body_;
    bool failed_ = false;
};

} // namespace

bool HttpGet(const std::string& url, const HttpGetOptions& options, std::string& body)
{
    body.clear();
    const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || (scheme != "https" && scheme != "http") || address.host().isEmpty())
        return false;
    QNetworkRequest request(address);
    request.setHeader(QNetworkRequest::UserAgentHeader, "VORDAX4");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    // The manager lives on the calling thread for this one request: nothing is shared between runs.
    QNetworkAccessManager manager;
    manager.setAutoDeleteReplies(false);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    return Transfer(*reply, options).Run(body);
}
