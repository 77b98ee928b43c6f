// The list of reserved names in docs/language.md is written by tools/reserved-names from
// the keyword and class tables; it must stay what the tool writes, hold every name the
// tables reserve, and every name on it must really be refused as a variable.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "script/classes/class_table.h"
#include "script/language/token_codes.h"
#include "script/script_runner.h"

namespace {

std::filesystem::path Root() {
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
}

// The names between backquotes in the page's reserved names section.
std::set<std::string> ListedNames() {
    std::ifstream in(Root() / "docs" / "language.md");
    std::stringstream page;
    page << in.rdbuf();
    std::string text = page.str();
    size_t begin = text.find("<!-- reserved names:");
    size_t end = text.find("<!-- end of reserved names -->");
    std::set<std::string> names;
    if (begin == std::string::npos || end == std::string::npos) return names;
    std::string section = text.substr(begin, end - begin);
    for (size_t open = section.find('`'); open != std::string::npos;
         open = section.find('`', open)) {
        size_t close = section.find('`', open + 1);
        if (close == std::string::npos) break;
        names.insert(section.substr(open + 1, close - open - 1));
        open = close + 1;
    }
    return names;
}

bool IsWord(const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        if (std::isalpha(static_cast<unsigned char>(*c)) == 0) return false;
    }
    return *text != '\0';
}

TEST(ReservedNames, ThePageIsWhatTheToolWritesFromTheTables) {
    std::string command = "bash '" + (Root() / "tools" / "reserved-names").string() + "' --check";
    EXPECT_EQ(std::system(command.c_str()), 0) << "run tools/reserved-names and commit the page";
}

TEST(ReservedNames, ThePageHoldsEveryKeywordAndClassName) {
    std::set<std::string> listed = ListedNames();
    for (const MethodNameRow* row = kInterpretorNameTable + 1; row->name != nullptr; ++row) {
        if (IsWord(row->name)) {
            EXPECT_EQ(listed.count(row->name), 1u) << row->name;
        }
    }
    for (uint32_t id = 1; id < kBuiltinClassCount; ++id)
        EXPECT_EQ(listed.count(GetBuiltinClassName(id)), 1u) << GetBuiltinClassName(id);
    // The interpreter's own class name is no keyword.
    EXPECT_EQ(listed.count(GetBuiltinClassName(0)), 0u);
}

// A listed name, in the lower case a script would write, cannot name a variable or a
// parameter; a name that is not listed can.
TEST(ReservedNames, ListedNamesAreRefusedAsVariablesAndParameters) {
    script_test::ScriptRunner runner;
    std::set<std::string> listed = ListedNames();
    ASSERT_GT(listed.size(), 90u);
    for (std::string name : listed) {
        for (char& c : name)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        script_test::ScriptResult asVariable = runner.Run("x = 1;\n" + name + " = 2;\n");
        EXPECT_NE(asVariable.ok, 1) << name;
        EXPECT_NE(asVariable.code, 0) << name;
        script_test::ScriptResult asParameter =
            runner.Run("Function F(" + name + ") { Return 1; }\ny = F(3);\n");
        EXPECT_NE(asParameter.ok, 1) << name;
        EXPECT_NE(asParameter.code, 0) << name;
    }
    script_test::ScriptResult plain = runner.Run("score = 2;\nFunction F(level) { Return level; }\n"
                                                 "y = F(score);\n");
    EXPECT_EQ(plain.ok, 1);
}

} // namespace
