// The file dialogs fill the Selector's buffer and scripts give it any filter text: the
// filter is split and the buffer walked over arbitrary bytes, never past their end, and
// every path read back is made of the bytes given.
#include <cstdlib>
#include <string>
#include <vector>

#include "classes/dialogs/selector_buffers.h"
#include "platform/user/dialogs/common_dialogs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that a read past the end is an ASan report.
    std::vector<char> bytes(data, data + size);
    const char* buffer = bytes.empty() ? nullptr : bytes.data();
    if (buffer != nullptr) {
        std::vector<std::string> files = selector::AllFiles(buffer, size);
        bool many = selector::HasManyFiles(buffer, size);
        if (many ? files.empty() : files.size() > 1) std::abort();
        std::string first = selector::FirstFile(buffer, size);
        if (!files.empty() && first != files.front()) std::abort();
        for (const std::string& path : files)
            if (path.size() > size + 1) std::abort();
        size_t parts = 0;
        for (const auto& [description, pattern] : platform::SplitFilterText(buffer, size)) {
            if (description.empty() || pattern.empty()) std::abort();
            parts += description.size() + pattern.size() + 2;
        }
        if (parts > size + 2) std::abort();
    }
    std::string filter = selector::DialogFilter(std::string(bytes.begin(), bytes.end()));
    platform::SplitFilterText(filter.c_str(), filter.size());
    return 0;
}
