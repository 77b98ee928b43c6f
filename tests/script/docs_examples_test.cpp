// Runs the examples of the script writer's guide (docs/**/*.md): a fenced block opened
// with "```zs runnable" is one script, which states its outcome as the scripts under
// tests/scripts do (script_case.h); a block that states none must end normally. So the
// guide cannot drift from what the interpreter does.
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

constexpr const char* kRunnableFence = "```zs runnable";

std::filesystem::path DocsFolder() {
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "docs";
}

// "language.md", "classes/String.md": the page's name under docs/.
std::string PageName(const std::filesystem::path& file) {
    return std::filesystem::relative(file, DocsFolder()).generic_string();
}

std::vector<ScriptCase> LoadExamples() {
    std::vector<std::filesystem::path> pages;
    if (std::filesystem::is_directory(DocsFolder())) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(DocsFolder())) {
            if (entry.path().extension() == ".md") pages.push_back(entry.path());
        }
    }
    std::sort(pages.begin(), pages.end());
    std::vector<ScriptCase> examples;
    for (const auto& page : pages) {
        std::ifstream in(page, std::ios::binary);
        std::string line;
        bool inside = false;
        int number = 0;
        ScriptCase current;
        while (std::getline(in, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!inside) {
                if (line == kRunnableFence) {
                    inside = true;
                    current = ScriptCase{};
                    current.name = PageName(page) + " line " + std::to_string(number);
                }
                continue;
            }
            if (line.rfind("```", 0) == 0) {
                inside = false;
                if (!current.outcomeStated) current.expectEnd = true;
                examples.push_back(current);
                continue;
            }
            current.source += line + "\n";
            ParseExpectation(current, line);
        }
        // An example left open would silently drop the rest of the page.
        EXPECT_FALSE(inside) << PageName(page) << ": a runnable example is never closed";
    }
    return examples;
}

std::string TestName(const std::string& text) {
    std::string name;
    for (char c : text)
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    return name;
}

class DocsExamples : public testing::TestWithParam<ScriptCase> {};

TEST_P(DocsExamples, RunAsThePageSays) {
    RunAndCheck(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Guide, DocsExamples, testing::ValuesIn(LoadExamples()),
                         [](const testing::TestParamInfo<ScriptCase>& info) {
                             return TestName(info.param.name);
                         });

TEST(DocsExamplesCount, TheLanguagePageShowsEveryRuleAtWork) {
    std::vector<ScriptCase> examples = LoadExamples();
    auto onLanguagePage = std::count_if(examples.begin(), examples.end(), [](const ScriptCase& c) {
        return c.name.rfind("language.md ", 0) == 0;
    });
    EXPECT_GE(onLanguagePage, 40);
}

} // namespace
} // namespace script_test
