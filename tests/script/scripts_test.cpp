// Runs every script under tests/scripts. A file holds one or more cases; a line
// starting with "//==" begins a case and names it. Each case states its outcome in
// comments:
//   // expect: end                             the run ends normally
//   // expect: error 41 line 3 column 5        the run (or the compile) fails so; line
//                                             and column (counted from 1) and
//                                             "subcode N" are optional
//   // expect output: text                     one printed line, in order
// Lines are counted from the case's first line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "script/script_runner.h"

namespace script_test {
namespace {

struct ScriptCase {
    std::string name;
    std::string source;
    bool expectEnd = false;
    int32_t code = 0;
    int32_t line = 0;     // from 1; 0 = not checked
    int32_t column = 0;   // from 1; 0 = not checked
    int64_t subCode = -1; // -1 = not checked
    std::string output;
};

std::filesystem::path ScriptFolder() {
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "scripts";
}

std::string TestName(const std::string& text) {
    std::string name;
    for (char c : text)
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    return name;
}

void ParseExpectation(ScriptCase& script, const std::string& line) {
    const std::string outputTag = "// expect output:";
    const std::string tag = "// expect:";
    if (line.rfind(outputTag, 0) == 0) {
        std::string text = line.substr(outputTag.size());
        if (!text.empty() && text[0] == ' ') text.erase(0, 1);
        script.output += text + "\n";
        return;
    }
    if (line.rfind(tag, 0) != 0) return;
    std::istringstream words(line.substr(tag.size()));
    std::string word;
    words >> word;
    if (word == "end") {
        script.expectEnd = true;
        return;
    }
    if (word != "error") return;
    words >> script.code;
    while (words >> word) {
        if (word == "line") words >> script.line;
        if (word == "column") words >> script.column;
        if (word == "subcode") words >> script.subCode;
    }
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

// Failures name the case rather than dumping its bytes.
void PrintTo(const ScriptCase& script, std::ostream* out) {
    *out << script.name;
}

class Scripts : public testing::TestWithParam<ScriptCase> {};

TEST_P(Scripts, EndAsExpected) {
    const ScriptCase& script = GetParam();
    ScriptRunner runner;
    ScriptResult result = runner.Run(script.source, script.name);
    if (script.expectEnd) {
        EXPECT_TRUE(result.compiled);
        EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1
                                << " column " << result.column + 1;
        EXPECT_EQ(result.code, 0);
    } else {
        EXPECT_EQ(result.ok, 0);
        EXPECT_EQ(result.code, script.code)
            << "line " << result.line + 1 << " column " << result.column + 1;
        if (script.line != 0) {
            EXPECT_EQ(result.line + 1, script.line);
        }
        if (script.column != 0) {
            EXPECT_EQ(result.column + 1, script.column);
        }
        if (script.subCode >= 0) {
            EXPECT_EQ(int64_t(result.subCode), script.subCode);
        }
    }
    EXPECT_EQ(result.output, script.output);
}

INSTANTIATE_TEST_SUITE_P(Files, Scripts, testing::ValuesIn(LoadCases()),
                         [](const testing::TestParamInfo<ScriptCase>& info) {
                             return TestName(info.param.name);
                         });

} // namespace
} // namespace script_test
