#include "foundation/downloads/url_fetcher.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "foundation/files/file_layer.h"
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
            path.insert(path.begin(), '\\');
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
            // Reported as a finished transfer is: all of it received.
            const uint32_t size = FileGetSizeByName(localPath.c_str());
            answer.total = size;
            answer.received = size;
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
        bool done = old->state == UrlRequest::kDone;
        if (done && OwnsCacheFile(old->localFile)) {
            // The worker completes it again from its cache file.
            if (queue_.pending_.AddTail(reinterpret_cast<uintptr_t>(old)) == 0) return kRefused;
            queue_.finished_.Remove(node);
            old->cookie = cookie;
            old->cancel = 0;
            old->finished = 0;
            old->reported = 0;
            return kStarted;
        }
        // A failed request, or one whose cache file is gone or another now, makes way
        // for a new transfer. A failed one gave its name back when it failed: the name
        // may be a live download's by now.
        queue_.finished_.Remove(node);
        if (done) ForgetCacheFile(old->localFile);
        delete old;
    } else if (UrlRequest* waiting = queue_.Find(queue_.pending_, url, nullptr)) {
        waiting->cookie = cookie;
        if (waiting->cancel && waiting != queue_.current_ && waiting->state == UrlRequest::kNew) {
            // Asking again takes back a cancel that has not reached the transfer yet.
            waiting->cancel = 0;
        } else if (waiting->cancel && !waiting->reported) {
            // The transfer ends cancelled all the same; its end is not this caller's.
            waiting->silent = 1;
            waiting->again = UrlRequest::kAgain;
        }
        // Too late for the end report: asked for anew once it is retired.
        if (waiting->reported) waiting->again = UrlRequest::kAgain;
        return kStarted;
    }
    return AddRequest(url, cookie);
}

int CUrlFetcher::AddRequest(const std::string& url, void* cookie) {
    char cacheFile[MAX_PATH];
    std::string extension = CacheExtension(url);
    for (uint32_t number = 0;;) {
        number = MakeTempFileName(nullptr, kCachePrefix, cacheFile, sizeof cacheFile,
                                  extension.c_str(), 1, number);
        if (number == 0) return kRefused;
        if (FindCacheFile(cacheFile) == cacheFiles_.end()) break;
        // A finished download whose file something else deleted still answers to the
        // name; the file just made there is not its.
        FileDelete(cacheFile);
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
    cacheFiles_.push_back({cacheFile, std::nullopt});
    return kStarted;
}

int CUrlFetcher::Cancel(const std::string& url) {
    HINTERNET session = 0;
    bool notify = false;
    void* cookie = nullptr;
    queue_.Lock();
    UrlRequest* request = queue_.Find(queue_.pending_, url, nullptr);
    if (request != nullptr) {
        if (request->again != UrlRequest::kNotAgain) {
            // Takes back a Start that came after an earlier cancel or after the end.
            if (request->IsFinal()) {
                request->again = UrlRequest::kAgainCancelled;
            } else {
                request->again = UrlRequest::kNotAgain;
                request->silent = 0;
            }
        }
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

std::vector<CUrlFetcher::CacheFile>::iterator CUrlFetcher::FindCacheFile(const std::string& name) {
    return std::find_if(cacheFiles_.begin(), cacheFiles_.end(),
                        [&](const CacheFile& file) { return file.name == name; });
}

std::vector<CUrlFetcher::CacheFile>::const_iterator
CUrlFetcher::FindCacheFile(const std::string& name) const {
    return std::find_if(cacheFiles_.begin(), cacheFiles_.end(),
                        [&](const CacheFile& file) { return file.name == name; });
}

void CUrlFetcher::ForgetCacheFile(const std::string& name) {
    auto it = FindCacheFile(name);
    if (it != cacheFiles_.end()) cacheFiles_.erase(it);
}

void CUrlFetcher::RecordCacheFile(const std::string& name, const FileIdentity& identity) {
    auto it = FindCacheFile(name);
    if (it != cacheFiles_.end()) it->identity = identity;
}

bool CUrlFetcher::OwnsCacheFile(const std::string& name) const {
    auto it = FindCacheFile(name);
    FileIdentity now;
    return it != cacheFiles_.end() && it->identity && GetFileIdentity(name.c_str(), &now) &&
           now == *it->identity;
}

void CUrlFetcher::DeleteCacheFiles() {
    for (int round = 0; round < kDeleteRounds && !cacheFiles_.empty(); ++round) {
        if (round > 0) Sleep(kDeleteRoundGapMs);
        std::vector<CacheFile> kept;
        for (const CacheFile& file : cacheFiles_) {
            const char* name = file.name.c_str();
            // A finished download's file that is no longer the one it wrote is left alone:
            // the name may be another fetcher's by now.
            if (file.identity && !OwnsCacheFile(file.name)) continue;
            if (FileDelete(name) && FileExists(name)) kept.push_back(file);
        }
        cacheFiles_.swap(kept);
    }
    cacheFiles_.clear();
}
