// docs/errors.md is written by tools/errors-page from the codes the runtime raises and the
// texts of the string table; the page must stay what the tool writes from today's code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "script/interpreter/ierror.h"

namespace {

std::filesystem::path Root() {
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
}

TEST(ErrorsPage, IsWhatTheToolWritesFromTheCode) {
    std::string command = "bash '" + (Root() / "tools" / "errors-page").string() + "' --check";
    EXPECT_EQ(std::system(command.c_str()), 0) << "run tools/errors-page and commit the page";
}

TEST(ErrorsPage, ShowsTheMessageThePlayerShows) {
    std::ifstream in(Root() / "docs" / "errors.md");
    std::stringstream page;
    page << in.rdbuf();
    char message[64];
    CIError::FormatErrorMessage(message, sizeof message, 41, 3);
    EXPECT_NE(page.str().find(std::string("`") + message + "`"), std::string::npos) << message;
    CIError::FormatErrorMessage(message, sizeof message, 115, -1);
    EXPECT_NE(page.str().find(std::string("`") + message + "`"), std::string::npos) << message;
}

} // namespace
