// Download speed of the URL fetcher over loopback HTTP (a 50 MB body into its cache
// file), beside curl's command-line tool fetching the same URL into a file, when
// /usr/bin/curl is there. The curl run reports the fetcher's speed over curl's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>

#include "foundation/downloads/url_fetcher.h"
#include "support/http_server.h"

namespace {

constexpr size_t kBodySize = 50u << 20;
constexpr const char* kCurl = "/usr/bin/curl";

// One loopback server for every round, answering with the same body.
class LoopbackServer {
public:
    static LoopbackServer& Get() {
        static LoopbackServer server;
        return server;
    }
    std::string Url() const { return server_.Url("/body.bin"); }

private:
    LoopbackServer() {
        std::string body(kBodySize, '\0');
        uint32_t state = 1;
        for (char& byte : body)
            byte = static_cast<char>((state = state * 1664525 + 1013904223) >> 24);
        server_.Serve("/body.bin", test_support::HttpResponse{.body = std::move(body)});
    }

    test_support::HttpServer server_;
};

// Waits for the end of its one download, leaving the cache file where it is.
class BenchFetcher : public CUrlFetcher {
public:
    BenchFetcher() : CUrlFetcher(nullptr, "zorv bench", nullptr) {}
    ~BenchFetcher() override { CancelAll(); }

    int OnComplete(void*, UrlRequest* request, const void*, uint32_t) override {
        if (request->IsFinal()) {
            std::lock_guard guard(lock_);
            state_ = static_cast<int>(request->state);
            ended_.notify_all();
        }
        return 0;
    }
    int WaitEnd() {
        std::unique_lock guard(lock_);
        ended_.wait(guard, [this] { return state_ != 0; });
        return state_;
    }

private:
    std::mutex lock_;
    std::condition_variable ended_;
    int state_ = 0;
};

using Clock = std::chrono::steady_clock;

// The fetcher's speed in bytes per second, for the comparison with curl.
double fetcherRate = 0;

void BM_UrlFetcherDownload(benchmark::State& state) {
    LoopbackServer& server = LoopbackServer::Get();
    double seconds = 0;
    for (auto _ : state) {
        // A fetcher of its own per round, which has nothing in its cache yet.
        BenchFetcher fetcher;
        // A cookie, so that the end of the transfer is reported.
        int cookie = 0;
        auto start = Clock::now();
        if (fetcher.Start(server.Url(), &cookie) != CUrlFetcher::kStarted ||
            fetcher.WaitEnd() != CUrlFetcher::kDone) {
            state.SkipWithError("the download failed");
            break;
        }
        double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kBodySize});
    if (seconds > 0) fetcherRate = static_cast<double>(state.iterations()) * kBodySize / seconds;
}

void BM_CurlCommandDownload(benchmark::State& state) {
    if (!std::filesystem::exists(kCurl)) {
        state.SkipWithError("no /usr/bin/curl: nothing to compare with");
        return;
    }
    LoopbackServer& server = LoopbackServer::Get();
    std::filesystem::path output = std::filesystem::temp_directory_path() / "zorv-bench-curl.bin";
    double seconds = 0;
    for (auto _ : state) {
        std::string command =
            std::string(kCurl) + " -s -f -o '" + output.string() + "' '" + server.Url() + "'";
        auto start = Clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("curl failed");
            break;
        }
        double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    std::error_code ignored;
    std::filesystem::remove(output, ignored);
    state.SetBytesProcessed(state.iterations() * int64_t{kBodySize});
    if (fetcherRate > 0 && seconds > 0) {
        double curlRate = static_cast<double>(state.iterations()) * kBodySize / seconds;
        state.counters["fetcher/curl"] = fetcherRate / curlRate;
    }
}

} // namespace

BENCHMARK(BM_UrlFetcherDownload)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurlCommandDownload)->UseManualTime()->Unit(benchmark::kMillisecond);
