// 3DS files come from disks and downloads: any bytes import into a world on the null back
// end without a crash, a hang or a leak, and the world destroys cleanly.
#include <cstdint>

#include "engine3d/files/l3ds_file.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "foundation/streams/mem_in_stream.h"
#include "in_empty_directory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFF) return 0;
    world_fuzz::InEmptyDirectory inside("3ds_load_fuzz_empty");
    LAPINull device;
    L3DWorld world(&device, 0, nullptr, nullptr);
    CMemInStream stream;
    stream.Attach(data, static_cast<uint32_t>(size));
    zyb::LoadStatistics statistics;
    L3dsFile file(0);
    file.Load(&world, &stream, "Import", &statistics);
    return 0;
}
