#include "platform/media/modplug/mod_plug.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/media/mci/mci_device.h"
#include "platform/media/modplug/tracker_module.h"
#include "platform/sound/media_voice.h"
#include "platform/sound/multimedia_timer.h"

namespace modplug {
namespace {

using platform::media::TrackerModule;
using platform::sound::OUTPUT_RATE;
namespace sound = platform::sound;

constexpr UINT FEED_PERIOD_MS = 20;
constexpr DWORD AHEAD_FRAMES = OUTPUT_RATE / 5;
constexpr DWORD VOICE_FRAMES = AHEAD_FRAMES * 2;
constexpr size_t CHUNK_FRAMES = 1024;
constexpr int VERSION = 0x0100;

struct Player {
    std::unique_ptr<TrackerModule> module;
    HWND window = 0;
    DWORD voice = 0;
    bool playing = false;
    bool inputEnded = false;
};

// The instances, and the timer feeding those that play.
std::mutex lock;
std::map<Instance, std::unique_ptr<Player>> players;
Instance lastInstance = 0;
UINT feedTimer = 0;

Player* Find(Instance instance) {
    auto found = players.find(instance);
    return found == players.end() ? nullptr : found->second.get();
}

uint32_t HeardMs(Player& player) {
    uint32_t at = player.module->PositionMs();
    DWORD queued = player.voice != 0 ? sound::MediaVoiceQueuedFrames(player.voice) : 0;
    uint32_t queuedMs = static_cast<uint32_t>(uint64_t{queued} * 1000 / OUTPUT_RATE);
    // The renderer's position runs on past the last row while the end drains.
    return std::min(at - std::min(at, queuedMs), player.module->LengthMs());
}

// The module stays where it was heard; the voice goes.
void Halt(Player& player) {
    if (player.voice != 0 && player.module != nullptr) player.module->Seek(HeardMs(player));
    if (player.voice != 0) sound::CloseMediaVoice(player.voice);
    player.voice = 0;
    player.playing = false;
}

void Feed(Player& player) {
    if (player.voice == 0) {
        player.playing = false;
        return;
    }
    float chunk[CHUNK_FRAMES * 2];
    while (!player.inputEnded && sound::MediaVoiceQueuedFrames(player.voice) < AHEAD_FRAMES) {
        size_t frames = player.module->Render(chunk, CHUNK_FRAMES);
        if (frames > 0) sound::WriteMediaVoice(player.voice, chunk, static_cast<DWORD>(frames));
        if (frames < CHUNK_FRAMES) {
            sound::EndMediaVoice(player.voice);
            player.inputEnded = true;
        }
    }
    if (player.inputEnded && sound::MediaVoiceEnded(player.voice)) {
        sound::CloseMediaVoice(player.voice);
        player.voice = 0;
        player.playing = false;
    }
}

void FeedAll(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    std::lock_guard guard(lock);
    for (auto& entry : players) {
        if (entry.second->playing) Feed(*entry.second);
    }
}

Instance CreateEx(LPCSTR) {
    std::lock_guard guard(lock);
    if (feedTimer == 0) feedTimer = timeSetEvent(FEED_PERIOD_MS, 5, &FeedAll, 0, TIME_PERIODIC);
    do {
        ++lastInstance;
    } while (lastInstance == 0 || players.count(lastInstance));
    players[lastInstance] = std::make_unique<Player>();
    return lastInstance;
}

Instance Create() {
    return CreateEx("");
}

int Destroy(Instance instance) {
    std::lock_guard guard(lock);
    Player* player = Find(instance);
    if (player == nullptr) return 0;
    Halt(*player);
    players.erase(instance);
    return 1;
}

void SetWindow(Instance instance, HWND window) {
    std::lock_guard guard(lock);
    if (Player* player = Find(instance)) player->window = window;
}

int Load(Instance instance, LPCSTR fileName) {
    std::vector<uint8_t> bytes;
    bool read = fileName != nullptr && platform::media::ReadWholeFile(fileName, bytes);
    std::unique_ptr<TrackerModule> module = read ? TrackerModule::Load(bytes) : nullptr;
    std::lock_guard guard(lock);
    Player* player = Find(instance);
    if (player == nullptr) return 0;
    Halt(*player);
    player->module = std::move(module);
    return player->module != nullptr ? 1 : 0;
}

int Play(Instance instance) {
    std::lock_guard guard(lock);
    Player* player = Find(instance);
    if (player == nullptr || player->module == nullptr) return 0;
    if (player->playing) return 1;
    player->voice = sound::OpenMediaVoice(VOICE_FRAMES);
    player->inputEnded = false;
    player->playing = player->voice != 0;
    return player->playing ? 1 : 0;
}

int Stop(Instance instance) {
    std::lock_guard guard(lock);
    Player* player = Find(instance);
    if (player == nullptr) return 0;
    Halt(*player);
    return 1;
}

int IsPlaying(Instance instance) {
    std::lock_guard guard(lock);
    Player* player = Find(instance);
    return player != nullptr && player->playing ? 1 : 0;
}

int IsReady(Instance instance) {
    std::lock_guard guard(lock);
    Player* player = Find(instance);
    return player != nullptr && player->module != nullptr ? 1 : 0;
}

int GetLength(Instance instance) {
    std::lock_guard guard(lock);
    Player* player = Find(instance);
    if (player == nullptr || player->module == nullptr) return 0;
    return static_cast<int>(std::min<uint32_t>(player->module->LengthMs(), 0x7FFFFFFF));
}

int GetCurrentPosition(Instance instance) {
    std::lock_guard guard(lock);
    Player* player = Find(instance);
    if (player == nullptr || player->module == nullptr) return 0;
    return static_cast<int>(std::min<uint32_t>(HeardMs(*player), 0x7FFFFFFF));
}

int SetCurrentPosition(Instance instance, int ms) {
    std::lock_guard guard(lock);
    Player* player = Find(instance);
    if (player == nullptr || player->module == nullptr) return 0;
    bool wasPlaying = player->playing;
    Halt(*player);
    player->module->Seek(static_cast<uint32_t>(std::max(ms, 0)));
    if (wasPlaying) {
        player->voice = sound::OpenMediaVoice(VOICE_FRAMES);
        player->inputEnded = false;
        player->playing = player->voice != 0;
    }
    return 1;
}

int GetVersion() {
    return VERSION;
}

int RegisterCallback(Instance, void*) {
    return 0;
}

int GetVUMeter(Instance) {
    return 0;
}

template <class F> FARPROC AsProc(F function) {
    return reinterpret_cast<FARPROC>(function);
}

} // namespace

FARPROC Export(LPCSTR name) {
    static const std::pair<const char*, FARPROC> kExports[] = {
        {"ModPlug_Create", AsProc<CreateFn>(&Create)},
        {"ModPlug_CreateEx", AsProc<CreateExFn>(&CreateEx)},
        {"ModPlug_Destroy", AsProc<InstanceFn>(&Destroy)},
        {"ModPlug_SetWindow", AsProc<SetWindowFn>(&SetWindow)},
        {"ModPlug_Load", AsProc<LoadFn>(&Load)},
        {"ModPlug_Play", AsProc<InstanceFn>(&Play)},
        {"ModPlug_Stop", AsProc<InstanceFn>(&Stop)},
        {"ModPlug_IsPlaying", AsProc<InstanceFn>(&IsPlaying)},
        {"ModPlug_IsReady", AsProc<InstanceFn>(&IsReady)},
        {"ModPlug_GetMaxPosition", AsProc<InstanceFn>(&GetLength)},
        {"ModPlug_GetSongLength", AsProc<InstanceFn>(&GetLength)},
        {"ModPlug_GetCurrentPosition", AsProc<InstanceFn>(&GetCurrentPosition)},
        {"ModPlug_SetCurrentPosition", AsProc<SetPositionFn>(&SetCurrentPosition)},
        {"ModPlug_GetVersion", AsProc<VersionFn>(&GetVersion)},
        {"ModPlug_RegisterCallback", AsProc<RegisterCallbackFn>(&RegisterCallback)},
        {"ModPlug_GetVUMeter", AsProc<InstanceFn>(&GetVUMeter)},
    };
    if (name == nullptr) return nullptr;
    for (const auto& [exportName, function] : kExports) {
        if (std::strcmp(exportName, name) == 0) return function;
    }
    return nullptr;
}

void Install() {
    RegisterBuiltInModule(LIBRARY_NAME, &Export);
}

} // namespace modplug
