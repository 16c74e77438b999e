#include "TestHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

TestHttpServer::TestHttpServer(QByteArray answer, bool silent)
    : answer_(std::move(answer))
    , silent_(silent)
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, &TestHttpServer::onConnection);
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
    return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + path;
}

void TestHttpServer::onConnection()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        ++connections_;
        held_.append(socket);
        if (silent_)
            continue;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            lastRequest_ += socket->readAll();
            if (lastRequest_.contains("\r\n\r\n")) {
                socket->write(answer_);
                socket->disconnectFromHost();
            }
        });
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
