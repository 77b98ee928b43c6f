#include "foundation/downloads/url_fetcher_wait.h"

#include "foundation/files/file_layer.h"
#include "platform/kernel/sync.h"

CUrlFetcherWait::CUrlFetcherWait(const char* agent)
    : CUrlFetcher(nullptr, agent, nullptr),
      finishedEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CUrlFetcherWait::~CUrlFetcherWait() {
    // Before the event goes: the worker may still be about to report.
    CancelAll();
    if (finishedEvent_ != 0) CloseHandle(finishedEvent_);
}

int CUrlFetcherWait::Download(const std::string& url, const char* destination, IdleFunction idle,
                              uint32_t idleMs, void* user) {
    if (finishedEvent_ == 0 || destination == nullptr) return kRefused;
    ResetEvent(finishedEvent_);
    user_ = user;
    // A file remembered from an earlier download must not stand for this one.
    SetFinishedFile(std::string());
    if (Start(url, this) != kStarted) return kRefused;
    while (WaitForSingleObject(finishedEvent_, idleMs) == WAIT_TIMEOUT) {
        if (idle != nullptr) idle(user_);
    }
    GetQueue().Lock();
    std::string finished = finishedFile_;
    GetQueue().Unlock();
    if (finished.empty()) return kNoFile;
    return FileCopy(finished.c_str(), destination, 0) == 0 ? kCopied : kNoFile;
}

int CUrlFetcherWait::OnComplete(void*, UrlRequest* request, const void*, uint32_t) {
    if (request->state == UrlRequest::kDone) {
        SetFinishedFile(request->localFile);
        SetEvent(finishedEvent_);
    } else if (request->state == UrlRequest::kFailed) {
        SetEvent(finishedEvent_);
    }
    return 0;
}

void CUrlFetcherWait::SetFinishedFile(const std::string& name) {
    // The worker and a caller of Cancel may report at the same time.
    GetQueue().Lock();
    finishedFile_ = name;
    GetQueue().Unlock();
}
