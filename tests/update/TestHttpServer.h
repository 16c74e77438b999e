#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <memory>
#include <string>

// A real HTTP server on 127.0.0.1 for the tests. It either answers every request with a fixed
// answer and closes the connection, or (silent) accepts connections and never answers. With TLS
// it is an HTTPS server with the self-signed certificate of tests/update/data, which a test trusts
// with TrustTestCertificate.
class TestHttpServer : public QObject {
    Q_OBJECT

public:
    enum class Transport { Plain, Tls };
    explicit TestHttpServer(QByteArray answer, bool silent = false, Transport transport = Transport::Plain);
    // Makes the test certificate trusted by every TLS connection of this process (or no longer).
    static void TrustTestCertificate(bool trusted);
    ~TestHttpServer() override;

    static QByteArray Ok(const std::string& body);

    std::string url(const std::string& path = "/old/patch.xml") const;
    int connections() const { return connections_; }
    QByteArray lastRequest() const { return lastRequest_; }

private:
    void onConnection();

    std::unique_ptr<QTcpServer> server_;
    Transport transport_;
    QByteArray answer_;
    bool silent_;
    int connections_ = 0;
    QByteArray lastRequest_;
    QList<QTcpSocket*> held_;
};

// Processes events until done() holds or the deadline passes; returns done().
bool PumpUntil(const std::function<bool()>& done, int deadlineMs = 10000);
