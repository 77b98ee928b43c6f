#include "packer/image_probe.h"

#include "foundation/streams/mem_in_stream.h"
#include "graphics2d/formats/image_file_manager.h"

namespace {

std::string ReasonOf(ImageResult result) {
    switch (result) {
    case kImageBelow8Bits:
        return "its pixels have fewer than 8 bits, which only PNG images may have";
    case kImageUnsupportedVariant:
        return "it is a kind of its format, or of a size, that the player does not read";
    case kImageDataError:
        return "its data is damaged or cut short";
    case kImageNoMemory:
        return "there is not enough memory to read it";
    default:
        return "its format is none the player reads, or its header is damaged";
    }
}

} // namespace

bool ProbeImageFile(const std::vector<uint8_t>& bytes, ImageFileInfo& info, std::string& reason) {
    if (bytes.empty() || bytes.size() > UINT32_MAX) {
        reason = bytes.empty() ? "it is empty" : "it is larger than 4 GB";
        return false;
    }
    ImageFileManager manager;
    if (manager.Init(0) != 0) {
        reason = "the image readers could not be started";
        return false;
    }
    CMemInStream stream;
    if (stream.Attach(bytes.data(), static_cast<uint32_t>(bytes.size())) != kResultOk) {
        reason = "it cannot be read";
        return false;
    }
    ImageFile image(&manager);
    if (const ImageResult opened = image.OpenStream(&stream); opened != kImageOk) {
        reason = ReasonOf(opened);
        return false;
    }
    const int32_t width = image.GetWidth();
    const int32_t height = image.GetHeight();
    const int depth = image.GetDepth();
    image.Close();
    if (width <= 0 || height <= 0 || width > UINT16_MAX || height > UINT16_MAX) {
        reason = "its size of " + std::to_string(width) + " x " + std::to_string(height) +
                 " pixels does not fit an image element (1 to 65535 each way)";
        return false;
    }
    if (depth <= 0 || depth > 32) {
        reason = "its depth of " + std::to_string(depth) + " bits is none the player draws";
        return false;
    }
    info = {static_cast<uint32_t>(width), static_cast<uint32_t>(height),
            static_cast<uint32_t>(depth)};
    return true;
}
