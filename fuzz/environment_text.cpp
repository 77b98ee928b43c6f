// Texts with %NAME% references expanded into buffers of every small size: nothing is
// written past the buffer, the size reported is the one needed, and a text that fits is
// the whole expansion, terminated. The first byte chooses the size, the rest is the text.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/system/environment.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    DWORD small = data[0] % 96;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    // Exact heap block, so that the address sanitizer sees any byte written past it.
    std::vector<char> buffer(small);
    DWORD answer = ExpandEnvironmentStringsA(text.c_str(), small ? buffer.data() : nullptr, small);
    if (answer != needed || needed == 0) std::abort();
    if (needed <= small && std::strlen(buffer.data()) + 1 != needed) std::abort();
    std::vector<char> whole(needed);
    if (ExpandEnvironmentStringsA(text.c_str(), whole.data(), needed) != needed) std::abort();
    if (whole[needed - 1] != '\0') std::abort();
    return 0;
}
