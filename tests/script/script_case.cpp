#include "script/script_case.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace script_test {

void PrintTo(const ScriptCase& script, std::ostream* out) {
    *out << script.name;
}

void ParseExpectation(ScriptCase& script, const std::string& line) {
    const std::string outputTag = "// expect output:";
    const std::string tag = "// expect:";
    const std::string fileTag = "// expect file ";
    if (line.rfind(fileTag, 0) == 0) {
        size_t colon = line.find(':', fileTag.size());
        if (colon == std::string::npos) return;
        std::string text = line.substr(colon + 1);
        if (!text.empty() && text[0] == ' ') text.erase(0, 1);
        script.files[line.substr(fileTag.size(), colon - fileTag.size())] += text + "\n";
        return;
    }
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
        script.outcomeStated = true;
        return;
    }
    if (word != "error") return;
    script.outcomeStated = true;
    words >> script.code;
    while (words >> word) {
        if (word == "line") words >> script.line;
        if (word == "column") words >> script.column;
        if (word == "subcode") words >> script.subCode;
    }
}

void RunAndCheck(const ScriptCase& script, bool referenceWalk, bool compiled) {
    ScriptRunner runner;
    runner.referenceWalk = referenceWalk;
    runner.compiledForm = compiled;
    std::vector<std::string> kept;
    for (const auto& [name, lines] : script.files)
        kept.push_back(name);
    ScriptResult result = runner.Run(script.source, script.name, script.project, kept);
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
    for (const auto& [name, lines] : script.files) {
        auto file = result.files.find(name);
        ASSERT_NE(file, result.files.end()) << "the run left no file " << name;
        std::string text = file->second;
        std::erase(text, '\r');
        EXPECT_EQ(text, lines) << name;
    }
}

} // namespace script_test
