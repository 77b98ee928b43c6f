// Manifests and script files come from authors' editors in any character set: any bytes
// parse or fail with a message, and a text the packer converts comes back unchanged when
// converted again to UTF-8; one it keeps is kept byte for byte.
#include <cstdlib>
#include <string>
#include <string_view>

#include "packer/author_text.h"
#include "packer/manifest.h"
#include "platform/kernel/cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    // Files the manifest names are not there: lines that load one fail, the rest parse.
    PackProject project;
    std::string error;
    if (!ParseManifest(input, "p.zpk", "/nonexistent-zorv-fuzz", project, error) && error.empty())
        std::abort();

    std::string text = input;
    std::string_view unmarked(input);
    if (unmarked.substr(0, 3) == "\xEF\xBB\xBF") unmarked.remove_prefix(3);
    UnmappableCharacter failure;
    if (!FileTextToWindows1252(text, failure)) {
        if (failure.line == 0 || !IsValidUtf8(unmarked)) std::abort();
        return 0;
    }
    if (IsValidUtf8(unmarked)) {
        if (platform::Cp1252ToUtf8(text) != unmarked) std::abort();
    } else if (text != unmarked) {
        std::abort();
    }
    return 0;
}
