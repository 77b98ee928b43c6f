#include "platform/internet/internet_transfer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "platform/internet/internet.h"
#include "platform/libraries/lazy_library.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// Enough to keep a fast peer busy between reads, small enough that a reader that
// falls behind holds the peer back instead of filling memory.
constexpr size_t kBufferCapacity = 64 * 1024;
// Longest wait between checks of the receive time-out.
constexpr long kPollMs = 1000;
constexpr long kMaxRedirects = 10;
// Larger announced lengths are treated as absent: positions stay far from overflow.
constexpr uint64_t kMaxLength = uint64_t{1} << 62;

DWORD ErrorFromCurl(CURLcode code) {
    switch (code) {
    case CURLE_OK:
        return ERROR_SUCCESS;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    case CURLE_URL_MALFORMAT:
        return ERROR_INTERNET_INVALID_URL;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
        return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
        return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_FTP_ACCEPT_TIMEOUT:
        return ERROR_INTERNET_TIMEOUT;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_GOT_NOTHING:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_BAD_CONTENT_ENCODING:
        return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_TOO_MANY_REDIRECTS:
        return ERROR_HTTP_REDIRECT_FAILED;
    case CURLE_PEER_FAILED_VERIFICATION:
        return ERROR_INTERNET_INVALID_CA;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
        return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    case CURLE_FILE_COULDNT_READ_FILE:
        return ERROR_FILE_NOT_FOUND;
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_LOGIN_DENIED:
    case CURLE_FTP_COULDNT_RETR_FILE:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_FTP_COULDNT_SET_TYPE:
    case CURLE_FTP_PORT_FAILED:
    case CURLE_FTP_ACCEPT_FAILED:
        return ERROR_INTERNET_EXTENDED_ERROR;
    case CURLE_OUT_OF_MEMORY:
        return ERROR_NOT_ENOUGH_MEMORY;
    case CURLE_WRITE_ERROR: // only our write callback refuses data, when cancelled
    case CURLE_ABORTED_BY_CALLBACK:
        return ERROR_INTERNET_OPERATION_CANCELLED;
    default:
        return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<uint64_t> ParseLength(std::string_view text) {
    if (text.empty() || text.size() > 19) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > kMaxLength) return std::nullopt;
    return value;
}

// Proxies configured in the environment apply, but never to this machine: a peer on
// the loopback interface is reached directly.
std::string NoProxyList() {
    const char* configured = std::getenv("no_proxy");
    if (!configured || !*configured) configured = std::getenv("NO_PROXY");
    std::string list = configured ? configured : "";
    if (list == "*") return list;
    if (!list.empty()) list += ',';
    return list + "localhost,127.0.0.1,::1";
}

} // namespace

bool InitializeCurl() {
    static const bool initialized =
        Require(LazyLibrary::Curl) && curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return initialized;
}

InternetTransfer::InternetTransfer(TransferRequest request)
    : request_(std::move(request)), multi_(curl_multi_init()) {}

InternetTransfer::~InternetTransfer() {
    Cancel();
    if (worker_.joinable()) worker_.join();
    if (multi_) curl_multi_cleanup(multi_);
}

DWORD InternetTransfer::Open() {
    if (!multi_) return ERROR_NOT_ENOUGH_MEMORY;
    easy_ = curl_easy_init();
    if (!easy_) return ERROR_NOT_ENOUGH_MEMORY;
    DWORD error = Configure();
    if (error == ERROR_SUCCESS && curl_multi_add_handle(multi_, easy_) != CURLM_OK) {
        error = ERROR_INTERNET_INTERNAL_ERROR;
    }
    if (error != ERROR_SUCCESS) {
        curl_easy_cleanup(easy_);
        easy_ = nullptr;
        return error;
    }
    try {
        worker_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        curl_multi_remove_handle(multi_, easy_);
        curl_easy_cleanup(easy_);
        easy_ = nullptr;
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    std::unique_lock guard(lock_);
    changed_.wait(guard, [this] { return ready_ || finished_ || cancelled_; });
    if (cancelled_) return ERROR_INTERNET_OPERATION_CANCELLED;
    return ready_ ? ERROR_SUCCESS : error_;
}

void InternetTransfer::Cancel() {
    {
        std::lock_guard guard(lock_);
        cancelled_ = true;
    }
    changed_.notify_all();
    if (multi_) curl_multi_wakeup(multi_);
}

DWORD InternetTransfer::Configure() {
    CURLcode result = CURLE_OK;
    auto set = [&](CURLoption option, auto value) {
        if (result == CURLE_OK) result = curl_easy_setopt(easy_, option, value);
    };
    set(CURLOPT_URL, request_.url.c_str());
    set(CURLOPT_NOSIGNAL, 1L);
    // Closing a handle must not wait for a name lookup that is still running.
    set(CURLOPT_QUICK_EXIT, 1L);
    set(CURLOPT_PROTOCOLS_STR, "http,https,ftp,file");
    set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, kMaxRedirects);
    set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    set(CURLOPT_WRITEFUNCTION, &InternetTransfer::OnWrite);
    set(CURLOPT_WRITEDATA, static_cast<void*>(this));
    set(CURLOPT_HEADERFUNCTION, &InternetTransfer::OnHeader);
    set(CURLOPT_HEADERDATA, static_cast<void*>(this));
    set(CURLOPT_PREREQFUNCTION, &InternetTransfer::OnPrerequest);
    set(CURLOPT_PREREQDATA, static_cast<void*>(this));
    if (!request_.agent.empty()) set(CURLOPT_USERAGENT, request_.agent.c_str());
    if (request_.direct) {
        set(CURLOPT_PROXY, "");
    } else {
        set(CURLOPT_NOPROXY, NoProxyList().c_str());
    }
    DWORD connectMs = request_.connectTimeoutMs;
    if (connectMs != 0 && connectMs != INFINITE) {
        set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectMs));
    }
    if (result == CURLE_OUT_OF_MEMORY) return ERROR_NOT_ENOUGH_MEMORY;
    return result == CURLE_OK ? ERROR_SUCCESS : ERROR_INTERNET_INTERNAL_ERROR;
}

void InternetTransfer::Run() {
    Finish(Perform());
    curl_multi_remove_handle(multi_, easy_);
    curl_easy_cleanup(easy_);
    easy_ = nullptr;
}

// The worker's loop. A paused transfer (buffer full) waits for a reader to make room;
// a running one waits on its sockets. Cancel wakes either wait.
DWORD InternetTransfer::Perform() {
    for (;;) {
        bool resume = false;
        {
            std::unique_lock guard(lock_);
            changed_.wait(guard,
                          [this] { return cancelled_ || !paused_ || HasRoomLocked(pendingSize_); });
            if (cancelled_) return ERROR_INTERNET_OPERATION_CANCELLED;
            if (paused_) {
                paused_ = false;
                resume = true;
                // Time spent waiting for the reader is not the peer's silence.
                lastActivity_ = Clock::now();
            }
        }
        if (resume) curl_easy_pause(easy_, CURLPAUSE_CONT);
        int running = 0;
        if (curl_multi_perform(multi_, &running) != CURLM_OK) return ERROR_INTERNET_INTERNAL_ERROR;
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
            if (message->msg == CURLMSG_DONE) return ErrorFromCurl(message->data.result);
        }
        if (running == 0) return ERROR_SUCCESS;
        long waitMs = kPollMs;
        {
            std::lock_guard guard(lock_);
            if (paused_) continue;
            DWORD limit = request_.receiveTimeoutMs;
            if (connected_ && limit != 0 && limit != INFINITE) {
                auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() -
                                                                                  lastActivity_)
                                .count();
                if (idle >= limit) return ERROR_INTERNET_TIMEOUT;
                waitMs = std::min<long>(waitMs, static_cast<long>(limit - idle));
            }
        }
        curl_multi_poll(multi_, nullptr, 0, static_cast<int>(waitMs), nullptr);
    }
}

void InternetTransfer::Finish(DWORD error) {
    {
        std::lock_guard guard(lock_);
        if (error == ERROR_SUCCESS) {
            MarkReadyLocked();
            // Data that stops short of the announced length is a broken transfer,
            // whatever the protocol made of the connection's end.
            if (length_ && received_ < *length_) error = ERROR_INTERNET_CONNECTION_ABORTED;
        }
        finished_ = true;
        error_ = error;
    }
    changed_.notify_all();
}

size_t InternetTransfer::OnWrite(char* data, size_t size, size_t count, void* self) {
    auto* transfer = static_cast<InternetTransfer*>(self);
    size_t bytes = size * count;
    {
        std::lock_guard guard(transfer->lock_);
        if (transfer->cancelled_) return 0;
        transfer->lastActivity_ = Clock::now();
        if (!transfer->HasRoomLocked(bytes)) {
            transfer->paused_ = true;
            transfer->pendingSize_ = bytes;
            return CURL_WRITEFUNC_PAUSE;
        }
        if (transfer->head_ != 0) {
            auto begin = transfer->buffer_.begin();
            transfer->buffer_.erase(begin, begin + static_cast<ptrdiff_t>(transfer->head_));
            transfer->head_ = 0;
        }
        transfer->buffer_.insert(transfer->buffer_.end(), data, data + bytes);
        transfer->received_ += bytes;
        transfer->MarkReadyLocked();
    }
    transfer->changed_.notify_all();
    return bytes;
}

size_t InternetTransfer::OnHeader(char* data, size_t size, size_t count, void* self) {
    auto* transfer = static_cast<InternetTransfer*>(self);
    size_t bytes = size * count;
    bool becameReady = false;
    {
        std::lock_guard guard(transfer->lock_);
        transfer->lastActivity_ = Clock::now();
        if (transfer->request_.http && !transfer->ready_) {
            transfer->ParseHeaderLocked(std::string_view(data, bytes));
            becameReady = transfer->ready_;
        }
    }
    if (becameReady) transfer->changed_.notify_all();
    return bytes;
}

int InternetTransfer::OnPrerequest(void* self, char*, char*, int, int) {
    auto* transfer = static_cast<InternetTransfer*>(self);
    std::lock_guard guard(transfer->lock_);
    transfer->connected_ = true;
    transfer->lastActivity_ = Clock::now();
    return CURL_PREREQFUNC_OK;
}

void InternetTransfer::ParseHeaderLocked(std::string_view line) {
    line = Trim(line);
    if (line.starts_with("HTTP/")) {
        blockStatus_ = 0;
        blockLength_.reset();
        blockChunked_ = false;
        blockLocation_ = false;
        size_t space = line.find(' ');
        if (space == std::string_view::npos) return;
        std::string_view code = Trim(line.substr(space + 1)).substr(0, 3);
        if (code.size() == 3 &&
            std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            blockStatus_ = static_cast<DWORD>(std::stoul(std::string(code)));
        }
        return;
    }
    if (line.empty()) {
        // Interim responses and redirects that will be followed are not the answer.
        bool interim = blockStatus_ < 200 || (blockStatus_ / 100 == 3 && blockLocation_);
        if (!interim) {
            AdoptBlockLocked();
            ready_ = true;
        }
        return;
    }
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    std::string_view name = Trim(line.substr(0, colon));
    std::string_view value = Trim(line.substr(colon + 1));
    if (EqualsNoCase(name, "Content-Length")) {
        blockLength_ = ParseLength(value);
    } else if (EqualsNoCase(name, "Transfer-Encoding")) {
        std::string lower(value);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lower.find("chunked") != std::string::npos) blockChunked_ = true;
    } else if (EqualsNoCase(name, "Location")) {
        blockLocation_ = !value.empty();
    }
}

void InternetTransfer::AdoptBlockLocked() {
    status_ = blockStatus_;
    length_ = blockChunked_ ? std::nullopt : blockLength_;
    // These responses never carry a body, whatever length they mention.
    if (status_ == 204 || status_ == 304) length_ = 0;
}

void InternetTransfer::MarkReadyLocked() {
    if (ready_) return;
    ready_ = true;
    if (request_.http) {
        AdoptBlockLocked();
        return;
    }
    curl_off_t length = -1;
    if (curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
        length >= 0 && static_cast<uint64_t>(length) <= kMaxLength) {
        length_ = static_cast<uint64_t>(length);
    }
}

bool InternetTransfer::HasRoomLocked(size_t size) const {
    size_t buffered = BufferedLocked();
    // An empty buffer takes any block, so a block larger than the buffer cannot stall.
    return buffered == 0 || buffered + size <= kBufferCapacity;
}

size_t InternetTransfer::TakeLocked(char* out, size_t size) {
    size_t count = std::min(size, BufferedLocked());
    if (count == 0) return 0;
    std::memcpy(out, buffer_.data() + head_, count);
    head_ += count;
    consumed_ += count;
    position_ += count;
    if (head_ == buffer_.size()) {
        buffer_.clear();
        head_ = 0;
    }
    if (paused_) changed_.notify_all();
    return count;
}

DWORD InternetTransfer::StatusCode() const {
    std::lock_guard guard(lock_);
    return status_;
}

std::optional<uint64_t> InternetTransfer::Length() const {
    std::lock_guard guard(lock_);
    return length_;
}

DWORD InternetTransfer::Read(void* buffer, DWORD size, DWORD& bytesRead) {
    bytesRead = 0;
    auto* out = static_cast<char*>(buffer);
    std::unique_lock guard(lock_);
    if (position_ != consumed_) return ERROR_INTERNET_INVALID_OPERATION;
    for (;;) {
        if (cancelled_) return ERROR_INTERNET_OPERATION_CANCELLED;
        bytesRead += static_cast<DWORD>(TakeLocked(out + bytesRead, size - bytesRead));
        if (bytesRead == size) return ERROR_SUCCESS;
        if (finished_) return bytesRead > 0 ? ERROR_SUCCESS : error_;
        changed_.wait(guard);
    }
}

DWORD InternetTransfer::Available(DWORD& bytesAvailable) {
    bytesAvailable = 0;
    std::unique_lock guard(lock_);
    changed_.wait(guard, [this] { return cancelled_ || finished_ || BufferedLocked() > 0; });
    if (cancelled_) return ERROR_INTERNET_OPERATION_CANCELLED;
    bytesAvailable = static_cast<DWORD>(BufferedLocked());
    return bytesAvailable > 0 ? ERROR_SUCCESS : error_;
}

uint64_t InternetTransfer::Position() const {
    std::lock_guard guard(lock_);
    return position_;
}

void InternetTransfer::SetPosition(uint64_t position) {
    std::lock_guard guard(lock_);
    position_ = position;
}

} // namespace platform
