#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/media/cdaudio/cd_drive.h"

namespace platform::media {
namespace {

std::mutex makerLock;
std::function<std::unique_ptr<CdDrive>()> testMaker;

uint32_t ToFrame(const cdrom_msf0& msf) {
    return (uint32_t{msf.minute} * 60 + msf.second) * CD_FRAMES_PER_SECOND + msf.frame;
}

void ToMsf(uint32_t frame, unsigned char* minute, unsigned char* second, unsigned char* rest) {
    *minute = static_cast<unsigned char>(frame / (60 * CD_FRAMES_PER_SECOND));
    *second = static_cast<unsigned char>(frame / CD_FRAMES_PER_SECOND % 60);
    *rest = static_cast<unsigned char>(frame % CD_FRAMES_PER_SECOND);
}

class LinuxCdDrive final : public CdDrive {
public:
    explicit LinuxCdDrive(int fd) : fd_(fd) {}
    ~LinuxCdDrive() override { close(fd_); }

    CdState State() override {
        int status = ioctl(fd_, CDROM_DRIVE_STATUS, CDSL_CURRENT);
        if (status == CDS_TRAY_OPEN) return CdState::TrayOpen;
        return status == CDS_DISC_OK ? CdState::Ready : CdState::NoDisc;
    }

    bool ReadToc(std::vector<CdTrack>& tracks, uint32_t* leadOut) override {
        cdrom_tochdr header{};
        if (ioctl(fd_, CDROMREADTOCHDR, &header) != 0 || header.cdth_trk1 < header.cdth_trk0)
            return false;
        tracks.clear();
        for (int track = header.cdth_trk0; track <= header.cdth_trk1 + 1; ++track) {
            cdrom_tocentry entry{};
            entry.cdte_track =
                static_cast<unsigned char>(track > header.cdth_trk1 ? CDROM_LEADOUT : track);
            entry.cdte_format = CDROM_MSF;
            if (ioctl(fd_, CDROMREADTOCENTRY, &entry) != 0) return false;
            uint32_t start = ToFrame(entry.cdte_addr.msf);
            if (track > header.cdth_trk1)
                *leadOut = start;
            else
                tracks.push_back({start, (entry.cdte_ctrl & CDROM_DATA_TRACK) != 0});
        }
        return true;
    }

    bool Play(uint32_t from, uint32_t to) override {
        cdrom_msf msf{};
        ToMsf(from, &msf.cdmsf_min0, &msf.cdmsf_sec0, &msf.cdmsf_frame0);
        ToMsf(to, &msf.cdmsf_min1, &msf.cdmsf_sec1, &msf.cdmsf_frame1);
        return ioctl(fd_, CDROMPLAYMSF, &msf) == 0;
    }
    bool Pause() override { return ioctl(fd_, CDROMPAUSE) == 0; }
    bool Resume() override { return ioctl(fd_, CDROMRESUME) == 0; }
    bool Stop() override { return ioctl(fd_, CDROMSTOP) == 0; }
    bool Eject() override { return ioctl(fd_, CDROMEJECT) == 0; }
    bool CloseTray() override { return ioctl(fd_, CDROMCLOSETRAY) == 0; }

    bool Position(CdPosition* position) override {
        cdrom_subchnl channel{};
        channel.cdsc_format = CDROM_MSF;
        if (ioctl(fd_, CDROMSUBCHNL, &channel) != 0) return false;
        position->audio = channel.cdsc_audiostatus == CDROM_AUDIO_PLAY     ? CdAudio::Playing
                          : channel.cdsc_audiostatus == CDROM_AUDIO_PAUSED ? CdAudio::Paused
                                                                           : CdAudio::Idle;
        position->track = channel.cdsc_trk;
        position->frame = ToFrame(channel.cdsc_absaddr.msf);
        return true;
    }

private:
    int fd_;
};

std::unique_ptr<CdDrive> OpenPath(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    // A file that is no CD drive answers no drive status.
    if (ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT) < 0) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<LinuxCdDrive>(fd);
}

} // namespace

std::unique_ptr<CdDrive> OpenCdDrive() {
    {
        std::lock_guard guard(makerLock);
        if (testMaker) return testMaker();
    }
    const char* named = std::getenv("ZORV_CDROM");
    if (named != nullptr && *named != '\0') return OpenPath(named);
    if (auto drive = OpenPath("/dev/cdrom")) return drive;
    for (int n = 0; n < 16; ++n) {
        if (auto drive = OpenPath("/dev/sr" + std::to_string(n))) return drive;
    }
    return nullptr;
}

} // namespace platform::media

void platform::test::SetCdDriveMaker(
    std::function<std::unique_ptr<platform::media::CdDrive>()> maker) {
    std::lock_guard guard(platform::media::makerLock);
    platform::media::testMaker = std::move(maker);
}
