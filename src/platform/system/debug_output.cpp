#include "platform/system/debug_output.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/kernel/cp1252.h"

void OutputDebugStringA(LPCSTR text) {
    const char* wanted = std::getenv("ZORV_DEBUG_OUTPUT");
    if (!text || !wanted || *wanted == '\0') return;
    std::string shown = platform::Cp1252ToUtf8(text);
    std::fwrite(shown.data(), 1, shown.size(), stderr);
    std::fflush(stderr);
}
