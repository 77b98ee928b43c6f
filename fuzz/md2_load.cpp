// Model files come from disks and downloads: any bytes load into a world on the null back
// end without a crash, a hang or a leak, and the world destroys cleanly.
#include <cstdint>
#include <cstdlib>

#include "engine3d/files/md2_file.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "foundation/streams/mem_in_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFF) return 0;
    LAPINull device;
    L3DWorld world(&device, 0, nullptr, nullptr);
    CMemInStream stream;
    stream.Attach(data, static_cast<uint32_t>(size));
    zyb::LoadStatistics statistics;
    CMD2File file;
    if (file.Load(&world, &stream, "Model", &statistics) == 0 && world.objectCount != 0)
        std::abort();
    return 0;
}
