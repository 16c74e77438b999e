#include "TestHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QThread>

namespace {

QByteArray DataFile(const char* name)
{
    QFile f(QString(VORDAX4_TEST_DATA) + "/" + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QSslCertificate TestCertificate() { return QSslCertificate(DataFile("loopback-cert.pem"), QSsl::Pem); }

} // namespace

TestHttpServer::TestHttpServer(QByteArray answer, bool silent, Transport transport)
    : transport_(transport)
    , answer_(std::move(answer))
    , silent_(silent)
{
    if (transport == Transport::Tls) {
        auto tls = std::make_unique<QSslServer>();
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(TestCertificate());
        configuration.setPrivateKey(QSslKey(DataFile("loopback-key.pem"), QSsl::Rsa, QSsl::Pem));
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        tls->setSslConfiguration(configuration);
        server_ = std::move(tls);
    } else {
        server_ = std::make_unique<QTcpServer>();
    }
    server_->listen(QHostAddress::LocalHost, 0);
    connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this, &TestHttpServer::onConnection);
}

void TestHttpServer::TrustTestCertificate(bool trusted)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    QList<QSslCertificate> authorities = configuration.caCertificates();
    authorities.removeAll(TestCertificate());
    if (trusted)
        authorities << TestCertificate();
    configuration.setCaCertificates(authorities);
    QSslConfiguration::setDefaultConfiguration(configuration);
}

TestHttpServer::~TestHttpServer()
{
    for (QTcpSocket* s : held_)
        s->abort();
}

QByteArray TestHttpServer::Ok(const std::string& body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " + QByteArray::number(qsizetype(body.size()))
        + "\r\nConnection: close\r\n\r\n" + QByteArray(body.data(), qsizetype(body.size()));
}

std::string TestHttpServer::url(const std::string& path) const
{
    const char* scheme = transport_ == Transport::Tls ? "https" : "http";
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(server_->serverPort()) + path;
}

void TestHttpServer::onConnection()
{
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        ++connections_;
        held_.append(socket);
        if (silent_)
            continue;
        const auto answer = [this, socket] {
            lastRequest_ += socket->readAll();
            if (lastRequest_.contains("\r\n\r\n")) {
                socket->write(answer_);
                socket->disconnectFromHost();
            }
        };
        connect(socket, &QTcpSocket::readyRead, this, answer);
        // A TLS connection is handed over after its handshake, perhaps with the request already in.
        if (socket->bytesAvailable())
            answer();
    }
}

bool PumpUntil(const std::function<bool()>& done, int deadlineMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < deadlineMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return done();
}
