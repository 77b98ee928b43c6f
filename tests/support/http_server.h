// A small HTTP/1.1 server on 127.0.0.1 for tests of code that fetches URLs. It listens on
// an ephemeral port, serves scripted responses by request path (one request per
// connection, then it closes) and records the requests it received.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

struct HttpResponse {
    enum class Framing {
        ContentLength, // "Content-Length: <size of body>"
        Close,         // no length: the body ends when the connection closes
        Chunked,       // "Transfer-Encoding: chunked", in chunks of at most 4096 bytes
    };
    static constexpr size_t kWholeBody = static_cast<size_t>(-1);

    int status = 200;
    std::string body{};
    Framing framing = Framing::ContentLength;
    std::vector<std::string> headers{}; // extra header lines, e.g. "Location: /elsewhere"
    // Only this many bytes of the body are sent (the framing still announces all of it;
    // a chunked body then lacks its last chunk). Then the connection closes, or with
    // `stall` stays open, silent, until ReleaseStalls or the server's end.
    size_t sendBytes = kWholeBody;
    bool stall = false;
};

class HttpServer {
public:
    HttpServer();  // listening when constructed; throws std::runtime_error when it cannot
    ~HttpServer(); // ends stalls, closes every connection and joins its threads
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    uint16_t Port() const { return port_; }
    // "http://127.0.0.1:<port><path>"; `path` starts with '/'.
    std::string Url(const std::string& path) const;

    // Answers requests for `path` (the request target, query included) with `response`.
    // Unknown paths get a 404 with an empty body.
    void Serve(const std::string& path, HttpResponse response);
    // Lets every stalled response close its connection.
    void ReleaseStalls();

    // Requests received for `path` so far (counted once their headers are in).
    int RequestCount(const std::string& path) const;
    // A header of the latest request (name compared without regard to case); empty
    // when there was no request or it lacked the header.
    std::string LastRequestHeader(const std::string& name) const;

private:
    void AcceptLoop();
    void HandleConnection(int socket);
    bool ReadRequest(int socket, std::string& path, std::map<std::string, std::string>& headers);
    bool WaitReadable(int socket);

    int listener_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    uint16_t port_ = 0;
    std::thread acceptor_;

    mutable std::mutex lock_;
    std::condition_variable released_;
    bool stopping_ = false;
    uint64_t releaseCount_ = 0;
    std::map<std::string, HttpResponse> responses_;
    std::map<std::string, int> requestCounts_;
    std::map<std::string, std::string> lastHeaders_; // names in lower case
    std::vector<std::thread> connections_;
};

// A loopback port on which nothing listens, so connecting is refused at once. The port
// stays reserved (bound, not listening) while the object lives.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    uint16_t Port() const { return port_; }

private:
    int socket_ = -1;
    uint16_t port_ = 0;
};

} // namespace test_support
