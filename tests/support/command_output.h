// What a shell command writes on its standard output, for tests that check files with
// outside tools (pdfinfo, pdftotext, xclip).
#pragma once

#include <string>

namespace test_support {

// Empty when the command cannot be started.
std::string CommandOutput(const std::string& command);

} // namespace test_support
