// FFmpeg's own log goes to standard error; the player keeps it quiet.
#pragma once

namespace platform::video {

// Loads FFmpeg's libraries (false when one of them is missing) and sets its log level to
// quiet once per process.
bool StartFfmpeg();

} // namespace platform::video
