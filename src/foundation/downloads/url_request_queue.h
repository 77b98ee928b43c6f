// The requests of one URL fetcher and the worker thread that transfers them.
//
// Requests wait in the pending list, the one being transferred among them, and move to
// the finished list once done or failed, where they keep answering queries and can be
// revived from their cache files. Callers that show progress lock the queue around
// GetPendingCount and their own reads of request fields.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "foundation/containers/handle_list.h"
#include "platform/internet/internet.h"
#include "platform/kernel/sync.h"

class CUrlFetcher;

// A backslash matches a slash. The scheme and host are compared without regard to case,
// the rest as given, for servers may tell paths apart by case; a text without a scheme
// names a Windows path and is compared without regard to case throughout.
bool SameUrl(const std::string& a, const std::string& b);
bool UrlStartsWith(const std::string& url, const char* prefix);

// One URL of one fetcher. State, error kind and sizes may be read at any time; the
// other fields that change (cookie and the flags) change only under the queue's lock.
struct UrlRequest {
    enum State : uint32_t { kNew = 0, kTransferring = 1, kDone = 2, kFailed = 3 };
    enum ErrorKind : uint32_t { kNoError = 0, kTransferFailed = 1, kOpenFailed = 2 };

    bool IsFinal() const { return state == kDone || state == kFailed; }

    int notify = 1; // the owner's OnComplete hears of progress and cancellation
    CUrlFetcher* owner = nullptr;
    std::string url;
    std::string localFile; // the cache file, kept once the transfer is done
    HANDLE file = INVALID_HANDLE_VALUE;
    HINTERNET internet = 0;
    std::atomic<uint32_t> state{kNew};
    void* cookie = nullptr;
    std::atomic<uint32_t> errorKind{kNoError};
    int cancel = 0;
    int finished = 0; // set once the request is in the finished list
    int reported = 0; // its end has been reported, to the cookie of that moment
    // Asked for after that report, or after a cancel that its transfer cannot escape:
    // queued anew once in the finished list, or queued anew and cancelled at once when a
    // Cancel followed the transfer's end.
    enum Again : int { kNotAgain = 0, kAgain = 1, kAgainCancelled = 2 };
    int again = kNotAgain;
    int silent = 0; // the end of the cancelled transfer goes untold: a Start asked again
    std::atomic<uint32_t> total{0}; // 0 when unknown
    std::atomic<uint32_t> received{0};
};

class CUrlRequestQueue {
public:
    static constexpr uint32_t kChunkSize = 8192;

    CUrlRequestQueue();
    ~CUrlRequestQueue();
    CUrlRequestQueue(const CUrlRequestQueue&) = delete;
    CUrlRequestQueue& operator=(const CUrlRequestQueue&) = delete;

    void Lock() { EnterCriticalSection(&lock_); }
    void Unlock() { LeaveCriticalSection(&lock_); }
    // Requests waiting or being transferred.
    uint32_t GetPendingCount() const { return pending_.GetCount(); }

private:
    friend class CUrlFetcher;

    // Under the lock. The worker runs from the first remote request until StopWorker.
    bool StartWorker();
    // Not under the lock; the worker must have nothing left to transfer.
    void StopWorker();
    void Wake();
    // Under the lock: the request of `list` for `url`, and its node when asked.
    UrlRequest* Find(const CHandleList& list, const std::string& url, uint32_t* node) const;
    // Returns once the worker no longer transfers `request`.
    void WaitUntilLeft(const UrlRequest* request);

    static DWORD WorkerMain(LPVOID queue);
    void Run();
    // Retires the current request when it is over and opens the next ones until one is
    // being transferred or none is left.
    void Advance();
    void Open(UrlRequest& request);
    void TransferChunk(UrlRequest& request, char* buffer);
    // Closes the request's handles and publishes its end; the cache file goes unless done.
    void Finish(UrlRequest& request, uint32_t state, uint32_t errorKind);
    // Tells the owner about the request, when it wants to hear and, for `needCookie`,
    // when it gave a cookie.
    void Notify(UrlRequest& request, const void* data, uint32_t size, bool needCookie);
    bool CancelRequested(UrlRequest& request);

    HANDLE thread_ = 0;
    DWORD threadId_ = 0;
    std::atomic<int> stop_{0};
    HANDLE wake_ = 0; // manual reset
    // Written only by the worker, under the lock.
    UrlRequest* current_ = nullptr;
    CHandleList pending_;
    CHandleList finished_;
    CRITICAL_SECTION lock_;
};
