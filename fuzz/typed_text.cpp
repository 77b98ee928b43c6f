// Text the display hears from the user (typed characters and dropped file names arrive
// in UTF-8): any bytes convert to Windows-1252 without a fault, typed text keeps no
// control character, and whatever is kept survives the way back to UTF-8 and again.
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/display/sdl_text.h"
#include "platform/kernel/cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string typed = platform::TypedText(input);
    for (unsigned char c : typed)
        if (c < 0x20 || c == 0x7F) std::abort();
    std::string again;
    if (!platform::Utf8ToCp1252(platform::Cp1252ToUtf8(typed), again) || again != typed)
        std::abort();

    std::string converted;
    platform::Utf8ToCp1252(input, converted);
    std::string back;
    if (!platform::Utf8ToCp1252(platform::Cp1252ToUtf8(converted), back) || back != converted)
        std::abort();
    return 0;
}
