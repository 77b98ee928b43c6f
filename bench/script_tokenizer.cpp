// Tokenizing and linking a megabyte of generated script, beside luac5.4 -p parsing the
// same program written in Lua (skipped when luac5.4 is not installed; tools/deps bench
// installs it, tools/bench-lua-compare prints the ratio).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/containers/ptr_array.h"
#include "script/language/token_codes.h"
#include "script/language/token_compiler.h"

namespace {

constexpr size_t kSourceSize = 1 << 20;
// One luac run parses this much, so that starting the process weighs little. (One file:
// luac5.4 -p given several files frees memory twice and aborts.)
constexpr size_t kLuacSourceSize = 10 * kSourceSize;

const MethodNameRow kMathTable[] = {{2, "Math", 0, 0}, {1, "Abs", 2, 0}, {0, nullptr, 0, 0}};
const MethodNameRow kSpriteTable[] = {
    {1, "Sprite", 0, 0}, {1, "Move", 0, 0}, {2, "X", 0, 0}, {0, nullptr, 0, 0}};
const MethodNameRow kWindowTable[] = {
    {58, "Window", 0, 0}, {1, "WriteLn", kTokenCurWindow, 0}, {0, nullptr, 0, 0}};

template <class... Parts> void Append(std::string& out, const Parts&... parts) {
    (out.append(parts), ...);
}

// One function of the generated program, in the script language and in Lua.
void AppendScriptFunction(std::string& out, int n) {
    std::string i = std::to_string(n);
    std::string v = "v";
    v += std::to_string(n % 50);
    Append(out, "// Module ", i, ": updates the totals\r\n");
    Append(out, "Function Update", i, "(a, b) {\r\n");
    Append(out, "    Var total = 0;\r\n");
    Append(out, "    For (i = 0; i < a; i++) {\r\n");
    Append(out, "        If (i % 3 == 0) total += i * 2;\r\n");
    Append(out, "        Else If (i % 3 == 1) total -= b;\r\n");
    Append(out, "        Else { total = total + Abs(i - b) * ", v, "; }\r\n");
    Append(out, "    }\r\n");
    Append(out, "    While (total > 1000) total = total / 2;\r\n");
    Append(out, "    Switch (total & 7) {\r\n");
    Append(out, "        Case 0: name = \"zero\"; Break;\r\n");
    Append(out, "        Case 1: name = 'one'; Break;\r\n");
    Append(out, "        Default: name = \"many \" + total;\r\n");
    Append(out, "    }\r\n");
    Append(out, "    sprite.Move(total, b * 2.5, 0x1F);\r\n");
    Append(out, "    values[i, 2] = sprite.X + 1.5e3;\r\n");
    Append(out, "    WriteLn(\"Update ", i, ": \" + name + \" \" + total);\r\n");
    Append(out, "    Return total;\r\n");
    Append(out, "}\r\n");
}

void AppendLuaFunction(std::string& out, int n) {
    std::string i = std::to_string(n);
    std::string v = "v";
    v += std::to_string(n % 50);
    Append(out, "-- Module ", i, ": updates the totals\n");
    Append(out, "function Update", i, "(a, b)\n");
    Append(out, "    local total = 0\n");
    Append(out, "    for i = 0, a - 1 do\n");
    Append(out, "        if i % 3 == 0 then total = total + i * 2\n");
    Append(out, "        elseif i % 3 == 1 then total = total - b\n");
    Append(out, "        else total = total + math.abs(i - b) * ", v, " end\n");
    Append(out, "    end\n");
    Append(out, "    while total > 1000 do total = total / 2 end\n");
    Append(out, "    local k = total & 7\n");
    Append(out, "    if k == 0 then name = \"zero\"\n");
    Append(out, "    elseif k == 1 then name = 'one'\n");
    Append(out, "    else name = \"many \" .. total end\n");
    Append(out, "    sprite:Move(total, b * 2.5, 0x1F)\n");
    Append(out, "    values[i][2] = sprite.X + 1.5e3\n");
    Append(out, "    print(\"Update ", i, ": \" .. name .. \" \" .. total)\n");
    Append(out, "    return total\n");
    Append(out, "end\n");
}

template <class Append> std::string Generate(Append append, size_t size) {
    std::string source;
    for (int n = 0; source.size() < size; ++n)
        append(source, n);
    return source;
}

const std::string& ScriptSource() {
    static const std::string source = Generate(AppendScriptFunction, kSourceSize);
    return source;
}

CTokenCompiler& Compiler() {
    static CTokenCompiler* compiler = [] {
        RegisterClassNameTable(kMathTable);
        RegisterClassNameTable(kSpriteTable);
        RegisterClassNameTable(kWindowTable);
        PtrArray names;
        BuildBuiltinClassNameList(names);
        auto* made = new CTokenCompiler;
        made->BuildClassLookups(names);
        return made;
    }();
    return *compiler;
}

void RunCompiler(benchmark::State& state, bool link) {
    const std::string& source = ScriptSource();
    CTokenCompiler& compiler = Compiler();
    for (auto _ : state) {
        CTokenInfos infos;
        infos.AddUnit(source.c_str(), 0, "Bench:Scripts/Main.src", 0);
        int ok = link ? compiler.Compile(infos) : compiler.Tokenize(infos);
        if (ok != 1) {
            state.SkipWithError("the generated script does not compile");
            return;
        }
        benchmark::DoNotOptimize(infos.GetStream());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(source.size()));
}

void BM_ScriptTokenizeAndLink(benchmark::State& state) {
    RunCompiler(state, true);
}
BENCHMARK(BM_ScriptTokenizeAndLink)->Unit(benchmark::kMillisecond);

void BM_ScriptTokenizeOnly(benchmark::State& state) {
    RunCompiler(state, false);
}
BENCHMARK(BM_ScriptTokenizeOnly)->Unit(benchmark::kMillisecond);

void BM_LuacParse(benchmark::State& state) {
    if (std::system("command -v luac5.4 >/dev/null 2>&1") != 0) {
        state.SkipWithError("luac5.4 is not installed (tools/deps bench installs it)");
        return;
    }
    const std::string source = Generate(AppendLuaFunction, kLuacSourceSize);
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder != nullptr ? folder : "/tmp") + "/zorv-bench-luac.lua";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(source.data(), 1, source.size(), file) != source.size()) {
        if (file != nullptr) std::fclose(file);
        state.SkipWithError("cannot write the Lua source");
        return;
    }
    std::fclose(file);
    std::string command = "luac5.4 -p ";
    command += path;
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("luac5.4 rejected the generated Lua source");
            break;
        }
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(source.size()));
}
BENCHMARK(BM_LuacParse)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
