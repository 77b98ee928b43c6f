// Text worlds come from disks, banks and downloads: any bytes load and merge into a world
// on the null back end without a crash, a hang or a leak, and the world they leave
// destroys cleanly. Texture names make the loader search the current directory; an empty
// one keeps every run alike.
#include <cstdint>
#include <filesystem>

#include "engine3d/files/script_world_file.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "foundation/streams/mem_in_stream.h"

namespace {

class InEmptyDirectory {
public:
    InEmptyDirectory() {
        static const std::filesystem::path empty = [] {
            std::error_code error;
            auto path = std::filesystem::temp_directory_path(error) / "yix_load_fuzz_empty";
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
    {
        L3DWorld world(&device, 0, nullptr, nullptr);
        CMemInStream stream;
        stream.Attach(data, static_cast<uint32_t>(size));
        zyb::LoadStatistics statistics;
        LScriptWorldFile file;
        file.LoadWorld(&stream, &world, 0xEFE, &statistics);
    }
    {
        L3DWorld world(&device, 0, nullptr, nullptr);
        CMemInStream stream;
        stream.Attach(data, static_cast<uint32_t>(size));
        LScriptWorldFile file;
        file.MergeObjects(&stream, &world, "");
    }
    return 0;
}
