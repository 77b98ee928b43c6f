#include "platform/media/video/ffmpeg_quiet.h"

#include "platform/libraries/lazy_library.h"

#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

namespace platform::video {

bool StartFfmpeg() {
    if (!Require({LazyLibrary::AvFormat, LazyLibrary::AvCodec, LazyLibrary::AvUtil,
                  LazyLibrary::SwScale, LazyLibrary::SwResample}))
        return false;
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
    return true;
}

} // namespace platform::video
