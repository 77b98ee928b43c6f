#include "foundation/downloads/url_fetcher.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "foundation/downloads/url_fetcher_wait.h"
#include "foundation/files/file_layer.h"
#include "foundation/test_helpers.h"
#include "support/http_server.h"
#include "support/temp_dir.h"

namespace {

using foundation_test::Pattern;
using test_support::HttpResponse;
using namespace std::chrono_literals;

struct Call {
    void* cookie;
    uint32_t total;
    uint32_t received;
    int state;
    std::thread::id thread;
};

bool WaitUntil(const std::function<bool()>& condition) {
    for (auto end = std::chrono::steady_clock::now() + 20s; !condition();) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Records what the completion function hears, on whichever thread it is called, and the
// cache file of the latest notification.
class TestFetcher : public CUrlFetcher {
public:
    TestFetcher() : CUrlFetcher(this, "zorv test", &Completion) {}
    ~TestFetcher() override { CancelAll(); }

    int OnComplete(void* cookie, UrlRequest* request, const void* data, uint32_t size) override {
        {
            std::lock_guard guard(lock_);
            cacheFile_ = request->localFile;
        }
        return CUrlFetcher::OnComplete(cookie, request, data, size);
    }
    static int Completion(CUrlFetcher* fetcher, void* cookie, uint32_t total, uint32_t received,
                          int state) {
        auto* self = static_cast<TestFetcher*>(fetcher->GetOwnerValue());
        Call call{cookie, total, received, state, std::this_thread::get_id()};
        if (self->hook) self->hook(fetcher, call);
        std::lock_guard guard(self->lock_);
        self->calls_.push_back(call);
        return 0;
    }

    std::string CacheFile() {
        std::lock_guard guard(lock_);
        return cacheFile_;
    }
    std::vector<Call> Calls() {
        std::lock_guard guard(lock_);
        return calls_;
    }
    Call Last() {
        std::vector<Call> calls = Calls();
        return calls.empty() ? Call{} : calls.back();
    }
    bool StartAndWait(const std::string& url, void* cookie, size_t ends) {
        return Start(url, cookie) == kStarted && WaitEnds(ends);
    }
    // Waits for `count` calls that report an end (done or failed).
    bool WaitEnds(size_t count) {
        return WaitUntil([&] {
            std::vector<Call> calls = Calls();
            return size_t(std::count_if(calls.begin(), calls.end(),
                                        [](const Call& call) { return call.state >= 2; })) >= count;
        });
    }

    // Runs first on every call; set before the fetcher starts.
    std::function<void(CUrlFetcher*, const Call&)> hook;

private:
    std::mutex lock_;
    std::string cacheFile_;
    std::vector<Call> calls_;
};

class UrlFetcherTest : public ::testing::Test {
protected:
    // Cache files go to the test's own folder, so their names are predictable and no
    // other process takes them.
    void SetUp() override {
        if (const char* saved = std::getenv("TMPDIR")) savedTemp = saved;
        setenv("TMPDIR", dir.LinuxPath().c_str(), 1);
    }
    void TearDown() override {
        fetcher.reset();
        savedTemp.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", savedTemp.c_str(), 1);
    }
    // Headers and half the body, then silence until released.
    void ServeStalled(const std::string& path, HttpResponse::Framing framing, size_t sendBytes) {
        server.Serve(
            path,
            {.body = Pattern(65536), .framing = framing, .sendBytes = sendBytes, .stall = true});
    }
    bool Received(const std::string& url) {
        uint32_t received = 0;
        fetcher->Query(url, nullptr, &received);
        return received > 0;
    }
    int Query(const std::string& url) { return fetcher->Query(url, nullptr, nullptr); }
    // The user's own temporary folder inside TMPDIR, where the cache files go.
    static std::string OwnFolder() { return "zorv-" + std::to_string(geteuid()); }
    // Cache files in the temporary folder, whoever holds them.
    std::vector<std::string> CacheFiles() {
        std::vector<std::string> names;
        const std::filesystem::path own = std::filesystem::path(dir.LinuxPath()) / OwnFolder();
        if (!std::filesystem::exists(own)) return names;
        for (const auto& entry : std::filesystem::directory_iterator(own)) {
            std::string name = entry.path().filename().string();
            if (name.starts_with("cwx")) names.push_back(name);
        }
        return names;
    }
    uint32_t Pending() {
        CUrlRequestQueue& queue = fetcher->GetQueue();
        queue.Lock();
        uint32_t count = queue.GetPendingCount();
        queue.Unlock();
        return count;
    }

    test_support::HttpServer server;
    test_support::TempDir dir;
    std::unique_ptr<TestFetcher> fetcher = std::make_unique<TestFetcher>();
    std::string dest = dir.Win("dest.bin");
    std::string savedTemp;
};

TEST_F(UrlFetcherTest, LocalFilesAreAnsweredAtOnce) {
    dir.WriteFile("local.txt", "local data");
    std::string slashes = dir.Win("local.txt");
    std::replace(slashes.begin(), slashes.end(), '\\', '/');
    const std::string urls[] = {dir.Win("local.txt"), "file:///" + slashes,
                                "FILE://localhost/" + slashes, "file://" + dir.Linux("local.txt")};
    for (const std::string& url : urls) {
        SCOPED_TRACE(url);
        FileDelete(dest.c_str());
        size_t before = fetcher->Calls().size();
        EXPECT_EQ(fetcher->Start(url, dest.data()), CUrlFetcher::kStarted);
        ASSERT_EQ(fetcher->Calls().size(), before + 1);
        EXPECT_EQ(fetcher->Last().state, CUrlFetcher::kDone);
        EXPECT_EQ(dir.ReadFile("dest.bin"), "local data");
        EXPECT_EQ(Pending(), 0u);
        EXPECT_EQ(Query(url), CUrlFetcher::kUnknown);
    }
    EXPECT_EQ(fetcher->Start("file:///" + slashes + ".missing", dest.data()),
              CUrlFetcher::kRefused);

    std::string path;
    int exists = -1;
    EXPECT_EQ(CUrlFetcher::ResolveUrl("file://localhost/C:/no/such", path, &exists), 1);
    EXPECT_EQ(path, "C:\\no\\such");
    EXPECT_EQ(exists, 0);
    EXPECT_EQ(CUrlFetcher::ResolveUrl(server.Url("/x"), path, &exists), 0);
    EXPECT_EQ(CUrlFetcher::ResolveUrl("C:", path, &exists), 0);
}

TEST_F(UrlFetcherTest, DownloadsWithProgressIntoTheDestination) {
    std::string body = Pattern(100000);
    server.Serve("/data.bin", {.body = body});
    std::string url = server.Url("/data.bin");
    ASSERT_TRUE(fetcher->StartAndWait(url, dest.data(), 1));

    std::vector<Call> calls = fetcher->Calls();
    ASSERT_GE(calls.size(), 3u);
    uint32_t received = 0;
    for (size_t i = 0; i + 1 < calls.size(); ++i) {
        EXPECT_EQ(calls[i].state, 1);
        EXPECT_EQ(calls[i].total, body.size());
        EXPECT_GT(calls[i].received, received);
        received = calls[i].received;
    }
    EXPECT_EQ(calls.back().state, CUrlFetcher::kDone);
    EXPECT_EQ(calls.back().received, body.size());
    EXPECT_EQ(calls.back().cookie, dest.data());
    EXPECT_EQ(dir.ReadFile("dest.bin"), body);
    EXPECT_EQ(server.RequestCount("/data.bin"), 1);
    EXPECT_EQ(server.LastRequestHeader("User-Agent"), "zorv test");

    uint32_t total = 0;
    EXPECT_EQ(fetcher->Query(url, &total, &received), CUrlFetcher::kDone);
    EXPECT_EQ(total, body.size());
    EXPECT_EQ(received, body.size());
}

TEST_F(UrlFetcherTest, FailuresEndFailedAndLeaveNoCacheFileUntilAskedAgain) {
    server.Serve("/short", {.body = Pattern(50000), .sendBytes = 20000});
    server.Serve(
        "/short-chunked",
        {.body = Pattern(50000), .framing = HttpResponse::Framing::Chunked, .sendBytes = 20000});
    size_t ends = 0;
    // A missing local path is queued like a download and fails the same way.
    for (const std::string& url : {dir.Win("absent.txt"), server.Url("/missing"),
                                   server.Url("/short"), server.Url("/short-chunked")}) {
        SCOPED_TRACE(url);
        ASSERT_TRUE(fetcher->StartAndWait(url, dest.data(), ++ends));
        EXPECT_EQ(fetcher->Last().state, CUrlFetcher::kFailed);
        EXPECT_EQ(Query(url), CUrlFetcher::kFailed);
        EXPECT_FALSE(FileExists(fetcher->CacheFile().c_str()));
        EXPECT_FALSE(dir.Exists("dest.bin"));
    }

    server.Serve("/missing", {.body = "now here"});
    ASSERT_TRUE(fetcher->StartAndWait(server.Url("/missing"), dest.data(), ++ends));
    EXPECT_EQ(fetcher->Last().state, CUrlFetcher::kDone);
    EXPECT_EQ(Query(server.Url("/missing")), CUrlFetcher::kDone);
    EXPECT_EQ(dir.ReadFile("dest.bin"), "now here");
    EXPECT_EQ(server.RequestCount("/missing"), 2);
}

TEST_F(UrlFetcherTest, RepeatedStartsShareOneTransfer) {
    ServeStalled("/slow", HttpResponse::Framing::Close, HttpResponse::kWholeBody);
    std::string url = server.Url("/slow");
    std::string first = dir.Win("first.bin");
    ASSERT_EQ(fetcher->Start(url, first.data()), CUrlFetcher::kStarted);
    ASSERT_EQ(fetcher->Start(url, dest.data()), CUrlFetcher::kStarted);
    EXPECT_EQ(Pending(), 1u);
    ASSERT_TRUE(WaitUntil([&] { return server.RequestCount("/slow") == 1; }));
    server.ReleaseStalls();
    ASSERT_TRUE(fetcher->WaitEnds(1));
    EXPECT_EQ(fetcher->Last().state, CUrlFetcher::kDone);
    EXPECT_EQ(fetcher->Last().cookie, dest.data());
    EXPECT_EQ(dir.ReadFile("dest.bin"), Pattern(65536));
    EXPECT_FALSE(dir.Exists("first.bin"));

    // Done: served again from the cache file, without asking the server.
    std::string again = dir.Win("again.bin");
    ASSERT_TRUE(fetcher->StartAndWait(url, again.data(), 2));
    EXPECT_EQ(fetcher->Last().cookie, again.data());
    EXPECT_EQ(dir.ReadFile("again.bin"), Pattern(65536));
    EXPECT_EQ(server.RequestCount("/slow"), 1);

    // Without its cache file the URL is transferred anew.
    FileDelete(fetcher->CacheFile().c_str());
    server.Serve("/slow", {.body = "fresh"});
    ASSERT_TRUE(fetcher->StartAndWait(url, again.data(), 3));
    EXPECT_EQ(dir.ReadFile("again.bin"), "fresh");
    EXPECT_EQ(server.RequestCount("/slow"), 2);
}

TEST_F(UrlFetcherTest, StartFromTheEndReportIsHeardToo) {
    server.Serve("/twice", {.body = "twice"});
    std::string url = server.Url("/twice");
    std::string retry = server.Url("/retry");
    std::string second = dir.Win("second.bin");
    std::atomic<int> armed{2};
    fetcher->hook = [&](CUrlFetcher* source, const Call& call) {
        if (call.state == CUrlFetcher::kDone && call.cookie == dest.data() && armed-- > 0)
            source->Start(url, second.data());
        if (call.state == CUrlFetcher::kFailed && armed-- > 0) {
            server.Serve("/retry", {.body = "retried"});
            source->Start(retry, dest.data());
        }
    };
    ASSERT_TRUE(fetcher->StartAndWait(url, dest.data(), 2));
    EXPECT_EQ(fetcher->Last().cookie, second.data());
    EXPECT_EQ(dir.ReadFile("second.bin"), "twice");
    EXPECT_EQ(server.RequestCount("/twice"), 1);

    ASSERT_TRUE(fetcher->StartAndWait(retry, nullptr, 4));
    EXPECT_EQ(fetcher->Last().state, CUrlFetcher::kDone);
    EXPECT_EQ(dir.ReadFile("dest.bin"), "retried");
    EXPECT_EQ(server.RequestCount("/retry"), 2);
}

TEST_F(UrlFetcherTest, PendingCountHoldsTheCurrentRequestAndCancelStopsIt) {
    ServeStalled("/stalled", HttpResponse::Framing::ContentLength, 32768);
    server.Serve("/queued", {.body = "queued"});
    server.Serve("/revoked", {.body = "revoked"});
    std::string stalled = server.Url("/stalled");
    std::string queued = server.Url("/queued");
    std::string revoked = server.Url("/revoked");
    ASSERT_EQ(fetcher->Start(stalled, nullptr), CUrlFetcher::kStarted);
    ASSERT_EQ(fetcher->Start(queued, nullptr), CUrlFetcher::kStarted);
    ASSERT_EQ(fetcher->Start(revoked, nullptr), CUrlFetcher::kStarted);
    ASSERT_TRUE(WaitUntil([&] { return Received(stalled); }));
    EXPECT_EQ(Pending(), 3u);
    EXPECT_EQ(Query(queued), CUrlFetcher::kPending);
    std::string stalledCache = fetcher->CacheFile();

    // A queued request cancelled and asked for again is wanted after all.
    fetcher->Cancel(revoked);
    fetcher->Cancel(queued);
    ASSERT_EQ(fetcher->Start(revoked, nullptr), CUrlFetcher::kStarted);
    // The stall is never released: the cancel itself has to reach the transfer.
    fetcher->Cancel(stalled);
    ASSERT_TRUE(WaitUntil([&] { return Pending() == 0; }));
    EXPECT_EQ(Query(stalled), CUrlFetcher::kFailed);
    EXPECT_EQ(Query(queued), CUrlFetcher::kFailed);
    EXPECT_EQ(Query(revoked), CUrlFetcher::kDone);
    EXPECT_EQ(server.RequestCount("/queued"), 0);
    EXPECT_FALSE(FileExists(stalledCache.c_str()));
}

TEST_F(UrlFetcherTest, DestroyingDuringAStalledTransferReturnsSoon) {
    // Stalled while waiting for the headers, and stalled inside the body.
    for (size_t sent : {size_t{0}, size_t{32768}}) {
        SCOPED_TRACE(sent);
        std::string path = "/stall" + std::to_string(sent), url = server.Url(path);
        ServeStalled(path, HttpResponse::Framing::ContentLength, sent);
        auto doomed = std::make_unique<TestFetcher>();
        ASSERT_EQ(doomed->Start(url, dest.data()), CUrlFetcher::kStarted);
        uint32_t received = 0;
        ASSERT_TRUE(WaitUntil([&] {
            return doomed->Query(url, nullptr, &received) == CUrlFetcher::kPending &&
                   server.RequestCount(path) == 1 && (received > 0) == (sent > 0);
        }));
        std::string cache = doomed->CacheFile();
        auto start = std::chrono::steady_clock::now();
        doomed.reset();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
        EXPECT_FALSE(!cache.empty() && FileExists(cache.c_str()));
    }
    EXPECT_FALSE(dir.Exists("dest.bin"));
}

TEST_F(UrlFetcherTest, CacheFilesKeepShortExtensionsAndGoWithTheirFetcher) {
    std::vector<std::string> caches;
    for (const char* path : {"/page.html", "/page.phtml5"}) {
        server.Serve(path, {.body = "<p>"});
        ASSERT_EQ(fetcher->Start(server.Url(path), nullptr), CUrlFetcher::kStarted);
        ASSERT_TRUE(WaitUntil([&] { return Query(server.Url(path)) == CUrlFetcher::kDone; }));
        caches.push_back(fetcher->CacheFile());
        EXPECT_TRUE(FileExists(caches.back().c_str()));
    }
    // The temporary folder is the user's own inside TMPDIR.
    std::string own = OwnFolder() + "\\";
    EXPECT_EQ(caches,
              (std::vector<std::string>{dir.Win(own + "cwx1.html"), dir.Win(own + "cwx1.tmp")}));
    fetcher.reset();
    for (const std::string& cache : caches)
        EXPECT_FALSE(FileExists(cache.c_str())) << cache;
}

TEST_F(UrlFetcherTest, FetchersKeepToTheirOwnCacheFiles) {
    ASSERT_EQ(fetcher->Start(server.Url("/gone"), nullptr), CUrlFetcher::kStarted);
    ASSERT_TRUE(WaitUntil([&] { return Query(server.Url("/gone")) == CUrlFetcher::kFailed; }));
    std::string freed = fetcher->CacheFile();
    EXPECT_FALSE(FileExists(freed.c_str()));

    server.Serve("/kept", {.body = "kept"});
    std::string url = server.Url("/kept");
    TestFetcher other;
    ASSERT_EQ(other.Start(url, nullptr), CUrlFetcher::kStarted);
    ASSERT_TRUE(
        WaitUntil([&] { return other.Query(url, nullptr, nullptr) == CUrlFetcher::kDone; }));
    // The name came free with the failure and was taken again.
    ASSERT_EQ(other.CacheFile(), freed);
    fetcher.reset();
    EXPECT_TRUE(FileExists(freed.c_str()));
    ASSERT_TRUE(other.StartAndWait(url, dest.data(), 1));
    EXPECT_EQ(dir.ReadFile("dest.bin"), "kept");
    EXPECT_EQ(server.RequestCount("/kept"), 1);

    // A done download whose file was deleted behind its back: the name it still holds
    // is the other fetcher's file now.
    server.Serve("/done", {.body = "done"});
    auto first = std::make_unique<TestFetcher>();
    ASSERT_EQ(first->Start(server.Url("/done"), nullptr), CUrlFetcher::kStarted);
    ASSERT_TRUE(WaitUntil(
        [&] { return first->Query(server.Url("/done"), nullptr, nullptr) == CUrlFetcher::kDone; }));
    std::string taken = first->CacheFile();
    ASSERT_TRUE(FileDelete(taken.c_str()));
    server.Serve("/taker", {.body = "taker"});
    ASSERT_TRUE(other.StartAndWait(server.Url("/taker"), dest.data(), 2));
    ASSERT_EQ(other.CacheFile(), taken);
    first.reset();
    ASSERT_TRUE(other.StartAndWait(server.Url("/taker"), dest.data(), 3));
    EXPECT_EQ(dir.ReadFile("dest.bin"), "taker");
    EXPECT_EQ(server.RequestCount("/taker"), 1);
}

TEST_F(UrlFetcherTest, AFailedUrlAskedAgainLeavesNoDownloadBehind) {
    server.Serve("/kept.bin", {.body = "kept"});
    std::string failing = server.Url("/failing.bin");
    ASSERT_TRUE(fetcher->StartAndWait(failing, dest.data(), 1));
    ASSERT_EQ(fetcher->Last().state, CUrlFetcher::kFailed);
    // Takes the name the failure gave back.
    ASSERT_TRUE(fetcher->StartAndWait(server.Url("/kept.bin"), dest.data(), 2));
    ASSERT_EQ(fetcher->Last().state, CUrlFetcher::kDone);
    ASSERT_TRUE(fetcher->StartAndWait(failing, dest.data(), 3));
    EXPECT_EQ(fetcher->Last().state, CUrlFetcher::kFailed);
    fetcher.reset();
    EXPECT_EQ(CacheFiles(), std::vector<std::string>{});
}

TEST_F(UrlFetcherTest, ARevivedDownloadProvesItsCacheFileIsItsOwn) {
    for (const char* name : {"one", "two", "three"})
        server.Serve("/" + std::string(name) + ".bin", {.body = name});
    std::string one = server.Url("/one.bin");
    ASSERT_TRUE(fetcher->StartAndWait(one, dest.data(), 1));
    std::string oneCache = fetcher->CacheFile();
    // A cleaner of the temporary folder takes the file, and its name comes free on disk.
    ASSERT_TRUE(FileDelete(oneCache.c_str()));
    ASSERT_TRUE(fetcher->StartAndWait(server.Url("/two.bin"), dest.data(), 2));
    EXPECT_NE(fetcher->CacheFile(), oneCache);
    TestFetcher other;
    std::string otherDest = dir.Win("other.bin");
    ASSERT_TRUE(other.StartAndWait(server.Url("/three.bin"), otherDest.data(), 1));
    ASSERT_EQ(other.CacheFile(), oneCache);

    ASSERT_TRUE(fetcher->StartAndWait(one, dest.data(), 3));
    EXPECT_EQ(fetcher->Last().state, CUrlFetcher::kDone);
    EXPECT_EQ(dir.ReadFile("dest.bin"), "one");
    EXPECT_EQ(server.RequestCount("/one.bin"), 2);

    // Rewritten in place, the file is no longer the download either.
    std::string cache = fetcher->CacheFile();
    dir.WriteFile(OwnFolder() + "/" + cache.substr(cache.rfind('\\') + 1), "rewritten");
    ASSERT_TRUE(fetcher->StartAndWait(one, dest.data(), 4));
    EXPECT_EQ(dir.ReadFile("dest.bin"), "one");
    EXPECT_EQ(server.RequestCount("/one.bin"), 3);

    fetcher.reset();
    ASSERT_TRUE(other.StartAndWait(server.Url("/three.bin"), otherDest.data(), 2));
    EXPECT_EQ(dir.ReadFile("other.bin"), "three");
    EXPECT_EQ(server.RequestCount("/three.bin"), 1);
}

TEST_F(UrlFetcherTest, UrlsDifferingInPathCaseAreTwoResources) {
    server.Serve("/files/case.bin", {.body = "lower"});
    server.Serve("/files/Case.bin", {.body = "upper"});
    std::string lower = dir.Win("lower.bin"), upper = dir.Win("upper.bin"),
                shouted = dir.Win("shouted.bin"), again = dir.Win("again.bin");
    ASSERT_TRUE(fetcher->StartAndWait(server.Url("/files/case.bin"), lower.data(), 1));
    ASSERT_TRUE(fetcher->StartAndWait(server.Url("/files/Case.bin"), upper.data(), 2));
    ASSERT_TRUE(fetcher->StartAndWait(server.Url("/FILES/CASE.BIN"), shouted.data(), 3));
    EXPECT_EQ(fetcher->Last().state, CUrlFetcher::kFailed);
    EXPECT_EQ(dir.ReadFile("lower.bin"), "lower");
    EXPECT_EQ(dir.ReadFile("upper.bin"), "upper");
    EXPECT_FALSE(dir.Exists("shouted.bin"));

    // The scheme is not case-sensitive: the first download answers.
    std::string url = server.Url("/files/case.bin");
    url.replace(0, 4, "HTTP");
    ASSERT_TRUE(fetcher->StartAndWait(url, again.data(), 4));
    EXPECT_EQ(dir.ReadFile("again.bin"), "lower");
    EXPECT_EQ(server.RequestCount("/files/case.bin"), 1);

    EXPECT_TRUE(SameUrl("http://Example.COM:80/a?q=B", "HTTP://example.com:80/a?q=B"));
    EXPECT_TRUE(SameUrl("http://host/dir\\name", "http://host/dir/name"));
    EXPECT_FALSE(SameUrl("http://host/a?q=B", "http://host/a?q=b"));
    EXPECT_FALSE(SameUrl("ftp://User@host/a", "ftp://user@host/a"));
    EXPECT_TRUE(SameUrl("ftp://User@Host/a", "FTP://User@host/a"));
    EXPECT_TRUE(SameUrl("File://LocalHost/C:/a", "file://localhost/C:/a"));
    EXPECT_FALSE(SameUrl("file:///C:/a", "file:///C:/A"));
    // Without a scheme it names a Windows path.
    EXPECT_TRUE(SameUrl("C:\\Dir\\Name.txt", "c:/dir/name.TXT"));
}

TEST_F(UrlFetcherTest, AStartAfterTheCancelOfARunningTransferFetchesAgain) {
    ServeStalled("/running", HttpResponse::Framing::ContentLength, 32768);
    std::string url = server.Url("/running");
    std::string first = dir.Win("first.bin");
    ASSERT_EQ(fetcher->Start(url, first.data()), CUrlFetcher::kStarted);
    ASSERT_TRUE(WaitUntil([&] { return Received(url); }));
    server.Serve("/running", {.body = Pattern(65536)});
    // Held, the lock keeps the worker from ending the cancelled transfer before the Start.
    CUrlRequestQueue& queue = fetcher->GetQueue();
    queue.Lock();
    fetcher->Cancel(url);
    ASSERT_EQ(fetcher->Start(url, dest.data()), CUrlFetcher::kStarted);
    queue.Unlock();
    ASSERT_TRUE(fetcher->WaitEnds(1));
    ASSERT_TRUE(WaitUntil([&] { return Pending() == 0; }));
    EXPECT_EQ(fetcher->Last().state, CUrlFetcher::kDone);
    EXPECT_EQ(fetcher->Last().cookie, dest.data());
    EXPECT_TRUE(dir.ReadFile("dest.bin") == Pattern(65536));
    EXPECT_EQ(server.RequestCount("/running"), 2);
    EXPECT_FALSE(dir.Exists("first.bin"));
    std::vector<Call> calls = fetcher->Calls();
    EXPECT_EQ(
        std::count_if(calls.begin(), calls.end(), [](const Call& call) { return call.state >= 2; }),
        1);
}

// Starts and cancels at random over good and failing URLs, with fetchers destroyed both
// while busy and once idle. Every Start has its own destination file as its cookie.
TEST_F(UrlFetcherTest, RandomStartsAndCancelsEndRight) {
    test_support::RefusingPort refusing;
    std::vector<std::string> urls;
    std::vector<std::string> bodies;
    for (size_t size : {1, 100, 8192, 8193, 20000, 50000, 3, 70000}) {
        std::string path = "/r" + std::to_string(urls.size()) + ".bin";
        bodies.push_back(Pattern(size + urls.size()));
        server.Serve(path, {.body = bodies.back()});
        urls.push_back(server.Url(path));
    }
    server.Serve("/cut.bin", {.body = Pattern(30000), .sendBytes = 10000});
    for (const char* path : {"/cut.bin", "/absent.bin", "/gone.bin"}) {
        urls.push_back(server.Url(path));
        bodies.emplace_back();
    }
    urls.push_back("http://127.0.0.1:" + std::to_string(refusing.Port()) + "/refused.bin");
    bodies.emplace_back();

    dir.WriteFile("out/keep", "");
    std::mt19937 random(36);
    std::deque<std::string> cookies;
    std::vector<size_t> cookieUrls;
    const std::thread::id self = std::this_thread::get_id();
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        fetcher = std::make_unique<TestFetcher>();
        size_t firstCookie = cookies.size();
        std::vector<size_t> latest(urls.size(), SIZE_MAX);
        std::vector<bool> lastWasStart(urls.size(), false);
        for (int step = 0; step < 60; ++step) {
            size_t u = random() % urls.size();
            unsigned action = random() % 10;
            if (action < 6) {
                latest[u] = cookies.size();
                cookies.push_back(dir.Win("out\\" + std::to_string(cookies.size())));
                cookieUrls.push_back(u);
                ASSERT_EQ(fetcher->Start(urls[u], cookies.back().data()), CUrlFetcher::kStarted);
                lastWasStart[u] = true;
            } else if (action < 9) {
                fetcher->Cancel(urls[u]);
                lastWasStart[u] = false;
            } else {
                ASSERT_TRUE(WaitUntil([&] { return Query(urls[u]) != CUrlFetcher::kPending; }));
            }
        }
        if (round % 2 == 1) {
            ASSERT_TRUE(WaitUntil([&] { return Pending() == 0; }));
            std::vector<Call> calls = fetcher->Calls();
            for (size_t c = firstCookie; c < cookies.size(); ++c) {
                size_t u = cookieUrls[c];
                SCOPED_TRACE(urls[u] + " to " + std::to_string(c));
                // The end as the worker reports it; Cancel's own call on this thread is
                // not one.
                std::vector<int> ends;
                for (const Call& call : calls) {
                    if (call.cookie == cookies[c].data() && call.state >= 2 && call.thread != self)
                        ends.push_back(call.state);
                }
                EXPECT_LE(ends.size(), 1u);
                if (latest[u] == c) {
                    ASSERT_EQ(ends.size(), 1u);
                    if (lastWasStart[u]) {
                        EXPECT_EQ(ends[0],
                                  bodies[u].empty() ? CUrlFetcher::kFailed : CUrlFetcher::kDone);
                    }
                    EXPECT_EQ(Query(urls[u]), ends[0]);
                }
                std::string out = "out/" + std::to_string(c);
                if (!ends.empty()) {
                    EXPECT_EQ(dir.Exists(out), ends[0] == CUrlFetcher::kDone);
                }
                if (dir.Exists(out)) {
                    EXPECT_TRUE(dir.ReadFile(out) == bodies[u]);
                }
            }
        }
        fetcher.reset();
        EXPECT_EQ(CacheFiles(), std::vector<std::string>{});
    }
}

struct IdleContext {
    test_support::HttpServer* server;
    int calls = 0;
};

void ReleaseOnceRequested(void* user) {
    auto* context = static_cast<IdleContext*>(user);
    if (context->calls++ == 0) {
        while (context->server->RequestCount("/blocking") == 0)
            std::this_thread::sleep_for(1ms);
        context->server->ReleaseStalls();
    }
}

TEST_F(UrlFetcherTest, DownloadBlocksCallingItsIdleFunction) {
    ServeStalled("/blocking", HttpResponse::Framing::Close, HttpResponse::kWholeBody);
    CUrlFetcherWait waiter("zorv test");
    IdleContext context{&server};
    EXPECT_EQ(
        waiter.Download(server.Url("/blocking"), dest.c_str(), &ReleaseOnceRequested, 20, &context),
        CUrlFetcherWait::kCopied);
    EXPECT_GE(context.calls, 1);
    EXPECT_EQ(dir.ReadFile("dest.bin"), Pattern(65536));

    // A failed download reports no file, not the one fetched before.
    std::string other = dir.Win("other.bin");
    EXPECT_EQ(waiter.Download(server.Url("/missing"), other.c_str(), nullptr, 20, nullptr),
              CUrlFetcherWait::kNoFile);
    EXPECT_FALSE(dir.Exists("other.bin"));

    dir.WriteFile("local.txt", "here");
    EXPECT_EQ(waiter.Download(dir.Win("local.txt"), other.c_str(), nullptr, 20, nullptr),
              CUrlFetcherWait::kCopied);
    EXPECT_EQ(dir.ReadFile("other.bin"), "here");
    EXPECT_EQ(waiter.Download(dir.Win("local.txt"), dir.Win("no\\such\\folder").c_str(), nullptr,
                              20, nullptr),
              CUrlFetcherWait::kNoFile);
}

} // namespace
