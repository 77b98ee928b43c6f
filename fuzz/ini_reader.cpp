// INI files come from anywhere: any bytes parse, every lookup ends, and writing one key
// changes that key's line (or adds its lines) and no other.
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/profile/ini_document.h"

namespace {

void CheckOnlyAdded(const platform::IniDocument& before, const platform::IniDocument& after) {
    size_t n = before.LineCount();
    size_t m = after.LineCount();
    if (m < n || m > n + 2) std::abort();
    // Lines are replaced in place or inserted; either way at most one place differs.
    size_t front = 0;
    while (front < n && before.Line(front) == after.Line(front))
        ++front;
    size_t back = 0;
    while (back < n - front && before.Line(n - 1 - back) == after.Line(m - 1 - back))
        ++back;
    if (front + back + 1 < n) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    platform::IniDocument document;
    document.Parse(bytes);
    std::string value;
    // Names taken from the input itself reach real sections and keys.
    for (size_t i = 0; i + 1 < size && i < 64; i += 8)
        document.Find(bytes.substr(i, 4), bytes.substr(i + 1, 3), value);

    platform::IniDocument reread;
    reread.Parse(document.Serialize());
    if (reread.LineCount() != document.LineCount()) std::abort();

    platform::IniDocument edited;
    edited.Parse(document.Serialize());
    edited.Set("fuzz", "key", "value");
    CheckOnlyAdded(document, edited);
    if (!edited.Find("FUZZ", "KEY", value) || value != "value") std::abort();
    edited.DeleteKey("fuzz", "key");
    edited.DeleteSection("fuzz");
    return 0;
}
