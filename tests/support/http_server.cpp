#include "support/http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace test_support {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

const char* Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

int BindLoopback(uint16_t& port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        throw std::runtime_error("bind failed");
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Waits until `socket` has something for `events`; false once the server is stopping.
bool WaitFor(int socket, short events, int wakeRead) {
    pollfd fds[2] = {{socket, events, 0}, {wakeRead, POLLIN, 0}};
    for (;;) {
        int ready = poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || (fds[1].revents & POLLIN)) return false;
        if (fds[0].revents) return true;
    }
}

std::string EncodeBody(const HttpResponse& response) {
    std::string sent = response.body.substr(0, std::min(response.sendBytes, response.body.size()));
    if (response.framing != HttpResponse::Framing::Chunked) return sent;
    constexpr size_t kChunk = 4096;
    std::string encoded;
    for (size_t offset = 0; offset < sent.size(); offset += kChunk) {
        size_t size = std::min(kChunk, sent.size() - offset);
        char line[32];
        std::snprintf(line, sizeof line, "%zx\r\n", size);
        encoded += line;
        encoded.append(sent, offset, size);
        encoded += "\r\n";
    }
    if (sent.size() == response.body.size()) encoded += "0\r\n\r\n";
    return encoded;
}

} // namespace

HttpServer::HttpServer() {
    listener_ = BindLoopback(port_);
    int pipeEnds[2];
    if (listen(listener_, 16) != 0 || pipe2(pipeEnds, O_CLOEXEC) != 0) {
        close(listener_);
        throw std::runtime_error("listen failed");
    }
    wakeRead_ = pipeEnds[0];
    wakeWrite_ = pipeEnds[1];
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

HttpServer::~HttpServer() {
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
    }
    released_.notify_all();
    // Never drained: every wait on the pipe sees it readable from now on.
    char wake = 1;
    (void)!write(wakeWrite_, &wake, 1);
    acceptor_.join();
    for (std::thread& connection : connections_)
        connection.join();
    close(listener_);
    close(wakeRead_);
    close(wakeWrite_);
}

std::string HttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void HttpServer::Serve(const std::string& path, HttpResponse response) {
    std::lock_guard guard(lock_);
    responses_[path] = std::move(response);
}

void HttpServer::ReleaseStalls() {
    {
        std::lock_guard guard(lock_);
        ++releaseCount_;
    }
    released_.notify_all();
}

int HttpServer::RequestCount(const std::string& path) const {
    std::lock_guard guard(lock_);
    auto it = requestCounts_.find(path);
    return it == requestCounts_.end() ? 0 : it->second;
}

std::string HttpServer::LastRequestHeader(const std::string& name) const {
    std::lock_guard guard(lock_);
    auto it = lastHeaders_.find(Lower(name));
    return it == lastHeaders_.end() ? std::string() : it->second;
}

bool HttpServer::WaitReadable(int socket) {
    return WaitFor(socket, POLLIN, wakeRead_);
}

void HttpServer::AcceptLoop() {
    while (WaitReadable(listener_)) {
        int socket = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0) continue;
        std::lock_guard guard(lock_);
        connections_.emplace_back([this, socket] {
            HandleConnection(socket);
            close(socket);
        });
    }
}

bool HttpServer::ReadRequest(int socket, std::string& path,
                             std::map<std::string, std::string>& headers) {
    std::string request;
    size_t end;
    while ((end = request.find("\r\n\r\n")) == std::string::npos) {
        if (request.size() > 65536 || !WaitReadable(socket)) return false;
        char buffer[4096];
        ssize_t received = recv(socket, buffer, sizeof buffer, 0);
        if (received <= 0) return false;
        request.append(buffer, static_cast<size_t>(received));
    }
    size_t lineEnd = request.find("\r\n");
    std::string line = request.substr(0, lineEnd);
    size_t first = line.find(' ');
    size_t second = line.find(' ', first + 1);
    if (first == std::string::npos || second == std::string::npos) return false;
    path = line.substr(first + 1, second - first - 1);
    for (size_t start = lineEnd + 2; start < end;) {
        size_t stop = request.find("\r\n", start);
        std::string header = request.substr(start, stop - start);
        size_t colon = header.find(':');
        if (colon != std::string::npos) {
            size_t value = header.find_first_not_of(' ', colon + 1);
            headers[Lower(header.substr(0, colon))] =
                value == std::string::npos ? std::string() : header.substr(value);
        }
        start = stop + 2;
    }
    return true;
}

void HttpServer::HandleConnection(int socket) {
    std::string path;
    std::map<std::string, std::string> headers;
    if (!ReadRequest(socket, path, headers)) return;
    HttpResponse response{.status = 404};
    uint64_t releaseMark;
    {
        std::lock_guard guard(lock_);
        ++requestCounts_[path];
        lastHeaders_ = headers;
        auto it = responses_.find(path);
        if (it != responses_.end()) response = it->second;
        releaseMark = releaseCount_;
    }
    std::string reply = "HTTP/1.1 " + std::to_string(response.status) + " " +
                        Reason(response.status) + "\r\nConnection: close\r\n";
    if (response.framing == HttpResponse::Framing::ContentLength) {
        reply += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    } else if (response.framing == HttpResponse::Framing::Chunked) {
        reply += "Transfer-Encoding: chunked\r\n";
    }
    for (const std::string& header : response.headers)
        reply += header + "\r\n";
    reply += "\r\n" + EncodeBody(response);

    for (size_t sent = 0; sent < reply.size();) {
        if (!WaitFor(socket, POLLOUT, wakeRead_)) return;
        ssize_t count =
            send(socket, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (count <= 0) return;
        sent += static_cast<size_t>(count);
    }
    if (response.stall) {
        std::unique_lock guard(lock_);
        released_.wait(guard, [&] { return stopping_ || releaseCount_ != releaseMark; });
    }
    shutdown(socket, SHUT_WR);
}

RefusingPort::RefusingPort() {
    socket_ = BindLoopback(port_);
}

RefusingPort::~RefusingPort() {
    close(socket_);
}

} // namespace test_support
