#include "platform/media/midi/midi_synth.h"

#include <fluidsynth.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>

#include "platform/libraries/lazy_library.h"
#include "platform/sound/media_voice.h"

namespace platform::media {
namespace {

constexpr const char* DEFAULT_SOUND_FONT = "/usr/share/sounds/sf2/default-GM.sf2";
// The synthesiser's own default (0.2) leaves a General MIDI arrangement some 20 dB below a
// full-level sound; at 1.0 a band of a few instruments peaks near -6 dBFS, beside the
// game's sounds, with room for denser files.
constexpr double SYNTH_GAIN = 1.0;

// The synthesiser reports through a log of its own; the player keeps standard error for
// the scripts.
void Quiet(int, const char*, void*) {}

void SilenceLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, &Quiet, nullptr);
    });
}

} // namespace

std::string SoundFontPath() {
    const char* named = std::getenv("ZORV_SOUNDFONT");
    std::string path = named != nullptr && *named != '\0' ? named : DEFAULT_SOUND_FONT;
    return access(path.c_str(), R_OK) == 0 ? path : std::string();
}

struct MidiSynth::Parts {
    ~Parts() {
        if (player != nullptr) delete_fluid_player(player);
        if (synth != nullptr) delete_fluid_synth(synth);
        if (settings != nullptr) delete_fluid_settings(settings);
    }
    std::vector<uint8_t> file;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
};

MidiSynth::MidiSynth(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

MidiSynth::~MidiSynth() = default;

std::unique_ptr<MidiSynth> MidiSynth::Open(std::vector<uint8_t> midiFile) {
    std::string font = SoundFontPath();
    if (font.empty() || midiFile.empty() || !Require(LazyLibrary::FluidSynth)) return nullptr;
    SilenceLog();
    auto parts = std::make_unique<Parts>();
    parts->file = std::move(midiFile);
    parts->settings = new_fluid_settings();
    if (parts->settings == nullptr) return nullptr;
    fluid_settings_setnum(parts->settings, "synth.sample-rate", sound::OUTPUT_RATE);
    // Only the rendered frames move the player on.
    fluid_settings_setstr(parts->settings, "player.timing-source", "sample");
    fluid_settings_setint(parts->settings, "synth.threadsafe-api", 0);
    fluid_settings_setnum(parts->settings, "synth.gain", SYNTH_GAIN);
    parts->synth = new_fluid_synth(parts->settings);
    if (parts->synth == nullptr ||
        fluid_synth_sfload(parts->synth, font.c_str(), 1) == FLUID_FAILED)
        return nullptr;
    std::unique_ptr<MidiSynth> midi(new MidiSynth(std::move(parts)));
    if (!midi->StartPlayer()) return nullptr;
    return midi;
}

bool MidiSynth::StartPlayer() {
    Parts& parts = *parts_;
    if (parts.player != nullptr) delete_fluid_player(parts.player);
    parts.player = new_fluid_player(parts.synth);
    if (parts.player == nullptr) return false;
    if (fluid_player_add_mem(parts.player, parts.file.data(), parts.file.size()) != FLUID_OK ||
        fluid_player_play(parts.player) != FLUID_OK) {
        delete_fluid_player(parts.player);
        parts.player = nullptr;
        return false;
    }
    rendered_ = 0;
    return true;
}

bool MidiSynth::Rewind() {
    fluid_synth_system_reset(parts_->synth);
    return StartPlayer();
}

void MidiSynth::Render(float* out, size_t frames) {
    // The synthesiser renders in blocks of an int's worth at most.
    constexpr size_t BLOCK = 4096;
    while (frames > 0) {
        size_t block = frames < BLOCK ? frames : BLOCK;
        fluid_synth_write_float(parts_->synth, static_cast<int>(block), out, 0, 2, out, 1, 2);
        out += block * 2;
        frames -= block;
        rendered_ += block;
    }
}

bool MidiSynth::Finished() const {
    fluid_player_t* player = parts_->player;
    if (player == nullptr || fluid_player_get_status(player) == FLUID_PLAYER_DONE) return true;
    // The player itself lingers for seconds after the last event while notes fade; the
    // file ends with its last event.
    int total = fluid_player_get_total_ticks(player);
    return total > 0 && fluid_player_get_current_tick(player) >= total;
}

} // namespace platform::media
