#include "foundation/downloads/url_request_queue.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "foundation/downloads/url_fetcher.h"
#include "foundation/files/file_layer.h"
#include "platform/files/file_identity.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/threads.h"

namespace {

constexpr DWORD kIdleWaitMs = 1000;
constexpr DWORD kLeavePollMs = 5;

char UrlFold(char c) {
    return c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

char Slash(char c) {
    return c == '\\' ? '/' : c;
}

struct UrlCaseRanges {
    size_t userBegin; // user name and password: as given
    size_t userEnd;
    size_t pathBegin; // from here on as given
};

// Where the parts compared as given lie. The scheme is letters, digits, "+", "-" or ".".
UrlCaseRanges CaseRanges(const std::string& url) {
    size_t scheme = url.find("://");
    bool named =
        scheme != std::string::npos && scheme > 0 &&
        std::all_of(url.begin(), url.begin() + static_cast<ptrdiff_t>(scheme), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
        });
    if (!named) return {url.size(), url.size(), url.size()};
    size_t host = scheme + 3;
    size_t path = std::min(url.find_first_of("/\\?#", host), url.size());
    size_t at = url.rfind('@', path);
    if (at == std::string::npos || at < host) return {host, host, path};
    return {host, at, path};
}

UrlRequest* RequestAt(const CHandleList& list, uint32_t node) {
    return reinterpret_cast<UrlRequest*>(list.GetAt(node));
}

} // namespace

bool SameUrl(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    UrlCaseRanges ranges = CaseRanges(a);
    UrlCaseRanges other = CaseRanges(b);
    if (ranges.userBegin != other.userBegin || ranges.userEnd != other.userEnd ||
        ranges.pathBegin != other.pathBegin) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        bool asGiven = (i >= ranges.userBegin && i < ranges.userEnd) || i >= ranges.pathBegin;
        if (asGiven ? Slash(a[i]) != Slash(b[i]) : UrlFold(a[i]) != UrlFold(b[i])) return false;
    }
    return true;
}

bool UrlStartsWith(const std::string& url, const char* prefix) {
    size_t length = std::strlen(prefix);
    return url.size() >= length &&
           std::equal(prefix, prefix + length, url.begin(),
                      [](char x, char y) { return UrlFold(x) == UrlFold(y); });
}

CUrlRequestQueue::CUrlRequestQueue() {
    InitializeCriticalSection(&lock_);
}

CUrlRequestQueue::~CUrlRequestQueue() {
    DeleteCriticalSection(&lock_);
}

bool CUrlRequestQueue::StartWorker() {
    if (thread_ != 0) return true;
    wake_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (wake_ == 0) return false;
    stop_ = 0;
    thread_ = CreateThread(nullptr, 0, &WorkerMain, this, 0, &threadId_);
    if (thread_ == 0) {
        CloseHandle(wake_);
        wake_ = 0;
        return false;
    }
    return true;
}

void CUrlRequestQueue::StopWorker() {
    if (thread_ == 0) return;
    stop_ = 1;
    SetEvent(wake_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(wake_);
    thread_ = 0;
    threadId_ = 0;
    wake_ = 0;
}

void CUrlRequestQueue::Wake() {
    SetEvent(wake_);
}

UrlRequest* CUrlRequestQueue::Find(const CHandleList& list, const std::string& url,
                                   uint32_t* node) const {
    for (uint32_t i = list.GetHead(); i != 0;) {
        uint32_t here = i;
        auto* request = reinterpret_cast<UrlRequest*>(list.GetNext(&i));
        if (SameUrl(request->url, url)) {
            if (node != nullptr) *node = here;
            return request;
        }
    }
    return nullptr;
}

void CUrlRequestQueue::WaitUntilLeft(const UrlRequest* request) {
    for (;;) {
        Lock();
        bool transferring = current_ == request;
        Unlock();
        if (!transferring) return;
        Sleep(kLeavePollMs);
    }
}

DWORD CUrlRequestQueue::WorkerMain(LPVOID queue) {
    static_cast<CUrlRequestQueue*>(queue)->Run();
    return 0;
}

void CUrlRequestQueue::Run() {
    char buffer[kChunkSize];
    for (;;) {
        // During a transfer the next chunk follows at once, without a round through the
        // event.
        if (current_ == nullptr) {
            WaitForSingleObject(wake_, kIdleWaitMs);
            ResetEvent(wake_);
        }
        if (stop_) return;
        if (current_ != nullptr) {
            UrlRequest& request = *current_;
            TransferChunk(request, buffer);
            if (!request.IsFinal() && CancelRequested(request)) {
                Finish(request, UrlRequest::kFailed, UrlRequest::kTransferFailed);
                Notify(request, nullptr, 0, false);
            }
        }
        Advance();
    }
}

void CUrlRequestQueue::Advance() {
    while (current_ == nullptr || current_->IsFinal()) {
        Lock();
        if (UrlRequest* over = current_) {
            pending_.Remove(pending_.Find(reinterpret_cast<uintptr_t>(over)));
            over->finished = 1;
            // Without room in the finished list the request is forgotten rather than
            // kept in the pending list, where it would come round again.
            if (finished_.AddTail(reinterpret_cast<uintptr_t>(over)) == 0) {
                delete over;
            } else if (over->again != UrlRequest::kNotAgain) {
                bool cancelled = over->again == UrlRequest::kAgainCancelled;
                over->again = UrlRequest::kNotAgain;
                over->silent = 0;
                std::string url = over->url;
                if (over->owner->Enqueue(url, over->cookie) == CUrlFetcher::kStarted && cancelled)
                    Find(pending_, url, nullptr)->cancel = 1;
            }
        }
        current_ = RequestAt(pending_, pending_.GetHead());
        UrlRequest* next = current_;
        Unlock();
        if (next == nullptr) return;
        // A request revived from its cache file is done already.
        if (next->state == UrlRequest::kDone) {
            Notify(*next, nullptr, 0, false);
            continue;
        }
        Open(*next);
        if (next->IsFinal()) Notify(*next, nullptr, 0, false);
    }
}

void CUrlRequestQueue::Open(UrlRequest& request) {
    request.total = 0;
    request.received = 0;
    HINTERNET internet = request.owner->OpenUrl(request);
    if (internet == 0) {
        Finish(request, UrlRequest::kFailed,
               CancelRequested(request) ? UrlRequest::kTransferFailed : UrlRequest::kOpenFailed);
        return;
    }
    request.internet = internet;
    const std::string& url = request.url;
    bool http = UrlStartsWith(url, "http://") || UrlStartsWith(url, "https://");
    if (http) {
        DWORD status = 0;
        DWORD length = sizeof status;
        bool opened;
        if (HttpQueryInfoA(internet, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                           &length, nullptr)) {
            opened = status < 400;
        } else {
            DWORD available = 0;
            opened = InternetQueryDataAvailable(internet, &available, 0, 0) && available > 0;
        }
        if (!opened) {
            Finish(request, UrlRequest::kFailed, UrlRequest::kOpenFailed);
            return;
        }
    }
    DWORD total = 0;
    if (http || UrlStartsWith(url, "www.")) {
        total = InternetSetFilePointer(internet, 0, nullptr, FILE_END, 0);
        InternetSetFilePointer(internet, 0, nullptr, FILE_BEGIN, 0);
    } else if (UrlStartsWith(url, "ftp://")) {
        total = FtpGetFileSize(internet, nullptr);
    }
    request.total = total == INVALID_FILE_SIZE ? 0 : total;

    request.file = FileCreate(request.localFile.c_str());
    if (request.file == INVALID_HANDLE_VALUE) {
        Finish(request, UrlRequest::kFailed, UrlRequest::kOpenFailed);
        return;
    }
    request.errorKind = UrlRequest::kNoError;
    request.state = UrlRequest::kTransferring;
}

void CUrlRequestQueue::TransferChunk(UrlRequest& request, char* buffer) {
    DWORD available = 0;
    if (!InternetQueryDataAvailable(request.internet, &available, 0, 0)) {
        Finish(request, UrlRequest::kFailed, UrlRequest::kTransferFailed);
        Notify(request, nullptr, 0, true);
        return;
    }
    if (available == 0) {
        // The data ended; short of an announced length it was cut off.
        bool whole = request.total == 0 || request.received >= request.total;
        Finish(request, whole ? UrlRequest::kDone : UrlRequest::kFailed,
               whole ? UrlRequest::kNoError : UrlRequest::kTransferFailed);
        Notify(request, nullptr, 0, true);
        return;
    }
    DWORD count = 0;
    if (!InternetReadFile(request.internet, buffer, std::min<DWORD>(available, kChunkSize),
                          &count)) {
        Finish(request, UrlRequest::kFailed, UrlRequest::kTransferFailed);
        Notify(request, nullptr, 0, true);
        return;
    }
    if (FileWrite(request.file, buffer, count) != kResultOk) {
        Finish(request, UrlRequest::kFailed, UrlRequest::kTransferFailed);
        Notify(request, nullptr, 0, false);
        return;
    }
    request.received += count;
    Notify(request, buffer, count, false);
}

void CUrlRequestQueue::Finish(UrlRequest& request, uint32_t state, uint32_t errorKind) {
    if (request.file != INVALID_HANDLE_VALUE) {
        FileClose(request.file);
        request.file = INVALID_HANDLE_VALUE;
    }
    if (state != UrlRequest::kDone) {
        FileDelete(request.localFile.c_str());
        Lock();
        request.owner->ForgetCacheFile(request.localFile);
        Unlock();
    } else {
        // What the file is now is what a later Start finds it to be, or it is not ours.
        FileIdentity identity;
        if (GetFileIdentity(request.localFile.c_str(), &identity)) {
            Lock();
            request.owner->RecordCacheFile(request.localFile, identity);
            Unlock();
        }
    }
    if (request.internet != 0) {
        InternetCloseHandle(request.internet);
        request.internet = 0;
    }
    request.errorKind = errorKind;
    // Last, so that whoever sees the end finds the cache file complete and closed.
    request.state = state;
}

void CUrlRequestQueue::Notify(UrlRequest& request, const void* data, uint32_t size,
                              bool needCookie) {
    Lock();
    void* cookie = request.cookie;
    bool wanted = request.notify != 0 && request.silent == 0 && (!needCookie || cookie != nullptr);
    if (request.IsFinal()) request.reported = 1;
    Unlock();
    if (wanted) request.owner->OnComplete(cookie, &request, data, size);
}

bool CUrlRequestQueue::CancelRequested(UrlRequest& request) {
    Lock();
    bool cancel = request.cancel != 0;
    Unlock();
    return cancel;
}
