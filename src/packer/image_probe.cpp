#include "packer/image_probe.h"

#include "foundation/streams/mem_in_stream.h"
#include "graphics2d/formats/image_file_manager.h"

bool ProbeImageFile(const std::vector<uint8_t>& bytes, ImageFileInfo& info) {
    if (bytes.empty() || bytes.size() > UINT32_MAX) return false;
    ImageFileManager manager;
    if (manager.Init(0) != 0) return false;
    CMemInStream stream;
    if (stream.Attach(bytes.data(), static_cast<uint32_t>(bytes.size())) != kResultOk) {
        return false;
    }
    ImageFile image(&manager);
    if (image.OpenStream(&stream) != kImageOk) return false;
    const int32_t width = image.GetWidth();
    const int32_t height = image.GetHeight();
    const int depth = image.GetDepth();
    image.Close();
    if (width <= 0 || height <= 0 || width > UINT16_MAX || height > UINT16_MAX) return false;
    if (depth <= 0 || depth > 32) return false;
    info = {static_cast<uint32_t>(width), static_cast<uint32_t>(height),
            static_cast<uint32_t>(depth)};
    return true;
}
