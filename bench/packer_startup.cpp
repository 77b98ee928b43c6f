// Start-up time of the player: a project with 1 MB of script (thousands of functions in
// later modules; the first module is one statement, and reaching its end ends the program)
// is packed into a player copy once, then run as a process again and again. The time is
// process start to exit: loading and tokenizing the whole project, then one statement.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "packed_player.h"
#include "script/project/project_format.h"

namespace {

constexpr size_t kScriptBytes = 1 << 20;
constexpr size_t kModuleBytes = 64 * 1024;

std::string FunctionText(int n) {
    const std::string id = std::to_string(n);
    return "Function Step" + id + "(a, b) {\n    c = a * " + id +
           " + b;\n    If (c > 1000) Return c - 1000;\n    Return c;\n}\n";
}

PackElement Module(const std::string& name, const std::string& text) {
    PackElement module;
    module.name = name;
    module.data.assign(text.begin(), text.end());
    return module;
}

// The packed player, made on first use; empty when packing failed.
const std::string& PackedPlayer() {
    static const std::string path = [] {
        PackProject project;
        PackEntry& entry = project.entries.emplace_back();
        entry.name = "Startup";
        PackBank& sources = BankOfType(entry, project_format::kSourceBank);
        sources.elements.push_back(Module("main.zs", "started = 1;\n"));
        size_t total = 0;
        int function = 0;
        while (total < kScriptBytes) {
            std::string text;
            while (text.size() < kModuleBytes)
                text += FunctionText(function++);
            total += text.size();
            sources.elements.push_back(
                Module("part" + std::to_string(sources.elements.size()) + ".zs", text));
        }
        return bench::PackPlayer(project, "zorv_startup_bench");
    }();
    return path;
}

void BM_PlayerStartup1MBScript(benchmark::State& state) {
    const std::string& player = PackedPlayer();
    if (player.empty()) {
        state.SkipWithError("the project could not be packed");
        return;
    }
    const std::string command = "'" + player + "' >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the player did not end with status 0");
            return;
        }
    }
}
BENCHMARK(BM_PlayerStartup1MBScript)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
