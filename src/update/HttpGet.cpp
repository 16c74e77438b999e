#include "update/HttpGet.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QUrl>

#include <cctype>
#include <cstdlib>

namespace {

constexpr int POLL_MS = 50;

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The value of a header (name in lower case) among the header lines, or empty.
std::string Header(const std::string& headers, const std::string& name)
{
    const std::string lower = Lower(headers);
    const size_t at = lower.find("\r\n" + name + ":");
    if (at == std::string::npos)
        return {};
    const size_t start = at + 3 + name.size();
    const size_t end = headers.find("\r\n", start);
    std::string value = headers.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const size_t first = value.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : value.substr(first);
}

bool DecodeChunked(const std::string& data, std::string& body)
{
    body.clear();
    size_t pos = 0;
    while (true) {
        const size_t lineEnd = data.find("\r\n", pos);
        if (lineEnd == std::string::npos)
            return false;
        const std::string sizeText = data.substr(pos, lineEnd - pos);
        char* end = nullptr;
        const unsigned long long size = std::strtoull(sizeText.c_str(), &end, 16);
        if (end == sizeText.c_str())
            return false;
        pos = lineEnd + 2;
        if (size == 0)
            return true;
        if (size > data.size() - pos)
            return false;
        body.append(data, pos, size);
        pos += size;
        if (data.compare(pos, 2, "\r\n") != 0)
            return false;
        pos += 2;
    }
}

} // namespace

bool ParseHttpAnswer(const std::string& answer, std::string& body)
{
    const size_t headerEnd = answer.find("\r\n\r\n");
    if (headerEnd == std::string::npos || answer.compare(0, 5, "HTTP/") != 0)
        return false;
    const size_t space = answer.find(' ');
    if (space == std::string::npos || space > headerEnd || answer.compare(space + 1, 3, "200") != 0)
        return false;
    const std::string headers = answer.substr(0, headerEnd + 2);
    const std::string data = answer.substr(headerEnd + 4);
    if (Lower(Header(headers, "transfer-encoding")).find("chunked") != std::string::npos)
        return DecodeChunked(data, body);
    const std::string length = Header(headers, "content-length");
    if (!length.empty()) {
        char* end = nullptr;
        const unsigned long long n = std::strtoull(length.c_str(), &end, 10);
        if (end == length.c_str() || n > data.size())
            return false;
        body = data.substr(0, n);
        return true;
    }
    body = data;
    return true;
}

bool HttpGet(const std::string& url, const HttpGetOptions& options, std::string& body)
{
    body.clear();
    const QUrl address(QString::fromStdString(url));
    if (!address.isValid() || address.scheme() != "http" || address.host().isEmpty())
        return false;
    QTcpSocket socket;
    socket.connectToHost(address.host(), static_cast<quint16>(address.port(80)));
    if (!socket.waitForConnected(options.connectTimeoutMs))
        return false;
    QByteArray path = address.path(QUrl::FullyEncoded).toUtf8();
    if (path.isEmpty())
        path = "/";
    if (address.hasQuery())
        path += "?" + address.query(QUrl::FullyEncoded).toUtf8();
    // HTTP/1.0 with "Connection: close": the server ends the answer by closing the connection.
    const QByteArray request = "GET " + path + " HTTP/1.0\r\nHost: " + address.authority().toUtf8()
        + "\r\nUser-Agent: VORDAX4\r\nAccept: */*\r\nConnection: close\r\n\r\n";
    socket.write(request);
    if (!socket.waitForBytesWritten(options.connectTimeoutMs))
        return false;

    std::string answer;
    QElapsedTimer idle;
    idle.start();
    while (true) {
        if (options.stop && options.stop->load(std::memory_order_acquire))
            return false;
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(POLL_MS)) {
            if (socket.state() != QAbstractSocket::ConnectedState && socket.bytesAvailable() == 0)
                break;
            if (idle.elapsed() > options.idleTimeoutMs)
                return false;
            continue;
        }
        const QByteArray chunk = socket.readAll();
        answer.append(chunk.constData(), static_cast<size_t>(chunk.size()));
        if (answer.size() > options.maxBytes + 65536)
            return false;
        idle.restart();
    }
    if (!ParseHttpAnswer(answer, body) || body.size() > options.maxBytes) {
        body.clear();
        return false;
    }
    return true;
}
