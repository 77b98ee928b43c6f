#include "platform/media/modplug/tracker_module.h"

#include <libopenmpt/libopenmpt.h>

#include <cmath>

#include "platform/libraries/lazy_library.h"
#include "platform/sound/media_voice.h"

namespace platform::media {

struct TrackerModule::Module {
    openmpt_module* handle;
};

std::unique_ptr<TrackerModule> TrackerModule::Load(const std::vector<uint8_t>& bytes) {
    if (bytes.empty() || !Require(LazyLibrary::OpenMpt)) return nullptr;
    // The library's messages stay out of standard error.
    openmpt_module* handle = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), &openmpt_log_func_silent, nullptr, &openmpt_error_func_ignore,
        nullptr, nullptr, nullptr, nullptr);
    if (handle == nullptr) return nullptr;
    return std::unique_ptr<TrackerModule>(new TrackerModule(new Module{handle}));
}

TrackerModule::~TrackerModule() {
    openmpt_module_destroy(module_->handle);
    delete module_;
}

size_t TrackerModule::Render(float* out, size_t frames) {
    return openmpt_module_read_interleaved_float_stereo(module_->handle, sound::OUTPUT_RATE, frames,
                                                        out);
}

namespace {

uint32_t ToMs(double seconds) {
    if (!(seconds > 0)) return 0;
    double ms = std::floor(seconds * 1000.0);
    return ms >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);
}

} // namespace

uint32_t TrackerModule::LengthMs() const {
    return ToMs(openmpt_module_get_duration_seconds(module_->handle));
}

uint32_t TrackerModule::PositionMs() const {
    return ToMs(openmpt_module_get_position_seconds(module_->handle));
}

void TrackerModule::Seek(uint32_t ms) {
    openmpt_module_set_position_seconds(module_->handle, ms / 1000.0);
}

int TrackerLibraryAvailable() {
    return openmpt_get_library_version() != 0 ? 1 : 0;
}

} // namespace platform::media
