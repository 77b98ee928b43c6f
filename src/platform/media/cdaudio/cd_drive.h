// A CD drive as the "cdaudio" device uses it: its table of contents, the tray, and audio
// played by the drive's own output. Positions are absolute frames, 75 a second (MSF 00:02:00
// is frame 150).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace platform::media {

inline constexpr uint32_t CD_FRAMES_PER_SECOND = 75;

struct CdTrack {
    uint32_t start = 0;
    bool data = false;
};

enum class CdState { TrayOpen, NoDisc, Ready };
enum class CdAudio { Playing, Paused, Idle };

struct CdPosition {
    CdAudio audio = CdAudio::Idle;
    uint32_t track = 0;
    uint32_t frame = 0;
};

class CdDrive {
public:
    virtual ~CdDrive() = default;
    virtual CdState State() = 0;
    // The tracks from the first, and the lead-out frame; false without a readable disc.
    virtual bool ReadToc(std::vector<CdTrack>& tracks, uint32_t* leadOut) = 0;
    // Plays the frames [from, to).
    virtual bool Play(uint32_t from, uint32_t to) = 0;
    virtual bool Pause() = 0;
    virtual bool Resume() = 0;
    virtual bool Stop() = 0;
    virtual bool Position(CdPosition* position) = 0;
    virtual bool Eject() = 0;
    virtual bool CloseTray() = 0;
};

// The drive ZORV_CDROM names, else /dev/cdrom, else the first /dev/srN that opens; null
// when there is none the user may open.
std::unique_ptr<CdDrive> OpenCdDrive();

} // namespace platform::media

namespace platform::test {

// Drives come from `maker` instead of the system while it is set (tests' fake drives).
void SetCdDriveMaker(std::function<std::unique_ptr<platform::media::CdDrive>()> maker);

} // namespace platform::test
