// Scripts hand any text to Process as its command line: the splitter reads it whole, never
// past its end, and never makes more text than it was given.
#include <cstdlib>
#include <string_view>

#include "platform/process/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view line(reinterpret_cast<const char*>(data), size);
    size_t total = 0;
    for (const std::string& argument : platform::SplitCommandLine(line))
        total += argument.size();
    if (total > size) std::abort();
    return 0;
}
