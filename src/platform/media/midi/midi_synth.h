// A MIDI file played by the synthesiser into float stereo frames at the output rate. The
// player is timed by the frames rendered, so whoever renders sets the pace (the test clock
// through the media voice's feeder, say).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::media {

// The General MIDI sound font: ZORV_SOUNDFONT when set, else the system's default font;
// empty when that file cannot be read.
std::string SoundFontPath();

class MidiSynth {
public:
    // Null when there is no sound font or the synthesiser refuses the file.
    static std::unique_ptr<MidiSynth> Open(std::vector<uint8_t> midiFile);
    ~MidiSynth();
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    // Back to the start, every note silenced; false when the player cannot be made again.
    bool Rewind();
    // Renders `frames` interleaved stereo frames into `out`.
    void Render(float* out, size_t frames);
    // True once the player passed the file's last event (or could not read the file).
    bool Finished() const;
    // Frames rendered since the last rewind.
    uint64_t RenderedFrames() const { return rendered_; }

private:
    struct Parts;
    explicit MidiSynth(std::unique_ptr<Parts> parts);
    bool StartPlayer();

    std::unique_ptr<Parts> parts_;
    uint64_t rendered_ = 0;
};

} // namespace platform::media
