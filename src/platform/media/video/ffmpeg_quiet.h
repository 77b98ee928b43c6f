// FFmpeg's own log goes to standard error; the player keeps it quiet.
#pragma once

namespace platform::video {

// Sets FFmpeg's log level to quiet once per process.
void QuietFfmpegLog();

} // namespace platform::video
