// Text worlds come from disks, banks and downloads: any bytes load and merge into a world
// on the null back end without a crash, a hang or a leak, and the world they leave
// destroys cleanly.
#include <cstdint>

#include "engine3d/files/script_world_file.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "foundation/streams/mem_in_stream.h"
#include "in_empty_directory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFF) return 0;
    world_fuzz::InEmptyDirectory inside("yix_load_fuzz_empty");
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
