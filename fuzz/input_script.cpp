// An input script is a file a tester writes by hand: the parser reads any bytes without
// reading past them, and what it accepts stays within the limits of its steps.
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/display/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<platform::InputStep> steps;
    std::string error;
    bool parsed = platform::ParseInputScript(text, steps, error);
    if (parsed != error.empty() || (!parsed && !steps.empty())) std::abort();
    int lastLine = 0;
    for (const platform::InputStep& step : steps) {
        if (step.line <= lastLine || step.milliseconds > 86400000u || step.x < -1000000 ||
            step.x > 1000000 || step.y < -1000000 || step.y > 1000000)
            std::abort();
        lastLine = step.line;
    }
    return 0;
}
