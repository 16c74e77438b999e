#pragma once

#include <atomic>
#include <string>

// One GET of an https:// address (or of an address that names http:// explicitly) into memory,
// blocking the calling thread, through Qt's network access with the system's certificate checks:
// an answer whose certificate does not check out, or that is not TLS at all where TLS was asked
// for, is refused. The connection (TLS handshake included) must stand within connectTimeoutMs;
// afterwards the answer may pause at most idleTimeoutMs at a time. The body is refused when it
// exceeds maxBytes; redirections are not followed. `stop` breaks off the transfer within about
// 50 ms. Returns whether a "200" answer arrived complete.
struct HttpGetOptions {
    int connectTimeoutMs = 2000;
    int idleTimeoutMs = 20000;
    size_t maxBytes = 10000000;
    const std::atomic<bool>* stop = nullptr;
};

bool HttpGet(const std::string& url, const HttpGetOptions& options, std::string& body);
