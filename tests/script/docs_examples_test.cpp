// Runs the examples of the script writer's guide (docs/**/*.md): a fenced block opened
// with "```zs runnable" is one script, which states its outcome as the scripts under
// tests/scripts do (script_case.h); a block that states none must end normally. So the
// guide cannot drift from what the interpreter does.
//
// An example that is part of a project ("```zs runnable project") runs as the module of
// the guide's sample project (classes/README.md): entry Game, whose string bank Texts holds
// "greeting" and "farewell". Every script in the guide must run: a block in the script
// language that is not runnable, or an untagged block that reads like script (a line
// ending in ";" or "{"), fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine3d/render/registry.h"
#include "script/project/project_test_data.h"
#include "script/runtime/display_list.h"
#include "script/script_case.h"

namespace script_test {
namespace {

constexpr const char* kRunnableFence = "```zs runnable";
constexpr const char* kProjectFence = "```zs runnable project";

// The sample project of the guide's bank examples.
std::string SampleProject() {
    using namespace project_test;
    Entry game;
    game.name = "Game";
    Bank sources{kSourceBank, "Sources", {Element("main", "x = 1;")}};
    Bank texts{
        kStringBank, "Texts", {Element("greeting", "Hello, world"), Element("farewell", "Bye")}};
    game.banks = {sources, texts};
    return Project({game});
}

bool ReadsLikeScript(const std::string& line) {
    size_t end = line.find_last_not_of(" \t");
    return end != std::string::npos && (line[end] == ';' || line[end] == '{');
}

std::filesystem::path DocsFolder() {
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "docs";
}

// "language.md", "classes/String.md": the page's name under docs/.
std::string PageName(const std::filesystem::path& file) {
    return std::filesystem::relative(file, DocsFolder()).generic_string();
}

// Reads every page's examples. What is wrong with the pages themselves goes to `problems`
// (when given), so that a mistake on one page fails one test rather than the whole suite.
std::vector<ScriptCase> LoadExamples(std::vector<std::string>* problems = nullptr) {
    auto report = [&](const std::string& text) {
        if (problems != nullptr) problems->push_back(text);
    };
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
        // Inside a block that is no runnable example: whether it was tagged (or already
        // reported).
        bool insideOther = false;
        bool otherTagged = false;
        int number = 0;
        ScriptCase current;
        // Every test process loads the examples, so the page's name is worked out once.
        const std::string pageName = PageName(page);
        while (std::getline(in, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::string where = pageName + " line " + std::to_string(number);
            if (insideOther) {
                if (line.rfind("```", 0) == 0) {
                    insideOther = false;
                } else if (!otherTagged && ReadsLikeScript(line)) {
                    report(where + ": a script example that is not runnable");
                    otherTagged = true;
                }
                continue;
            }
            if (!inside) {
                if (line == kRunnableFence || line == kProjectFence) {
                    inside = true;
                    current = ScriptCase{};
                    current.name = where;
                    if (line == kProjectFence) current.project = SampleProject();
                } else if (line.rfind("```", 0) == 0) {
                    if (line.rfind("```zs", 0) == 0)
                        report(where + ": a script example that is not runnable");
                    insideOther = true;
                    otherTagged = line.size() > 3;
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
        if (inside || insideOther) report(pageName + ": a fenced block is never closed");
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
    // With the renderers' back ends installed, as the player has them, for this run only.
    struct Renderers {
        LAPIRegistry* previous = GetAPIRegistry();
        Renderers() { SetAPIRegistry(&GetBackEndRegistry()); }
        ~Renderers() { SetAPIRegistry(previous); }
    } renderers;
    RunAndCheck(GetParam(), false, true);
}

INSTANTIATE_TEST_SUITE_P(Guide, DocsExamples, testing::ValuesIn(LoadExamples()),
                         [](const testing::TestParamInfo<ScriptCase>& info) {
                             return TestName(info.param.name);
                         });

TEST(DocsPages, EveryScriptBlockIsARunnableExampleAndEveryBlockIsClosed) {
    std::vector<std::string> problems;
    LoadExamples(&problems);
    for (const std::string& problem : problems)
        ADD_FAILURE() << problem;
}

TEST(DocsExamplesCount, TheLanguagePageShowsEveryRuleAtWork) {
    std::vector<ScriptCase> examples = LoadExamples();
    auto onLanguagePage = std::count_if(examples.begin(), examples.end(), [](const ScriptCase& c) {
        return c.name.rfind("language.md ", 0) == 0;
    });
    EXPECT_GE(onLanguagePage, 40);
}

} // namespace
} // namespace script_test
