#include "classes/media/video_player.h"

#include <memory>
#include <new>

#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/surface.h"

VideoPlayer::VideoPlayer() : pump_(1, 1, 1) {}

VideoPlayer* VideoPlayer::Open(const char* windowsName, SurfaceHandle& target) {
    std::unique_ptr<VideoPlayer> player(new (std::nothrow) VideoPlayer);
    if (player == nullptr) return nullptr;
    platform::video::MovieReader& reader = player->reader_;
    if (!reader.Open(windowsName) || reader.Width() != target.GetWidth() ||
        reader.Height() != target.GetHeight() || reader.Depth() != target.GetDepth())
        return nullptr;
    platform::video::FrameRate rate = reader.Rate();
    player->pump_ = VideoPump(reader.FrameCount(), rate.numerator, rate.denominator);
    return player.release();
}

bool VideoPlayer::DrawInto(SurfaceHandle& target) {
    if (pump_.GetFrame() == pump_.GetShown()) return false;
    uint8_t* pixels = target.Lock();
    if (pixels == nullptr) return false;
    const SurfaceBits* bits = target.GetImpl()->GetBits();
    bool drawn =
        reader_.ReadFrame(pump_.GetFrame(), target.GetDepth(), bits->pixels, bits->signedPitch);
    target.Unlock();
    // A frame that cannot be decoded is not tried again at every poll.
    pump_.MarkShown();
    const uint32_t* colours = reader_.Palette();
    if (drawn && target.GetDepth() == 8 && colours != nullptr) {
        RawPalette palette{};
        palette.version = 0x300;
        palette.count = 256;
        for (int i = 0; i < 256; ++i) {
            palette.entries[i].red = uint8_t(colours[i] >> 16);
            palette.entries[i].green = uint8_t(colours[i] >> 8);
            palette.entries[i].blue = uint8_t(colours[i]);
        }
        target.SetPaletteData(&palette, 0);
    }
    return drawn;
}
