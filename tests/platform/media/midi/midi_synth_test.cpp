// The synthesiser plays a MIDI file by the frames rendered; RMID files are unwrapped.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/media/midi/midi_bytes.h"
#include "platform/media/midi/midi_file.h"
#include "platform/media/midi/midi_synth.h"

namespace {

using platform::media::MidiSynth;
using platform::media::UnwrapMidiFile;

// Renders until the file ends (three seconds at most); the largest sample.
float PeakToTheEnd(MidiSynth& synth, size_t* rendered) {
    std::vector<float> frames(4410 * 2);
    float peak = 0;
    while (!synth.Finished() && *rendered < 44100 * 3) {
        synth.Render(frames.data(), 4410);
        for (float sample : frames)
            peak = std::max(peak, std::fabs(sample));
        *rendered += 4410;
    }
    return peak;
}

TEST(MidiFile, RmidFilesAreUnwrappedAndOthersRefused) {
    std::vector<uint8_t> tune = test_midi::Tune();
    EXPECT_EQ(UnwrapMidiFile(tune.data(), tune.size()), tune);
    std::vector<uint8_t> wrapped = test_midi::Wrapped(tune);
    EXPECT_EQ(UnwrapMidiFile(wrapped.data(), wrapped.size()), tune);
    // A data chunk running past the end is cut there; a RIFF file of another form, or one
    // without a data chunk, holds no MIDI file.
    std::vector<uint8_t> cut(wrapped.begin(), wrapped.end() - 5);
    EXPECT_EQ(UnwrapMidiFile(cut.data(), cut.size()),
              std::vector<uint8_t>(tune.begin(), tune.end() - 5));
    std::vector<uint8_t> wave = wrapped;
    wave[8] = 'W';
    EXPECT_TRUE(UnwrapMidiFile(wave.data(), wave.size()).empty());
    std::vector<uint8_t> header(wrapped.begin(), wrapped.begin() + 24);
    EXPECT_TRUE(UnwrapMidiFile(header.data(), header.size()).empty());
    EXPECT_TRUE(UnwrapMidiFile(tune.data() + 1, tune.size() - 1).empty());
}

TEST(MidiSynth, TheFileSoundsAndEndsAfterItsLength) {
    if (platform::media::SoundFontPath().empty()) GTEST_SKIP() << "no General MIDI sound font";
    std::unique_ptr<MidiSynth> synth = MidiSynth::Open(test_midi::Tune());
    ASSERT_NE(synth, nullptr);
    size_t rendered = 0;
    const float peak = PeakToTheEnd(*synth, &rendered);
    EXPECT_GT(peak, 0.01f);
    // Half a second of notes.
    EXPECT_GE(rendered, 44100u * 4 / 10);
    EXPECT_LE(rendered, 44100u * 8 / 10);
    ASSERT_TRUE(synth->Rewind());
    EXPECT_FALSE(synth->Finished());
    EXPECT_EQ(synth->RenderedFrames(), 0u);
}

// A General MIDI file plays about as loud as a game's sounds: near -6 dBFS at its peak,
// never clipping.
TEST(MidiSynth, ABandPeaksNearSixDecibelsBelowFullScale) {
    if (platform::media::SoundFontPath().empty()) GTEST_SKIP() << "no General MIDI sound font";
    std::unique_ptr<MidiSynth> synth = MidiSynth::Open(test_midi::Band());
    ASSERT_NE(synth, nullptr);
    size_t rendered = 0;
    const double decibels = 20 * std::log10(std::max(PeakToTheEnd(*synth, &rendered), 1e-9f));
    EXPECT_GT(decibels, -9.0);
    EXPECT_LT(decibels, -3.0);
}

} // namespace
