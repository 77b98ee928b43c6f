// The blocking URL fetcher: Download waits for one URL, calling an idle function while
// it waits, and copies the finished file to a destination.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/downloads/url_fetcher.h"
#include "platform/kernel/win_types.h"

class CUrlFetcherWait : public CUrlFetcher {
public:
    using IdleFunction = void (*)(void* user);

    // Download results.
    static constexpr int kCopied = 0;
    static constexpr int kNoFile = 1;

    explicit CUrlFetcherWait(const char* agent);
    ~CUrlFetcherWait() override;

    // Fetches `url` and copies it to `destination` (overwriting): kCopied; kNoFile when
    // the download or the copy failed; kRefused when it could not be queued. `idle`
    // (when given) is called with `user` each time `idleMs` pass without the end.
    int Download(const std::string& url, const char* destination, IdleFunction idle,
                 uint32_t idleMs, void* user);

    int OnComplete(void* cookie, UrlRequest* request, const void* data, uint32_t size) override;

private:
    void SetFinishedFile(const std::string& name);

    HANDLE finishedEvent_; // manual reset
    void* user_ = nullptr;
    std::string finishedFile_;
};
