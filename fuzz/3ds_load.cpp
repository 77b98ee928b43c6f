// 3DS files come from disks and downloads: any bytes import into a world on the null back
// end without a crash, a hang or a leak, and the world destroys cleanly. Texture maps make
// the loader search the current directory; an empty one keeps every run alike.
#include <cstdint>
#include <filesystem>

#include "engine3d/files/l3ds_file.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "foundation/streams/mem_in_stream.h"

namespace {

class InEmptyDirectory {
public:
    InEmptyDirectory() {
        static const std::filesystem::path empty = [] {
            std::error_code error;
            auto path = std::filesystem::temp_directory_path(error) / "3ds_load_fuzz_empty";
            std::filesystem::create_directories(path, error);
            return path;
        }();
        std::error_code error;
        saved_ = std::filesystem::current_path(error);
        std::filesystem::current_path(empty, error);
    }
    ~InEmptyDirectory() {
        std::error_code error;
        std::filesystem::current_path(saved_, error);
    }

private:
    std::filesystem::path saved_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFF) return 0;
    InEmptyDirectory inside;
    LAPINull device;
    L3DWorld world(&device, 0, nullptr, nullptr);
    CMemInStream stream;
    stream.Attach(data, static_cast<uint32_t>(size));
    zyb::LoadStatistics statistics;
    L3dsFile file(0);
    file.Load(&world, &stream, "Import", &statistics);
    return 0;
}
