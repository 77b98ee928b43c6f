// Runs every script under tests/scripts. A file holds one or more cases; a line
// starting with "//==" begins a case and names it. Each case states its outcome in
// comments (see script_case.h); lines are counted from the case's first line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "script/script_case.h"

namespace script_test {
namespace {

std::filesystem::path ScriptFolder() {
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "scripts";
}

std::string TestName(const std::string& text) {
    std::string name;
    for (char c : text)
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    return name;
}

std::vector<ScriptCase> LoadCases() {
    std::vector<ScriptCase> cases;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(ScriptFolder())) {
        if (entry.path().extension() == ".zs") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::string line;
        std::string stem = file.stem().string();
        ScriptCase current;
        current.name = stem;
        bool any = false;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.rfind("//==", 0) == 0) {
                if (any) cases.push_back(current);
                current = ScriptCase{};
                std::string title = line.substr(4);
                title.erase(0, title.find_first_not_of(' '));
                current.name = stem + "_" + title;
                any = true;
                continue;
            }
            any = true;
            current.source += line + "\n";
            ParseExpectation(current, line);
        }
        if (any) cases.push_back(current);
    }
    return cases;
}

class Scripts : public testing::TestWithParam<ScriptCase> {};

TEST_P(Scripts, EndAsExpected) {
    RunAndCheck(GetParam());
}

// The reference walk alone, without the name caches, must give every script's outcome
// too.
TEST_P(Scripts, EndAsExpectedByTheReferenceWalk) {
    RunAndCheck(GetParam(), true);
}

// And so must the compiled form, which the player runs.
TEST_P(Scripts, EndAsExpectedCompiled) {
    RunAndCheck(GetParam(), false, true);
}

INSTANTIATE_TEST_SUITE_P(Files, Scripts, testing::ValuesIn(LoadCases()),
                         [](const testing::TestParamInfo<ScriptCase>& info) {
                             return TestName(info.param.name);
                         });

} // namespace
} // namespace script_test
