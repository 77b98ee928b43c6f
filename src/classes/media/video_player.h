// A movie played frame by frame into a picture: the reader of the file and the pump that
// paces it. The picture must have the movie's size and stored depth.
#pragma once

#include <cstdint>

#include "classes/media/video_pump.h"
#include "platform/media/video/movie_reader.h"

class SurfaceHandle;

class VideoPlayer {
public:
    // Null when the file holds no movie the reader takes, or the picture has not its size
    // and depth.
    static VideoPlayer* Open(const char* windowsName, SurfaceHandle& target);

    VideoPump& Pump() { return pump_; }
    // The pump's frame into the picture (and, at 8 bits, the movie's palette) when it is
    // not the one shown; true when the picture changed.
    bool DrawInto(SurfaceHandle& target);

private:
    VideoPlayer();

    platform::video::MovieReader reader_;
    VideoPump pump_;
};
