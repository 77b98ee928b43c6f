// The "sequencer" MCI device: a MIDI file on the synthesiser, fed into a media voice by a
// multimedia timer that keeps a little ahead of what the output played. Without an
// output the timer renders what the clock says would have played, so the file still ends
// on time.
#include <algorithm>
#include <memory>
#include <mutex>
#include <set>

#include "platform/kernel/clock.h"
#include "platform/media/mci/mci_device.h"
#include "platform/media/midi/midi_file.h"
#include "platform/media/midi/midi_synth.h"
#include "platform/sound/media_voice.h"
#include "platform/sound/multimedia_timer.h"

namespace platform::media {
namespace {

using sound::OUTPUT_RATE;

constexpr UINT FEED_PERIOD_MS = 20;
// A fifth of a second ahead of the output, in a voice twice as long.
constexpr DWORD AHEAD_FRAMES = OUTPUT_RATE / 5;
constexpr DWORD VOICE_FRAMES = AHEAD_FRAMES * 2;
constexpr size_t CHUNK_FRAMES = 1024;

class Sequencer;

// Every sequencer's state, the playing set and the feeding timer are under this lock.
std::mutex feedLock;
std::set<Sequencer*> playing;
UINT feedTimer = 0;

void FeedAll(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

uint64_t FramesToMs(uint64_t frames) {
    return frames * 1000 / OUTPUT_RATE;
}

class Sequencer final : public MciDevice {
public:
    Sequencer(MCIDEVICEID id, std::unique_ptr<MidiSynth> synth)
        : id_(id), synth_(std::move(synth)) {}

    ~Sequencer() override {
        std::lock_guard lock(feedLock);
        Halt(MCI_NOTIFY_ABORTED);
    }

    MCIERROR Command(UINT message, DWORD flags, DWORD_PTR param) override {
        StartTimer();
        std::lock_guard lock(feedLock);
        switch (message) {
        case MCI_PLAY:
        case MCI_RESUME:
            return Play(flags, reinterpret_cast<MCI_PLAY_PARMS*>(param), message == MCI_PLAY);
        case MCI_STOP:
        case MCI_CLOSE:
            Halt(MCI_NOTIFY_ABORTED);
            return Acknowledge(flags, param);
        case MCI_PAUSE:
            if (mode_ == Mode::Playing) {
                Notify(MCI_NOTIFY_ABORTED);
                sound::PauseMediaVoice(voice_, true);
                playing.erase(this);
                mode_ = Mode::Paused;
            }
            return Acknowledge(flags, param);
        case MCI_SEEK:
            return Seek(flags, reinterpret_cast<MCI_SEEK_PARMS*>(param));
        case MCI_STATUS:
            return Status(flags, reinterpret_cast<MCI_STATUS_PARMS*>(param));
        case MCI_SET: {
            auto* set = reinterpret_cast<MCI_SET_PARMS*>(param);
            if ((flags & MCI_SET_TIME_FORMAT) &&
                (set == nullptr || set->dwTimeFormat != MCI_FORMAT_MILLISECONDS))
                return MCIERR_BAD_TIME_FORMAT;
            return 0;
        }
        default:
            return MCIERR_UNRECOGNIZED_COMMAND;
        }
    }

    // Under the lock, on the timer's thread.
    void Feed() {
        if (voice_ == 0) {
            FeedByClock();
            return;
        }
        float chunk[CHUNK_FRAMES * 2];
        while (!inputEnded_ && sound::MediaVoiceQueuedFrames(voice_) < AHEAD_FRAMES) {
            if (synth_->Finished()) {
                sound::EndMediaVoice(voice_);
                inputEnded_ = true;
                break;
            }
            std::fill(std::begin(chunk), std::end(chunk), 0.0f);
            synth_->Render(chunk, CHUNK_FRAMES);
            sound::WriteMediaVoice(voice_, chunk, CHUNK_FRAMES);
        }
        if (inputEnded_ && sound::MediaVoiceEnded(voice_)) Complete();
    }

private:
    enum class Mode { Stopped, Playing, Paused };

    MCIERROR Play(DWORD flags, MCI_PLAY_PARMS* params, bool maySeek) {
        if ((flags & (MCI_NOTIFY | MCI_FROM)) && params == nullptr)
            return MCIERR_NULL_PARAMETER_BLOCK;
        Notify(MCI_NOTIFY_SUPERSEDED);
        if (maySeek && (flags & MCI_FROM) && !SeekTo(params->dwFrom)) return MCIERR_OUTOFRANGE;
        if (mode_ == Mode::Paused) {
            sound::PauseMediaVoice(voice_, false);
        } else if (mode_ == Mode::Stopped) {
            voice_ = sound::OpenMediaVoice(VOICE_FRAMES);
            inputEnded_ = false;
            clockBase_ = timeGetTime();
            clockFrames_ = synth_->RenderedFrames();
        }
        mode_ = Mode::Playing;
        playing.insert(this);
        if (flags & MCI_NOTIFY) notifyWindow_ = static_cast<HWND>(params->dwCallback);
        return 0;
    }

    MCIERROR Seek(DWORD flags, MCI_SEEK_PARMS* params) {
        Halt(MCI_NOTIFY_ABORTED);
        DWORD to = 0;
        if (flags & MCI_TO) {
            if (params == nullptr) return MCIERR_NULL_PARAMETER_BLOCK;
            to = params->dwTo;
        } else if (!(flags & MCI_SEEK_TO_START)) {
            return MCIERR_MISSING_PARAMETER;
        }
        if (!SeekTo(to)) return MCIERR_OUTOFRANGE;
        return Acknowledge(flags, reinterpret_cast<DWORD_PTR>(params));
    }

    // Stops, then renders silently from the start up to `ms`; false when the file ends
    // before it.
    bool SeekTo(DWORD ms) {
        Halt(MCI_NOTIFY_ABORTED);
        if (!synth_->Rewind()) return false;
        uint64_t frames = uint64_t{ms} * OUTPUT_RATE / 1000;
        float chunk[CHUNK_FRAMES * 2];
        while (frames > 0) {
            if (synth_->Finished()) return false;
            size_t now = static_cast<size_t>(std::min<uint64_t>(frames, CHUNK_FRAMES));
            synth_->Render(chunk, now);
            frames -= now;
        }
        return true;
    }

    MCIERROR Status(DWORD flags, MCI_STATUS_PARMS* params) {
        if (params == nullptr) return MCIERR_NULL_PARAMETER_BLOCK;
        if (!(flags & MCI_STATUS_ITEM)) return MCIERR_MISSING_PARAMETER;
        switch (params->dwItem) {
        case MCI_STATUS_MODE:
            params->dwReturn = mode_ == Mode::Playing  ? MCI_MODE_PLAY
                               : mode_ == Mode::Paused ? MCI_MODE_PAUSE
                                                       : MCI_MODE_STOP;
            return Acknowledge(flags, reinterpret_cast<DWORD_PTR>(params));
        case MCI_STATUS_POSITION: {
            uint64_t rendered = synth_->RenderedFrames();
            DWORD queued = voice_ != 0 ? sound::MediaVoiceQueuedFrames(voice_) : 0;
            params->dwReturn =
                static_cast<DWORD>(FramesToMs(rendered - std::min<uint64_t>(rendered, queued)));
            return Acknowledge(flags, reinterpret_cast<DWORD_PTR>(params));
        }
        case MCI_STATUS_READY:
        case MCI_STATUS_MEDIA_PRESENT:
            params->dwReturn = 1;
            return Acknowledge(flags, reinterpret_cast<DWORD_PTR>(params));
        case MCI_STATUS_TIME_FORMAT:
            params->dwReturn = MCI_FORMAT_MILLISECONDS;
            return Acknowledge(flags, reinterpret_cast<DWORD_PTR>(params));
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
        }
    }

    // A command that finishes at once notifies its success at once.
    MCIERROR Acknowledge(DWORD flags, DWORD_PTR param) {
        if ((flags & MCI_NOTIFY) && param != 0)
            PostMciNotify(
                static_cast<HWND>(reinterpret_cast<MCI_GENERIC_PARMS*>(param)->dwCallback),
                MCI_NOTIFY_SUCCESSFUL, id_);
        return 0;
    }

    void Notify(UINT code) {
        PostMciNotify(notifyWindow_, code, id_);
        notifyWindow_ = 0;
    }

    // Stopped where it stands, its voice closed and a waiting notification sent `code`.
    void Halt(UINT code) {
        Notify(code);
        if (voice_ != 0) sound::CloseMediaVoice(voice_);
        voice_ = 0;
        playing.erase(this);
        mode_ = Mode::Stopped;
    }

    void Complete() { Halt(MCI_NOTIFY_SUCCESSFUL); }

    void FeedByClock() {
        uint64_t due = clockFrames_ + uint64_t{timeGetTime() - clockBase_} * OUTPUT_RATE / 1000;
        float chunk[CHUNK_FRAMES * 2];
        while (synth_->RenderedFrames() < due && !synth_->Finished()) {
            size_t now = static_cast<size_t>(
                std::min<uint64_t>(due - synth_->RenderedFrames(), CHUNK_FRAMES));
            synth_->Render(chunk, now);
        }
        if (synth_->Finished()) Complete();
    }

    static void StartTimer() {
        std::lock_guard lock(feedLock);
        if (feedTimer == 0) feedTimer = timeSetEvent(FEED_PERIOD_MS, 5, &FeedAll, 0, TIME_PERIODIC);
    }

    MCIDEVICEID id_;
    std::unique_ptr<MidiSynth> synth_;
    Mode mode_ = Mode::Stopped;
    DWORD voice_ = 0;
    bool inputEnded_ = false;
    HWND notifyWindow_ = 0;
    DWORD clockBase_ = 0;
    uint64_t clockFrames_ = 0;
};

void FeedAll(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    std::lock_guard lock(feedLock);
    // Feeding may complete a sequencer, which leaves the set.
    std::set<Sequencer*> feeding = playing;
    for (Sequencer* sequencer : feeding)
        sequencer->Feed();
}

} // namespace

std::unique_ptr<MciDevice> OpenSequencer(MCIDEVICEID id, const char* element, MCIERROR* error) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(element, bytes)) {
        *error = MCIERR_FILE_NOT_FOUND;
        return nullptr;
    }
    std::vector<uint8_t> midi = UnwrapMidiFile(bytes.data(), bytes.size());
    if (midi.empty()) {
        *error = MCIERR_INVALID_FILE;
        return nullptr;
    }
    if (SoundFontPath().empty()) {
        *error = MCIERR_DEVICE_NOT_INSTALLED;
        return nullptr;
    }
    std::unique_ptr<MidiSynth> synth = MidiSynth::Open(std::move(midi));
    if (synth == nullptr) {
        *error = MCIERR_INVALID_FILE;
        return nullptr;
    }
    return std::make_unique<Sequencer>(id, std::move(synth));
}

} // namespace platform::media
