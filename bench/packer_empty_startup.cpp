// Start-up of a packed player whose project is one empty module, beside `lua5.4 -e ''`,
// both started as processes in turn in every iteration. Counters: the wall time of each in
// milliseconds and their ratio; the peak resident size of each in MiB (the child's peak as
// time(1) reports it: a process's own ru_maxrss counts the memory of the process it was
// exec'ed from, this benchmark, whereas time's child is forked from time), the median of the
// runs and their ratio, and the largest run of each. Goals: at most 2 and 1.5. The largest
// tells little: about one start in a hundred, when the kernel finds the player's code in
// the page cache as 2 MB folios and its load address lines up with them, the whole folio is
// mapped and counted (some 3.5 MB more); a smaller program such as Lua's never meets it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "packed_player.h"
#include "script/project/project_format.h"

extern char** environ;

namespace {

const std::string& EmptyPlayer() {
    static const std::string path = [] {
        PackProject project;
        PackEntry& entry = project.entries.emplace_back();
        entry.name = "Empty";
        PackElement module;
        module.name = "main.zs";
        BankOfType(entry, project_format::kSourceBank).elements.push_back(module);
        return bench::PackPlayer(project, "zorv_empty_startup_bench");
    }();
    return path;
}

struct Run {
    bool ok = false;
    double seconds = 0;
    double residentMiB = 0;
};

Run Start(const std::vector<std::string>& words) {
    static const std::string peakFile =
        (std::filesystem::temp_directory_path() / "zorv_empty_startup_peak").string();
    std::vector<char*> argv{const_cast<char*>("time"), const_cast<char*>("-f"),
                            const_cast<char*>("%M"), const_cast<char*>("-o"),
                            const_cast<char*>(peakFile.c_str())};
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, "/usr/bin/time", &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        std::ifstream peak;
        long kilobytes = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
            (peak.open(peakFile), peak >> kilobytes)) {
            run.ok = true;
            run.residentMiB = double(kilobytes) / 1024.0;
        }
    }
    run.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

void BM_EmptyProjectStartupBesideLua(benchmark::State& state) {
    const std::string& player = EmptyPlayer();
    if (player.empty()) {
        state.SkipWithError("the project could not be packed");
        return;
    }
    double ours = 0, lua = 0;
    std::vector<double> oursMiB, luaMiB;
    for (auto _ : state) {
        const Run player_run = Start({player});
        const Run lua_run = Start({"lua5.4", "-e", ""});
        if (!player_run.ok || !lua_run.ok) {
            state.SkipWithError(player_run.ok ? "lua5.4 did not run" : "the player failed");
            return;
        }
        ours += player_run.seconds;
        lua += lua_run.seconds;
        oursMiB.push_back(player_run.residentMiB);
        luaMiB.push_back(lua_run.residentMiB);
    }
    const double n = double(state.iterations());
    state.counters["ours_ms"] = ours / n * 1e3;
    state.counters["lua_ms"] = lua / n * 1e3;
    state.counters["ratio"] = ours / lua;
    const auto median = [](std::vector<double>& sizes) {
        std::nth_element(sizes.begin(), sizes.begin() + sizes.size() / 2, sizes.end());
        return sizes[sizes.size() / 2];
    };
    state.counters["ours_max_MiB"] = *std::max_element(oursMiB.begin(), oursMiB.end());
    state.counters["lua_max_MiB"] = *std::max_element(luaMiB.begin(), luaMiB.end());
    state.counters["ours_MiB"] = median(oursMiB);
    state.counters["lua_MiB"] = median(luaMiB);
    state.counters["rss_ratio"] = state.counters["ours_MiB"] / state.counters["lua_MiB"];
}
BENCHMARK(BM_EmptyProjectStartupBesideLua)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
