#include "foundation/url_fetcher.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "foundation/file_layer.h"
#include "platform/kernel/clock.h"

namespace {

constexpr const char* kCachePrefix = "cwx";
// Longest extension a cache file takes from its URL, the dot included.
constexpr size_t kMaxCacheExtension = 5;
// A cache file that an outside reader still holds may outlive its deletion for a while.
constexpr int kDeleteRounds = 10;
constexpr DWORD kDeleteRoundGapMs = 250;

std::string CacheExtension(const std::string& url) {
    size_t dot = url.rfind('.');
    if (dot == std::string::npos || url.size() - dot > kMaxCacheExtension) return ".tmp";
    return url.substr(dot);
}

} // namespace

CUrlFetcher::CUrlFetcher(void* ownerValue, const char* agent, CompletionFunction completion)
    : agent_(agent != nullptr ? agent : ""), completion_(completion), ownerValue_(ownerValue) {}

CUrlFetcher::~CUrlFetcher() {
    CancelAll();
    DeleteCacheFiles();
    if (session_ != 0) InternetCloseHandle(session_);
}

int CUrlFetcher::ResolveUrl(const std::string& url, std::string& localPath, int* exists) {
    *exists = 0;
    if (UrlStartsWith(url, "file://")) {
        // "file:///dir/name" names a path on the current drive.
        bool rooted = url.size() > 7 && (url[7] == '/' || url[7] == '\\');
        std::string path = url;
        size_t tripleSlash = path.find(":///");
        if (tripleSlash != std::string::npos) path.replace(tripleSlash, 4, "://");
        path.erase(0, 7);
        std::replace(path.begin(), path.end(), '/', '\\');
        // A host part before the drive ("file://localhost/C:/...") is dropped.
        size_t drive = path.find(":\\", 1);
        if (drive != std::string::npos) {
            path.erase(0, drive - 1);
        } else if (rooted) {
            path.insert(0, "\\");
        }
        localPath = path;
        *exists = FileExists(path.c_str());
        return 1;
    }
    if (url.size() < 3) return 0;
    std::string path = url;
    std::replace(path.begin(), path.end(), '/', '\\');
    bool unc = path[0] == '\\' && path[1] == '\\';
    bool drive =
        std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\';
    // A local path that does not exist goes to the Internet layer, which fails it.
    if (!(unc || drive) || !FileExists(path.c_str())) return 0;
    localPath = path;
    *exists = 1;
    return 1;
}

int CUrlFetcher::Start(const std::string& url, void* cookie) {
    std::string localPath;
    int exists = 0;
    if (ResolveUrl(url, localPath, &exists)) {
        if (!exists) return kRefused;
        if (cookie != nullptr) {
            UrlRequest answer;
            answer.owner = this;
            answer.url = url;
            answer.localFile = localPath;
            answer.cookie = cookie;
            answer.state = UrlRequest::kDone;
            OnComplete(cookie, &answer, nullptr, 0);
        }
        return kStarted;
    }
    queue_.Lock();
    int result = Enqueue(url, cookie);
    queue_.Unlock();
    if (result == kStarted) queue_.Wake();
    return result;
}

int CUrlFetcher::Enqueue(const std::string& url, void* cookie) {
    if (!queue_.StartWorker()) return kRefused;
    uint32_t node = 0;
    if (UrlRequest* old = queue_.Find(queue_.finished_, url, &node)) {
        if (old->state == UrlRequest::kDone && FileExists(old->localFile.c_str())) {
            // The worker completes it again from its cache file.
            if (queue_.pending_.AddTail(reinterpret_cast<uintptr_t>(old)) == 0) return kRefused;
            queue_.finished_.Remove(node);
            old->cookie = cookie;
            old->finished = 0;
            old->reported = 0;
            return kStarted;
        }
        // A failed request, or one whose cache file is gone, makes way for a new transfer.
        queue_.finished_.Remove(node);
        ForgetCacheFile(old->localFile);
        delete old;
    } else if (UrlRequest* waiting = queue_.Find(queue_.pending_, url, nullptr)) {
        waiting->cookie = cookie;
        // Asking again takes back a cancel that has not reached the transfer yet.
        if (waiting->state == UrlRequest::kNew && waiting != queue_.current_) waiting->cancel = 0;
        // Too late for the end report: asked for anew once it is retired.
        if (waiting->reported) waiting->again = 1;
        return kStarted;
    }
    return AddRequest(url, cookie);
}

int CUrlFetcher::AddRequest(const std::string& url, void* cookie) {
    char cacheFile[MAX_PATH];
    if (MakeTempFileName(nullptr, kCachePrefix, cacheFile, sizeof cacheFile,
                         CacheExtension(url).c_str(), 1, 0) == 0) {
        return kRefused;
    }
    auto* request = new (std::nothrow) UrlRequest;
    if (request == nullptr) {
        FileDelete(cacheFile);
        return kRefused;
    }
    request->owner = this;
    request->url = url;
    request->localFile = cacheFile;
    request->cookie = cookie;
    if (queue_.pending_.AddTail(reinterpret_cast<uintptr_t>(request)) == 0) {
        delete request;
        FileDelete(cacheFile);
        return kRefused;
    }
    cacheFiles_.push_back(cacheFile);
    return kStarted;
}

int CUrlFetcher::Cancel(const std::string& url) {
    HINTERNET session = 0;
    bool notify = false;
    void* cookie = nullptr;
    queue_.Lock();
    UrlRequest* request = queue_.Find(queue_.pending_, url, nullptr);
    if (request != nullptr) {
        if (!request->IsFinal()) {
            request->cancel = 1;
            // A cancel flag alone would wait for a stalled peer; closing the session
            // wakes the transfer at once.
            if (request == queue_.current_) session = TakeSession();
        }
        notify = request->notify != 0;
        cookie = request->cookie;
    }
    queue_.Unlock();
    if (session != 0) InternetCloseHandle(session);
    if (notify) OnComplete(cookie, request, nullptr, 0);
    return 0;
}

int CUrlFetcher::Query(const std::string& url, uint32_t* total, uint32_t* received) {
    int result = kUnknown;
    uint32_t totalSize = 0;
    uint32_t receivedSize = 0;
    queue_.Lock();
    UrlRequest* request = queue_.Find(queue_.finished_, url, nullptr);
    if (request == nullptr) request = queue_.Find(queue_.pending_, url, nullptr);
    if (request != nullptr) {
        uint32_t state = request->state;
        result = state == UrlRequest::kNew ? kPending : static_cast<int>(state);
        totalSize = request->total;
        receivedSize = request->received;
    }
    queue_.Unlock();
    if (total != nullptr) *total = totalSize;
    if (received != nullptr) *received = receivedSize;
    return result;
}

int CUrlFetcher::OnComplete(void* cookie, UrlRequest* request, const void*, uint32_t) {
    if (request->state == UrlRequest::kDone && cookie != nullptr)
        FileCopy(request->localFile.c_str(), static_cast<const char*>(cookie), 0);
    if (completion_ == nullptr) return 0;
    return completion_(this, cookie, request->total, request->received,
                       static_cast<int>(request->state));
}

void CUrlFetcher::CancelAll() {
    HINTERNET session = 0;
    queue_.Lock();
    UrlRequest* current = queue_.current_;
    for (uint32_t i = queue_.pending_.GetHead(); i != 0;) {
        uint32_t node = i;
        auto* request = reinterpret_cast<UrlRequest*>(queue_.pending_.GetNext(&i));
        if (request == current) continue;
        queue_.pending_.Remove(node);
        delete request;
    }
    if (current != nullptr) {
        current->notify = 0;
        current->again = 0;
        if (!current->IsFinal()) {
            current->cancel = 1;
            session = TakeSession();
        }
    }
    queue_.Unlock();
    if (session != 0) InternetCloseHandle(session);
    if (current != nullptr) queue_.WaitUntilLeft(current);

    queue_.Lock();
    for (uint32_t i = queue_.finished_.GetHead(); i != 0;)
        delete reinterpret_cast<UrlRequest*>(queue_.finished_.GetNext(&i));
    queue_.finished_.RemoveAll();
    queue_.Unlock();
    queue_.StopWorker();
}

HINTERNET CUrlFetcher::TakeSession() {
    HINTERNET session = session_;
    session_ = 0;
    return session;
}

HINTERNET CUrlFetcher::OpenUrl(UrlRequest& request) {
    queue_.Lock();
    if (request.cancel == 0 && session_ == 0)
        session_ = InternetOpenA(agent_.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    // Read under the lock: a cancel either comes before and is seen here, or closes
    // this very session and so fails the open below.
    HINTERNET session = request.cancel == 0 ? session_ : 0;
    queue_.Unlock();
    if (session == 0) return 0;
    return InternetOpenUrlA(session, request.url.c_str(), nullptr, 0, 0, 0);
}

void CUrlFetcher::ForgetCacheFile(const std::string& name) {
    auto it = std::find(cacheFiles_.begin(), cacheFiles_.end(), name);
    if (it != cacheFiles_.end()) cacheFiles_.erase(it);
}

void CUrlFetcher::DeleteCacheFiles() {
    for (int round = 0; round < kDeleteRounds && !cacheFiles_.empty(); ++round) {
        if (round > 0) Sleep(kDeleteRoundGapMs);
        std::vector<std::string> kept;
        for (const std::string& name : cacheFiles_) {
            if (FileDelete(name.c_str()) && FileExists(name.c_str())) kept.push_back(name);
        }
        cacheFiles_.swap(kept);
    }
    cacheFiles_.clear();
}
