#include "platform/media/video/ffmpeg_quiet.h"

#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

namespace platform::video {

void QuietFfmpegLog() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

} // namespace platform::video
