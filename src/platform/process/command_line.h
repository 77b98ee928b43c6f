// Splitting a Windows command line into arguments, by the rules the Microsoft C runtime
// applies before main: the program name ends at the first blank outside quotes and takes
// its quotes literally as toggles; in the other arguments 2n backslashes before a quote
// give n backslashes and the quote toggles quoting, 2n + 1 give n and a literal quote,
// and "" inside quotes is a literal quote. Backslashes elsewhere are plain characters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

std::vector<std::string> SplitCommandLine(std::string_view commandLine);

} // namespace platform
