// Tracker modules are files a script names: any bytes either load as no module or as one
// that renders, reports its length and position and seeks without harm.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/media/modplug/tracker_module.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    std::unique_ptr<platform::media::TrackerModule> module =
        platform::media::TrackerModule::Load(bytes);
    if (module == nullptr) return 0;
    static float frames[4096 * 2];
    // A second at most: a module may play for hours.
    int rounds = 0;
    while (rounds < 11 && module->Render(frames, 4096) == 4096)
        ++rounds;
    uint32_t length = module->LengthMs();
    module->Seek(length / 2);
    module->Render(frames, 4096);
    module->Seek(length + 1000);
    if (module->Render(frames, 4096) > 4096) std::abort();
    (void)module->PositionMs();
    return 0;
}
