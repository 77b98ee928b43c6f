// System's downloads of a 100 MB body over loopback HTTP, blocking and in the background
// (followed with OnDownload while the script waits), beside curl's command-line tool
// fetching the same URL into a file, when /usr/bin/curl is there. The curl run reports each
// way's speed over curl's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "classes_system_script.h"
#include "support/http_server.h"

namespace {

constexpr size_t kBodySize = 100u << 20;
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

using Clock = std::chrono::steady_clock;

double blockingRate = 0;
double backgroundRate = 0;

// A failed download reads a name without a value: error 41 ends the run.
std::string BlockingScript(const std::string& url) {
    return "f = System.DownloadFile(\"" + url + "\");\nIf (f == \"\") f = missing;\n";
}

std::string BackgroundScript(const std::string& url) {
    return "done = 0;\n"
           "Function Follow(address, name, received, total, status) {\n"
           "  If (status == System.DOWNLOADSTATUS_DOWNLOADED) done = 1;\n"
           "  If (status == System.DOWNLOADSTATUS_ABORTED) done = 2;\n"
           "}\n"
           "System.OnDownload = Follow;\n"
           "System.DownloadFile(\"" +
           url +
           "\", 1);\n"
           "While (done == 0) Program.Wait(10);\n"
           "If (done != 1) f = missing;\n";
}

void TimeScript(benchmark::State& state, const std::string& source, double& rate) {
    double seconds = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        if (RunSystemScript(source) != 0) {
            state.SkipWithError("the download failed");
            return;
        }
        double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kBodySize});
    if (seconds > 0) rate = double(state.iterations()) * kBodySize / seconds;
}

void BM_SystemDownloadBlocking(benchmark::State& state) {
    TimeScript(state, BlockingScript(LoopbackServer::Get().Url()), blockingRate);
}

void BM_SystemDownloadBackground(benchmark::State& state) {
    TimeScript(state, BackgroundScript(LoopbackServer::Get().Url()), backgroundRate);
}

void BM_CurlCommandDownload100MB(benchmark::State& state) {
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
    if (seconds <= 0) return;
    double curlRate = double(state.iterations()) * kBodySize / seconds;
    if (blockingRate > 0) state.counters["blocking/curl"] = blockingRate / curlRate;
    if (backgroundRate > 0) state.counters["background/curl"] = backgroundRate / curlRate;
}

} // namespace

BENCHMARK(BM_SystemDownloadBlocking)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SystemDownloadBackground)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurlCommandDownload100MB)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
