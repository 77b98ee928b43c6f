// The "cdaudio" MCI device over a CD drive: time formats milliseconds (from the start of
// the disc), MSF and TMSF (within a track); sound comes from the drive's own output.
#include <memory>
#include <vector>

#include "platform/media/cdaudio/cd_drive.h"
#include "platform/media/mci/mci_device.h"

namespace platform::media {
namespace {

constexpr uint32_t FPS = CD_FRAMES_PER_SECOND;

DWORD MakeMsf(uint32_t frame) {
    return DWORD{frame / (60 * FPS) & 0xFF} | DWORD{frame / FPS % 60} << 8 |
           DWORD{frame % FPS} << 16;
}

uint32_t MsfFrames(DWORD msf) {
    return ((msf & 0xFF) * 60 + (msf >> 8 & 0xFF)) * FPS + (msf >> 16 & 0xFF);
}

class CdAudioDevice final : public MciDevice {
public:
    CdAudioDevice(MCIDEVICEID id, std::unique_ptr<CdDrive> drive)
        : id_(id), drive_(std::move(drive)) {}

    MCIERROR Command(UINT message, DWORD flags, DWORD_PTR param) override {
        MCIERROR result = Run(message, flags, param);
        if (result == 0 && (flags & MCI_NOTIFY) && param != 0)
            PostMciNotify(
                static_cast<HWND>(reinterpret_cast<MCI_GENERIC_PARMS*>(param)->dwCallback),
                MCI_NOTIFY_SUCCESSFUL, id_);
        return result;
    }

private:
    MCIERROR Run(UINT message, DWORD flags, DWORD_PTR param) {
        switch (message) {
        case MCI_CLOSE:
            return 0;
        case MCI_SET:
            return Set(flags, reinterpret_cast<MCI_SET_PARMS*>(param));
        case MCI_STATUS:
            return Status(flags, reinterpret_cast<MCI_STATUS_PARMS*>(param));
        case MCI_PLAY:
            return Play(flags, reinterpret_cast<MCI_PLAY_PARMS*>(param));
        case MCI_STOP:
        case MCI_PAUSE:
        case MCI_RESUME: {
            MCIERROR ready = ReadDisc();
            if (ready != 0) return ready;
            bool done = message == MCI_STOP    ? drive_->Stop()
                        : message == MCI_PAUSE ? drive_->Pause()
                                               : drive_->Resume();
            return done ? 0 : MCIERR_HARDWARE;
        }
        default:
            return MCIERR_UNRECOGNIZED_COMMAND;
        }
    }

    MCIERROR Set(DWORD flags, MCI_SET_PARMS* set) {
        if ((flags & MCI_SET_DOOR_OPEN) && (flags & MCI_SET_DOOR_CLOSED))
            return MCIERR_FLAGS_NOT_COMPATIBLE;
        if (flags & MCI_SET_DOOR_OPEN) return drive_->Eject() ? 0 : MCIERR_HARDWARE;
        if (flags & MCI_SET_DOOR_CLOSED) return drive_->CloseTray() ? 0 : MCIERR_HARDWARE;
        if (flags & MCI_SET_TIME_FORMAT) {
            if (set == nullptr) return MCIERR_NULL_PARAMETER_BLOCK;
            DWORD format = set->dwTimeFormat;
            if (format != MCI_FORMAT_MILLISECONDS && format != MCI_FORMAT_MSF &&
                format != MCI_FORMAT_TMSF)
                return MCIERR_BAD_TIME_FORMAT;
            format_ = format;
        }
        return 0;
    }

    // The table of contents, read again at every command: the disc may have changed.
    MCIERROR ReadDisc() {
        if (drive_->State() != CdState::Ready || !drive_->ReadToc(tracks_, &leadOut_) ||
            tracks_.empty())
            return MCIERR_DEVICE_NOT_READY;
        return 0;
    }

    bool ValidTrack(DWORD track) const { return track >= 1 && track <= tracks_.size(); }
    uint32_t TrackStart(DWORD track) const { return tracks_[track - 1].start; }
    uint32_t TrackEnd(DWORD track) const {
        return track < tracks_.size() ? tracks_[track].start : leadOut_;
    }

    uint32_t TrackOf(uint32_t frame) const {
        uint32_t track = 1;
        for (uint32_t t = 1; t <= tracks_.size(); ++t) {
            if (TrackStart(t) <= frame) track = t;
        }
        return track;
    }

    // A time of the current format as an absolute frame; false when out of range.
    bool ToFrame(DWORD time, uint32_t* frame) const {
        if (format_ == MCI_FORMAT_MILLISECONDS) {
            *frame = static_cast<uint32_t>(uint64_t{time} * FPS / 1000);
        } else if (format_ == MCI_FORMAT_MSF) {
            *frame = MsfFrames(time);
        } else {
            DWORD track = MCI_TMSF_TRACK(time);
            if (!ValidTrack(track)) return false;
            *frame = TrackStart(track) + MsfFrames(time >> 8);
        }
        return *frame <= leadOut_;
    }

    DWORD FromFrame(uint32_t frame) const {
        if (format_ == MCI_FORMAT_MILLISECONDS)
            return static_cast<DWORD>(uint64_t{frame} * 1000 / FPS);
        if (format_ == MCI_FORMAT_MSF) return MakeMsf(frame);
        uint32_t track = TrackOf(frame);
        return track | MakeMsf(frame - TrackStart(track)) << 8;
    }

    // A length: milliseconds or MSF (TMSF lengths are given as MSF).
    DWORD Length(uint32_t frames) const {
        return format_ == MCI_FORMAT_MILLISECONDS
                   ? static_cast<DWORD>(uint64_t{frames} * 1000 / FPS)
                   : MakeMsf(frames);
    }

    MCIERROR Play(DWORD flags, MCI_PLAY_PARMS* play) {
        if ((flags & (MCI_FROM | MCI_TO)) && play == nullptr) return MCIERR_NULL_PARAMETER_BLOCK;
        MCIERROR ready = ReadDisc();
        if (ready != 0) return ready;
        uint32_t from = 0;
        uint32_t to = leadOut_;
        if (flags & MCI_FROM) {
            if (!ToFrame(play->dwFrom, &from)) return MCIERR_OUTOFRANGE;
        } else {
            CdPosition position;
            if (!drive_->Position(&position)) return MCIERR_HARDWARE;
            from = position.frame;
        }
        if ((flags & MCI_TO) && !ToFrame(play->dwTo, &to)) return MCIERR_OUTOFRANGE;
        if (from >= to) return MCIERR_OUTOFRANGE;
        return drive_->Play(from, to) ? 0 : MCIERR_HARDWARE;
    }

    MCIERROR Status(DWORD flags, MCI_STATUS_PARMS* status) {
        if (status == nullptr) return MCIERR_NULL_PARAMETER_BLOCK;
        if (!(flags & MCI_STATUS_ITEM)) return MCIERR_MISSING_PARAMETER;
        status->dwReturn = 0;
        switch (status->dwItem) {
        case MCI_STATUS_MEDIA_PRESENT:
            status->dwReturn = drive_->State() == CdState::Ready && ReadDisc() == 0;
            return 0;
        case MCI_STATUS_READY:
            status->dwReturn = drive_->State() == CdState::Ready;
            return 0;
        case MCI_STATUS_TIME_FORMAT:
            status->dwReturn = format_;
            return 0;
        case MCI_STATUS_MODE:
            return Mode(status);
        default:
            break;
        }
        MCIERROR ready = ReadDisc();
        if (ready != 0) return ready;
        bool withTrack = (flags & MCI_TRACK) != 0;
        if (withTrack && !ValidTrack(status->dwTrack)) return MCIERR_OUTOFRANGE;
        switch (status->dwItem) {
        case MCI_STATUS_NUMBER_OF_TRACKS:
            status->dwReturn = tracks_.size();
            return 0;
        case MCI_STATUS_LENGTH:
            status->dwReturn = withTrack
                                   ? Length(TrackEnd(status->dwTrack) - TrackStart(status->dwTrack))
                                   : Length(leadOut_ - TrackStart(1));
            return 0;
        case MCI_STATUS_POSITION: {
            if (withTrack) {
                status->dwReturn = FromFrame(TrackStart(status->dwTrack));
                return 0;
            }
            CdPosition position;
            if (!drive_->Position(&position)) return MCIERR_HARDWARE;
            status->dwReturn = FromFrame(position.frame);
            return 0;
        }
        case MCI_STATUS_CURRENT_TRACK: {
            CdPosition position;
            if (!drive_->Position(&position)) return MCIERR_HARDWARE;
            status->dwReturn =
                ValidTrack(position.track) ? position.track : TrackOf(position.frame);
            return 0;
        }
        case MCI_CDA_STATUS_TYPE_TRACK:
            if (!withTrack) return MCIERR_MISSING_PARAMETER;
            status->dwReturn =
                tracks_[status->dwTrack - 1].data ? MCI_CDA_TRACK_OTHER : MCI_CDA_TRACK_AUDIO;
            return 0;
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
        }
    }

    MCIERROR Mode(MCI_STATUS_PARMS* status) {
        CdState state = drive_->State();
        if (state != CdState::Ready) {
            status->dwReturn = state == CdState::TrayOpen ? MCI_MODE_OPEN : MCI_MODE_NOT_READY;
            return 0;
        }
        CdPosition position;
        if (!drive_->Position(&position)) return MCIERR_HARDWARE;
        status->dwReturn = position.audio == CdAudio::Playing  ? MCI_MODE_PLAY
                           : position.audio == CdAudio::Paused ? MCI_MODE_PAUSE
                                                               : MCI_MODE_STOP;
        return 0;
    }

    MCIDEVICEID id_;
    std::unique_ptr<CdDrive> drive_;
    DWORD format_ = MCI_FORMAT_MILLISECONDS;
    std::vector<CdTrack> tracks_;
    uint32_t leadOut_ = 0;
};

} // namespace

std::unique_ptr<MciDevice> OpenCdAudio(MCIDEVICEID id, MCIERROR* error) {
    std::unique_ptr<CdDrive> drive = OpenCdDrive();
    if (drive == nullptr) {
        *error = MCIERR_DEVICE_NOT_INSTALLED;
        return nullptr;
    }
    return std::make_unique<CdAudioDevice>(id, std::move(drive));
}

} // namespace platform::media
