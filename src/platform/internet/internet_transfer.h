// One URL transfer: libcurl on a worker thread filling a bounded buffer that the
// Internet functions read from. Internal to the platform layer.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <curl/curl.h>

#include "platform/kernel/win_types.h"

namespace platform {

// Initialises libcurl once for the process; false when it cannot be.
bool InitializeCurl();

struct TransferRequest {
    std::string url;            // checked and encoded (see internet_url.h)
    bool http = false;          // http or https: status and headers are parsed
    std::string agent;          // empty: no User-Agent header
    bool direct = false;        // never a proxy; else proxies from the environment except loopback
    DWORD connectTimeoutMs = 0; // 0 or INFINITE: no bound of ours
    DWORD receiveTimeoutMs = 0;
};

class InternetTransfer {
public:
    explicit InternetTransfer(TransferRequest request);
    // Cancels and waits for the worker, which stops promptly once cancelled.
    ~InternetTransfer();
    InternetTransfer(const InternetTransfer&) = delete;
    InternetTransfer& operator=(const InternetTransfer&) = delete;

    // Starts the transfer and waits until the response headers are in, the data has
    // started or ended, or the transfer failed or was cancelled. ERROR_SUCCESS or the
    // error of the failure.
    DWORD Open();
    // Aborts the transfer and wakes every thread waiting on it. Any thread may call it.
    void Cancel();

    // The final HTTP status (0 for other schemes) and the announced length, once open.
    DWORD StatusCode() const;
    std::optional<uint64_t> Length() const;

    // See InternetReadFile and InternetQueryDataAvailable.
    DWORD Read(void* buffer, DWORD size, DWORD& bytesRead);
    DWORD Available(DWORD& bytesAvailable);

    // The position callers see. Reading needs it to equal the bytes already consumed.
    uint64_t Position() const;
    void SetPosition(uint64_t position);

private:
    static size_t OnWrite(char* data, size_t size, size_t count, void* self);
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static int OnPrerequest(void* self, char*, char*, int, int);

    DWORD Configure();
    void Run();
    DWORD Perform();
    void Finish(DWORD error);
    void ParseHeaderLocked(std::string_view line);
    void AdoptBlockLocked();
    void MarkReadyLocked();
    size_t TakeLocked(char* out, size_t size);
    size_t BufferedLocked() const { return buffer_.size() - head_; }
    bool HasRoomLocked(size_t size) const;

    const TransferRequest request_;
    CURLM* multi_;
    // Set up by Open, then used only on the worker thread (callbacks included).
    CURL* easy_ = nullptr;
    std::thread worker_;

    mutable std::mutex lock_;
    std::condition_variable changed_;
    bool cancelled_ = false;
    bool ready_ = false;    // Open may return: headers in, data started or transfer ended
    bool finished_ = false; // the worker is done; error_ tells how
    DWORD error_ = ERROR_SUCCESS;

    // Received data not yet read: buffer_[head_..].
    std::vector<char> buffer_;
    size_t head_ = 0;
    bool paused_ = false; // the worker waits for room for pendingSize_ bytes
    size_t pendingSize_ = 0;
    uint64_t received_ = 0;
    uint64_t consumed_ = 0;
    uint64_t position_ = 0;

    // The receive time-out counts from the connection or the last data received.
    bool connected_ = false;
    std::chrono::steady_clock::time_point lastActivity_;

    DWORD status_ = 0;
    std::optional<uint64_t> length_;
    // The header block being received; with redirects only the last one counts.
    DWORD blockStatus_ = 0;
    std::optional<uint64_t> blockLength_;
    bool blockChunked_ = false;
    bool blockLocation_ = false;
};

} // namespace platform
