// Fetches files named by URL or path into local cache files. Remote URLs are queued and
// transferred by the fetcher's own worker thread, which reports progress and completion
// through OnComplete; local paths and file URLs are answered at once. Finished downloads
// are remembered, so asking again for a URL reuses its cache file while that is still the
// file the download wrote.
//
// OnComplete runs on the worker thread (progress, completion) and on the caller's
// thread (local answers, Cancel). A derived class that overrides it calls CancelAll
// first thing in its destructor, so that no call reaches it while it is torn down.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/downloads/url_request_queue.h"
#include "platform/files/file_identity.h"
#include "platform/internet/internet.h"

class CUrlFetcher {
public:
    // Called for progress and completion with the request's sizes and state.
    using CompletionFunction = int (*)(CUrlFetcher* fetcher, void* cookie, uint32_t total,
                                       uint32_t received, int state);

    // Start results.
    static constexpr int kStarted = 0;
    static constexpr int kRefused = 2;
    // Query results.
    static constexpr int kUnknown = 0;
    static constexpr int kPending = 1;
    static constexpr int kDone = 2;
    static constexpr int kFailed = 3;

    CUrlFetcher(void* ownerValue, const char* agent, CompletionFunction completion);
    virtual ~CUrlFetcher();
    CUrlFetcher(const CUrlFetcher&) = delete;
    CUrlFetcher& operator=(const CUrlFetcher&) = delete;

    // Queues `url`, or answers a local file at once. The cookie comes back with every
    // notification; for this class a non-null cookie is the path of a file that
    // receives a copy of the finished download.
    virtual int Start(const std::string& url, void* cookie);
    // Stops the transfer of `url`, or keeps it from starting; it ends failed.
    virtual int Cancel(const std::string& url);
    // kUnknown, kPending, kDone or kFailed, with the sizes (0 for an unknown URL; the
    // total is 0 while unknown).
    virtual int Query(const std::string& url, uint32_t* total, uint32_t* received);
    // 1 when `url` names a local file (a file URL, or an existing drive or UNC path),
    // with its path and whether it exists; 0 when it must be downloaded.
    static int ResolveUrl(const std::string& url, std::string& localPath, int* exists);
    // Progress (data given, state 1) and completion (no data; state 2 or 3, or the
    // current state when cancelled by Cancel).
    virtual int OnComplete(void* cookie, UrlRequest* request, const void* data, uint32_t size);

    void* GetOwnerValue() const { return ownerValue_; }
    CUrlRequestQueue& GetQueue() { return queue_; }

protected:
    // Drops every request, stops a running transfer and the worker. No OnComplete call
    // starts after it began; one already running has returned when it returns.
    void CancelAll();

private:
    friend class CUrlRequestQueue;

    // Under the lock; also how the worker queues a request asked for again.
    int Enqueue(const std::string& url, void* cookie);
    int AddRequest(const std::string& url, void* cookie);
    // Under the lock: takes the session so that closing it aborts the transfer in
    // progress; the next transfer opens a new one.
    HINTERNET TakeSession();
    // The worker's open of a request's URL; 0 when it failed or was cancelled.
    HINTERNET OpenUrl(UrlRequest& request);
    // Under the lock: a cache file deleted before its time leaves the list at once, for
    // another fetcher may reserve the name again.
    void ForgetCacheFile(const std::string& name);
    // Under the lock: the finished download's file as it was when the transfer ended.
    void RecordCacheFile(const std::string& name, const FileIdentity& identity);
    // Under the lock: whether the finished download's file is still the one recorded.
    bool OwnsCacheFile(const std::string& name) const;
    void DeleteCacheFiles();

    // A reserved name, and once its download is done, the file it was given.
    struct CacheFile {
        std::string name;
        std::optional<FileIdentity> identity;
    };
    std::vector<CacheFile>::iterator FindCacheFile(const std::string& name);
    std::vector<CacheFile>::const_iterator FindCacheFile(const std::string& name) const;

    HINTERNET session_ = 0;
    // Every name in it is held by one request; a name is not handed out again while it is.
    std::vector<CacheFile> cacheFiles_;
    std::string agent_;
    CompletionFunction completion_;
    void* ownerValue_;
    CUrlRequestQueue queue_;
};
