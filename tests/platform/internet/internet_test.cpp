#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/last_error.h"
#include "platform/internet/internet.h"
#include "platform/kernel/kernel_objects.h"
#include "support/http_server.h"
#include "support/temp_dir.h"

namespace {

using test_support::HttpResponse;
using testing::AnyOf;
using Clock = std::chrono::steady_clock;

constexpr char kAgent[] = "Zorv test agent/1.0";
constexpr DWORD kDefaultTimeoutMs = 30000;
// Generous: a stalled transfer configured for 1 s must end well within this.
constexpr auto kBound = std::chrono::seconds(15);

void SetDefaultTimeout(DWORD option, DWORD milliseconds) {
    ASSERT_TRUE(InternetSetOptionA(0, option, &milliseconds, sizeof milliseconds));
}

std::string RandomBytes(size_t size) {
    std::mt19937 generator(42);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator());
    return bytes;
}

struct Transfer {
    std::string data;
    DWORD largestRead = 0;
    bool ok = false; // ended cleanly
    DWORD error = ERROR_SUCCESS;
};

// Reads to the end. The way a fetcher does it: ask what is available, read at most
// 8192 of it; or plain reads of 8192.
Transfer ReadAll(HINTERNET url, bool askAvailable = true) {
    Transfer result;
    std::vector<char> buffer(8192);
    for (;;) {
        DWORD wanted = 8192;
        if (askAvailable) {
            DWORD available = 0;
            if (!InternetQueryDataAvailable(url, &available, 0, 0)) break;
            if (available == 0) {
                result.ok = true;
                return result;
            }
            wanted = std::min<DWORD>(available, 8192);
        }
        DWORD read = 0;
        if (!InternetReadFile(url, buffer.data(), wanted, &read)) break;
        if (read == 0) {
            result.ok = true;
            return result;
        }
        result.largestRead = std::max(result.largestRead, read);
        result.data.append(buffer.data(), read);
    }
    result.error = GetLastError();
    return result;
}

DWORD QueryNumber(HINTERNET url, DWORD level) {
    DWORD value = 0xDEADBEEF;
    DWORD size = sizeof value;
    EXPECT_TRUE(HttpQueryInfoA(url, level | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr));
    return value;
}

// A loopback listener that never accepts: with a backlog of 0 and one connection
// queued, further connection attempts go unanswered.
class SilentListener {
public:
    explicit SilentListener(bool fillBacklog) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        listen(listener_, 0);
        port_ = ntohs(address.sin_port);
        if (fillBacklog) {
            filler_ = socket(AF_INET, SOCK_STREAM, 0);
            connect(filler_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        }
    }
    ~SilentListener() {
        if (filler_ >= 0) close(filler_);
        close(listener_);
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

private:
    int listener_ = -1;
    int filler_ = -1;
    uint16_t port_ = 0;
};

class Internet : public testing::Test {
protected:
    void SetUp() override {
        baseline_ = platform::CountObjects();
        session_ = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        ASSERT_NE(session_, 0u);
    }
    void TearDown() override {
        server_.ReleaseStalls();
        if (session_) {
            EXPECT_TRUE(InternetCloseHandle(session_));
        }
        SetDefaultTimeout(INTERNET_OPTION_CONNECT_TIMEOUT, kDefaultTimeoutMs);
        SetDefaultTimeout(INTERNET_OPTION_RECEIVE_TIMEOUT, kDefaultTimeoutMs);
        EXPECT_EQ(platform::CountObjects(), baseline_);
    }

    HINTERNET Open(const std::string& url, HINTERNET session = 0) {
        return InternetOpenUrlA(session ? session : session_, url.c_str(), nullptr, 0,
                                INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    }

    test_support::HttpServer server_;
    HINTERNET session_ = 0;
    size_t baseline_ = 0;
};

TEST_F(Internet, ReadsTheExactBodyInBoundedChunksWithStatusAndLength) {
    // Larger than the transfer's buffer, so the peer is held back while we read.
    const std::string body = RandomBytes(300 * 1024 + 17);
    server_.Serve("/data.bin", {.body = body});
    HINTERNET url = Open(server_.Url("/data.bin"));
    ASSERT_NE(url, 0u);

    EXPECT_EQ(QueryNumber(url, HTTP_QUERY_STATUS_CODE), 200u);
    EXPECT_EQ(QueryNumber(url, HTTP_QUERY_CONTENT_LENGTH), body.size());
    char text[8];
    DWORD size = 2;
    EXPECT_EQ(ErrorOf(HttpQueryInfoA(url, HTTP_QUERY_STATUS_CODE, text, &size, nullptr), FALSE),
              ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(size, 4u);
    EXPECT_TRUE(HttpQueryInfoA(url, HTTP_QUERY_STATUS_CODE, text, &size, nullptr));
    EXPECT_STREQ(text, "200");
    EXPECT_EQ(size, 3u);

    // The length through the file pointer; no reading while it is away from the data.
    EXPECT_EQ(InternetSetFilePointer(url, 0, nullptr, FILE_END, 0), body.size());
    char byte;
    DWORD read = 0;
    EXPECT_EQ(ErrorOf(InternetReadFile(url, &byte, 1, &read), FALSE),
              ERROR_INTERNET_INVALID_OPERATION);
    EXPECT_EQ(InternetSetFilePointer(url, 0, nullptr, FILE_BEGIN, 0), 0u);

    Transfer transfer = ReadAll(url);
    EXPECT_TRUE(transfer.ok) << transfer.error;
    EXPECT_TRUE(transfer.data == body);
    EXPECT_LE(transfer.largestRead, 8192u);
    EXPECT_EQ(InternetSetFilePointer(url, 0, nullptr, FILE_CURRENT, 0), body.size());
    // The end stays the end.
    EXPECT_TRUE(InternetReadFile(url, &byte, 1, &read));
    EXPECT_EQ(read, 0u);
    EXPECT_TRUE(InternetCloseHandle(url));
}

TEST_F(Internet, TheAgentTextReachesTheServerAsOneHeader) {
    server_.Serve("/", {.body = "hello"});
    HINTERNET url = Open(server_.Url("/"));
    ASSERT_NE(url, 0u);
    EXPECT_EQ(server_.LastRequestHeader("User-Agent"), kAgent);
    EXPECT_TRUE(InternetCloseHandle(url));

    HINTERNET crafted =
        InternetOpenA("agent\r\nX-Injected: 1", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    url = Open(server_.Url("/"), crafted);
    ASSERT_NE(url, 0u);
    EXPECT_EQ(server_.LastRequestHeader("X-Injected"), "");
    EXPECT_EQ(server_.LastRequestHeader("User-Agent"), "agent  X-Injected: 1");
    EXPECT_TRUE(InternetCloseHandle(crafted));
}

TEST_F(Internet, ErrorStatusesAndRedirectsOpenWithTheFinalStatus) {
    server_.Serve("/gone", {.status = 404, .body = "not here"});
    HINTERNET url = Open(server_.Url("/gone"));
    ASSERT_NE(url, 0u);
    EXPECT_EQ(QueryNumber(url, HTTP_QUERY_STATUS_CODE), 404u);
    EXPECT_EQ(ReadAll(url).data, "not here");
    EXPECT_TRUE(InternetCloseHandle(url));

    server_.Serve("/old", {.status = 302, .body = "moved", .headers = {"Location: /new"}});
    server_.Serve("/new", {.body = "the new place"});
    url = Open(server_.Url("/old"));
    ASSERT_NE(url, 0u);
    EXPECT_EQ(QueryNumber(url, HTTP_QUERY_STATUS_CODE), 200u);
    EXPECT_EQ(QueryNumber(url, HTTP_QUERY_CONTENT_LENGTH), 13u);
    EXPECT_EQ(ReadAll(url).data, "the new place");
    EXPECT_EQ(server_.RequestCount("/old"), 1);
    EXPECT_EQ(server_.RequestCount("/new"), 1);
    EXPECT_TRUE(InternetCloseHandle(url));
}

TEST_F(Internet, BodiesWithoutALengthHaveAnUnknownSize) {
    const std::string body = RandomBytes(100 * 1024);
    for (auto framing : {HttpResponse::Framing::Chunked, HttpResponse::Framing::Close}) {
        SCOPED_TRACE(static_cast<int>(framing));
        server_.Serve("/stream", {.body = body, .framing = framing});
        HINTERNET url = Open(server_.Url("/stream"));
        ASSERT_NE(url, 0u);
        EXPECT_EQ(InternetSetFilePointer(url, 0, nullptr, FILE_END, 0), INVALID_SET_FILE_POINTER);
        DWORD length = 0;
        DWORD size = sizeof length;
        EXPECT_FALSE(HttpQueryInfoA(url, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                                    &length, &size, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_HTTP_HEADER_NOT_FOUND);
        EXPECT_EQ(InternetSetFilePointer(url, 0, nullptr, FILE_BEGIN, 0), 0u);
        Transfer transfer = ReadAll(url);
        EXPECT_TRUE(transfer.ok) << transfer.error;
        EXPECT_TRUE(transfer.data == body);
        EXPECT_TRUE(InternetCloseHandle(url));
    }
}

TEST_F(Internet, ABodyCutShortFailsInsteadOfEnding) {
    const std::string body = RandomBytes(20000);
    for (auto framing : {HttpResponse::Framing::ContentLength, HttpResponse::Framing::Chunked}) {
        for (bool askAvailable : {true, false}) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(framing) << askAvailable);
            server_.Serve("/cut", {.body = body, .framing = framing, .sendBytes = 5000});
            HINTERNET url = Open(server_.Url("/cut"));
            ASSERT_NE(url, 0u);
            Transfer transfer = ReadAll(url, askAvailable);
            EXPECT_FALSE(transfer.ok);
            EXPECT_EQ(transfer.error, ERROR_INTERNET_CONNECTION_ABORTED);
            EXPECT_TRUE(transfer.data == body.substr(0, transfer.data.size()));
            EXPECT_LE(transfer.data.size(), 5000u);
            // The failure stays.
            char byte;
            DWORD read = 0;
            EXPECT_FALSE(InternetReadFile(url, &byte, 1, &read));
            EXPECT_TRUE(InternetCloseHandle(url));
        }
    }
}

TEST_F(Internet, StalledTransfersFailWithinTheReceiveTimeout) {
    server_.Serve("/stall", {.body = RandomBytes(1000), .sendBytes = 100, .stall = true});

    // Layer-wide default, taken by sessions opened afterwards.
    SetDefaultTimeout(INTERNET_OPTION_RECEIVE_TIMEOUT, 1000);
    HINTERNET quick = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    SetDefaultTimeout(INTERNET_OPTION_RECEIVE_TIMEOUT, kDefaultTimeoutMs);
    // Per session.
    DWORD oneSecond = 1000;
    ASSERT_TRUE(InternetSetOptionA(session_, INTERNET_OPTION_RECEIVE_TIMEOUT, &oneSecond,
                                   sizeof oneSecond));
    for (HINTERNET session : {quick, session_}) {
        auto start = Clock::now();
        HINTERNET url = Open(server_.Url("/stall"), session);
        ASSERT_NE(url, 0u);
        Transfer transfer = ReadAll(url, false);
        EXPECT_FALSE(transfer.ok);
        EXPECT_EQ(transfer.error, ERROR_INTERNET_TIMEOUT);
        EXPECT_EQ(transfer.data.size(), 100u);
        EXPECT_LT(Clock::now() - start, kBound);
        EXPECT_TRUE(InternetCloseHandle(url));
    }
    EXPECT_TRUE(InternetCloseHandle(quick));

    // A peer that never answers, and one that never completes the connection.
    SetDefaultTimeout(INTERNET_OPTION_CONNECT_TIMEOUT, 1000);
    SetDefaultTimeout(INTERNET_OPTION_RECEIVE_TIMEOUT, 1000);
    HINTERNET session = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    for (bool fillBacklog : {false, true}) {
        SilentListener silent(fillBacklog);
        auto start = Clock::now();
        EXPECT_EQ(ErrorOf(Open(silent.Url(), session), 0u), ERROR_INTERNET_TIMEOUT);
        EXPECT_LT(Clock::now() - start, kBound);
    }
    EXPECT_TRUE(InternetCloseHandle(session));
}

TEST_F(Internet, ClosingAHandleAbortsATransferInProgress) {
    server_.Serve("/stall", {.body = RandomBytes(1000), .sendBytes = 100, .stall = true});
    auto blockedCall = [](HINTERNET url, bool askAvailable) {
        return std::async(std::launch::async, [url, askAvailable] {
            char buffer[8192];
            DWORD count = 0;
            BOOL ok = askAvailable ? InternetQueryDataAvailable(url, &count, 0, 0)
                                   : InternetReadFile(url, buffer, sizeof buffer, &count);
            return ok ? ERROR_SUCCESS : GetLastError();
        });
    };

    // The URL handle itself, closed while a read waits for more data.
    HINTERNET url = Open(server_.Url("/stall"));
    ASSERT_NE(url, 0u);
    auto reader = blockedCall(url, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto start = Clock::now();
    EXPECT_TRUE(InternetCloseHandle(url));
    ASSERT_EQ(reader.wait_for(kBound), std::future_status::ready);
    EXPECT_LT(Clock::now() - start, kBound);
    // Closed before the call looked the handle up, or while it waited.
    EXPECT_THAT(reader.get(), AnyOf(ERROR_INTERNET_OPERATION_CANCELLED, ERROR_INVALID_HANDLE));

    // The session, which closes its URL handles.
    url = Open(server_.Url("/stall"));
    ASSERT_NE(url, 0u);
    char first[100];
    DWORD read = 0;
    ASSERT_TRUE(InternetReadFile(url, first, sizeof first, &read));
    EXPECT_EQ(read, 100u);
    auto waiter = blockedCall(url, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    start = Clock::now();
    EXPECT_TRUE(InternetCloseHandle(session_));
    session_ = 0;
    ASSERT_EQ(waiter.wait_for(kBound), std::future_status::ready);
    EXPECT_LT(Clock::now() - start, kBound);
    EXPECT_THAT(waiter.get(), AnyOf(ERROR_INTERNET_OPERATION_CANCELLED, ERROR_INVALID_HANDLE));
    EXPECT_EQ(ErrorOf(InternetCloseHandle(url), FALSE), ERROR_INVALID_HANDLE);
}

TEST_F(Internet, FileUrlsNameWindowsPaths) {
    test_support::TempDir temp;
    const std::string content = RandomBytes(20000);
    temp.WriteFile("Data/caf\xC3\xA9 menu.bin", content); // "café menu.bin" on Linux
    std::string forward = temp.WinPath();
    std::replace(forward.begin(), forward.end(), '\\', '/');
    // Windows-1252 text as the system's strings are, spelled in other cases, escaped or not.
    for (const std::string& spelling : {"file:///" + forward + "/data/CAF%C9%20menu.bin",
                                        "file://" + temp.WinPath() + "\\DATA\\caf\xE9 menu.bin",
                                        "file://" + temp.LinuxPath() + "/Data/caf\xE9 Menu.bin"}) {
        SCOPED_TRACE(spelling);
        HINTERNET url = Open(spelling);
        ASSERT_NE(url, 0u) << GetLastError();
        EXPECT_EQ(InternetSetFilePointer(url, 0, nullptr, FILE_END, 0), content.size());
        EXPECT_EQ(InternetSetFilePointer(url, 0, nullptr, FILE_BEGIN, 0), 0u);
        DWORD status = 0;
        DWORD size = sizeof status;
        EXPECT_FALSE(HttpQueryInfoA(url, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                                    &size, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        Transfer transfer = ReadAll(url);
        EXPECT_TRUE(transfer.ok);
        EXPECT_TRUE(transfer.data == content);
        EXPECT_TRUE(InternetCloseHandle(url));
    }

    EXPECT_EQ(ErrorOf(Open("file:///" + forward + "/data/missing.bin"), 0u), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ErrorOf(Open("file:///" + forward + "/nowhere/missing.bin"), 0u),
              ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(ErrorOf(Open("file:///" + forward + "/data"), 0u), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ErrorOf(Open("file://server/share/name.bin"), 0u), ERROR_BAD_NETPATH);
}

TEST_F(Internet, UnreachableAndMalformedUrlsFailToOpen) {
    test_support::RefusingPort refusing;
    EXPECT_EQ(ErrorOf(Open("http://127.0.0.1:" + std::to_string(refusing.Port()) + "/x"), 0u),
              ERROR_INTERNET_CANNOT_CONNECT);

    EXPECT_EQ(ErrorOf(Open("gopher://127.0.0.1/"), 0u), ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    EXPECT_EQ(ErrorOf(Open("www.example.com/page.html"), 0u), ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    EXPECT_EQ(ErrorOf(Open("C:\\missing\\file.txt"), 0u), ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    EXPECT_EQ(ErrorOf(Open("http:/127.0.0.1/"), 0u), ERROR_INTERNET_INVALID_URL);
    EXPECT_EQ(ErrorOf(Open("http:///path"), 0u), ERROR_INTERNET_INVALID_URL);
}

TEST_F(Internet, HandlesAreCheckedByKind) {
    struct Foreign : platform::KernelObject {};
    HANDLE foreign = platform::RegisterObject(std::make_shared<Foreign>());
    EXPECT_EQ(ErrorOf(InternetCloseHandle(foreign), FALSE), ERROR_INVALID_HANDLE);
    EXPECT_NE(platform::LookupObject(foreign), nullptr);
    EXPECT_TRUE(platform::UnregisterObject(foreign));
    EXPECT_FALSE(InternetCloseHandle(0));

    server_.Serve("/a", {.body = "a"});
    HINTERNET url = Open(server_.Url("/a"));
    ASSERT_NE(url, 0u);
    char byte;
    DWORD read = 0;
    EXPECT_EQ(ErrorOf(InternetReadFile(session_, &byte, 1, &read), FALSE),
              ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    EXPECT_EQ(ErrorOf(Open(server_.Url("/a"), url), 0u), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    EXPECT_EQ(ErrorOf(FtpGetFileSize(url, nullptr), INVALID_FILE_SIZE),
              ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    DWORD value = 1000;
    EXPECT_EQ(ErrorOf(InternetSetOptionA(session_, 999, &value, sizeof value), FALSE),
              ERROR_INTERNET_INVALID_OPTION);
    EXPECT_EQ(
        ErrorOf(InternetSetOptionA(session_, INTERNET_OPTION_RECEIVE_TIMEOUT, &value, 2), FALSE),
        ERROR_INTERNET_BAD_OPTION_LENGTH);

    // Closing the session closes the URL handles opened in it.
    EXPECT_TRUE(InternetCloseHandle(session_));
    session_ = 0;
    EXPECT_EQ(ErrorOf(InternetReadFile(url, &byte, 1, &read), FALSE), ERROR_INVALID_HANDLE);
}

} // namespace
