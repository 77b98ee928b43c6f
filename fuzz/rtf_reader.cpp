// RTF from anywhere: reading never fails past the header, pictures are decoded as they are
// read, and what is read writes out as RTF that reads back to the same document (each picture
// and object from its own group) and writes to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/controls/rich_edit/rtf_reader.h"
#include "platform/controls/rich_edit/rtf_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::optional<platform::RichText> document = platform::ReadRtf(bytes, platform::RichFormat{});
    if (!document) return 0;
    int total = 0;
    for (const platform::RichRun& run : document->Runs()) {
        total += run.length;
        if (run.object && run.object->pixels.size() != static_cast<size_t>(run.object->pixelWidth) *
                                                           static_cast<size_t>(run.object->pixelHeight))
            std::abort();
    }
    if (total != document->Length()) std::abort();
    std::string written = platform::WriteRtf(*document);
    std::optional<platform::RichText> again = platform::ReadRtf(written, platform::RichFormat{});
    if (!again || !(*again == *document)) std::abort();
    if (platform::WriteRtf(*again) != written) std::abort();
    return 0;
}
