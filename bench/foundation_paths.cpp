// Wildcard matching on ordinary patterns and on patterns with many stars, which a
// matcher that backtracks over every star would take exponential time on, and a
// recursive file listing over a tree of 10^4 entries.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/files/file_layer.h"
#include "foundation/files/file_list.h"
#include "foundation/files/path_compare.h"
#include "foundation/files/wildcard_match.h"

namespace {

void BM_WildcardManyStars(benchmark::State& state) {
    std::string text(static_cast<size_t>(state.range(0)), 'a');
    for (auto _ : state)
        benchmark::DoNotOptimize(MatchWildcardPattern("*a*a*a*a*a*a*b", text.c_str()));
    state.SetBytesProcessed(int64_t{state.iterations()} * state.range(0));
}
BENCHMARK(BM_WildcardManyStars)->Arg(200)->Arg(2000)->Arg(20000);

void BM_WildcardManyStarsAndSets(benchmark::State& state) {
    std::string text(static_cast<size_t>(state.range(0)), 'a');
    for (auto _ : state)
        benchmark::DoNotOptimize(MatchWildcardPattern("*?*[ab]*?*[ab]*?*[ab]*c", text.c_str()));
    state.SetBytesProcessed(int64_t{state.iterations()} * state.range(0));
}
BENCHMARK(BM_WildcardManyStarsAndSets)->Arg(200)->Arg(2000);

// A star whose next literal occurs everywhere: every text position starts a long
// attempt that fails near its end.
void BM_WildcardLongFailingAttempts(benchmark::State& state) {
    std::string text(200, 'a');
    std::string pattern = "*" + std::string(50, 'a') + "b";
    for (auto _ : state)
        benchmark::DoNotOptimize(MatchWildcardPattern(pattern.c_str(), text.c_str()));
}
BENCHMARK(BM_WildcardLongFailingAttempts);

void BM_WildcardOrdinary(benchmark::State& state) {
    const char* names[] = {"document.txt", "IMAGE01.PCX", "readme", "report_2024_final.doc",
                           "setup.exe"};
    for (auto _ : state) {
        for (const char* name : names) {
            benchmark::DoNotOptimize(WildcardMatch("*.txt", name, 0));
            benchmark::DoNotOptimize(WildcardMatch("image[0-9][0-9].*", name, 0));
            benchmark::DoNotOptimize(WildcardMatch("*_????_*.doc", name, 1));
        }
    }
    state.SetItemsProcessed(int64_t{state.iterations()} * 15);
}
BENCHMARK(BM_WildcardOrdinary);

void BM_MatchPath(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            MatchPath("C:\\games\\data\\levels\\level07.map", "levels\\*.map"));
        benchmark::DoNotOptimize(MatchPath("C:\\games\\data\\levels\\level07.map", "*.*"));
    }
    state.SetItemsProcessed(int64_t{state.iterations()} * 2);
}
BENCHMARK(BM_MatchPath);

// 100 folders of 99 files each: 10^4 entries, made on first use, removed at exit.
class BenchTree {
public:
    static constexpr int kFolders = 100;
    static constexpr int kFilesPerFolder = 99;

    static const std::string& Root() {
        static BenchTree tree;
        return tree.root_;
    }

private:
    BenchTree() {
        char path[MAX_PATH] = {};
        if (MakeTempFileName(nullptr, "zfl", path, sizeof path, "dir", 0, 0) == 0) std::abort();
        root_ = std::string(path) + "\\";
        if (!MakeDirectory(path)) std::abort();
        for (int folder = 0; folder < kFolders; ++folder) {
            if (!MakeDirectory(Folder(folder).c_str())) std::abort();
            for (int file = 0; file < kFilesPerFolder; ++file) {
                HANDLE handle = FileCreate(File(folder, file).c_str());
                if (handle == INVALID_HANDLE_VALUE) std::abort();
                FileClose(handle);
            }
        }
    }
    ~BenchTree() {
        for (int folder = 0; folder < kFolders; ++folder) {
            for (int file = 0; file < kFilesPerFolder; ++file)
                FileDelete(File(folder, file).c_str());
            FileDelete(Folder(folder).c_str());
        }
        FileDelete(root_.c_str());
    }
    std::string Folder(int folder) const {
        char name[32];
        std::snprintf(name, sizeof name, "folder%03d", (folder * 37) % kFolders);
        return root_ + name;
    }
    std::string File(int folder, int file) const {
        char name[32];
        std::snprintf(name, sizeof name, "\\File_%02d.%s", (file * 53) % kFilesPerFolder,
                      file % 3 == 0 ? "txt" : "dat");
        return Folder(folder) + name;
    }

    std::string root_;
};

void ListTree(benchmark::State& state, uint32_t flags, const char* include, const char* exclude) {
    const std::string& root = BenchTree::Root();
    size_t count = 0;
    for (auto _ : state) {
        CFileList list;
        list.AddIncludePatterns(include);
        list.AddExcludePatterns(exclude);
        if (!list.ListFiles(root.c_str(), flags)) std::abort();
        count = list.GetResults().size();
    }
    state.counters["results"] = static_cast<double>(count);
    state.SetItemsProcessed(int64_t{state.iterations()} * 10000);
}

constexpr uint32_t kWalk = CFileList::kRecurse | CFileList::kFiles | CFileList::kDirectories;

void BM_FileListWalk(benchmark::State& state) {
    ListTree(state, kWalk, "*.*", nullptr);
}
BENCHMARK(BM_FileListWalk)->Unit(benchmark::kMillisecond);

void BM_FileListWalkSorted(benchmark::State& state) {
    ListTree(state, kWalk | CFileList::kSorted, "*.*", nullptr);
}
BENCHMARK(BM_FileListWalkSorted)->Unit(benchmark::kMillisecond);

void BM_FileListWalkFiltered(benchmark::State& state) {
    ListTree(state, kWalk, "*.txt,folder0?5\\*.dat", "folder09?,*_1?.*");
}
BENCHMARK(BM_FileListWalkFiltered)->Unit(benchmark::kMillisecond);

} // namespace
