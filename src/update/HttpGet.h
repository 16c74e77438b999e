#pragma once

#include <atomic>
#include <string>

// One HTTP GET of an http:// address into memory, blocking the calling thread. The connection
// must stand within connectTimeoutMs; afterwards the answer may pause at most idleTimeoutMs at a
// time. The body is refused when it exceeds maxBytes. `stop` breaks off the transfer within
// about 50 ms once the connection stands. Returns whether a "200" answer arrived complete.
struct HttpGetOptions {
    int connectTimeoutMs = 2000;
    int idleTimeoutMs = 20000;
    size_t maxBytes = 10000000;
    const std::atomic<bool>* stop = nullptr;
};

bool HttpGet(const std::string& url, const HttpGetOptions& options, std::string& body);

// Splits a whole HTTP/1.x answer into its body; false for a status other than 200 or a body
// shorter than announced. Chunked bodies are decoded.
bool ParseHttpAnswer(const std::string& answer, std::string& body);
