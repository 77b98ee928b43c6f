// Reading every action of a game each frame: 4 players x 20 actions x 3 bindings, each
// binding with 2 conditions; the first two bindings of each action fail at their last
// condition, so every control of every binding is read. Once over devices of the
// benchmark's own (the manager's share alone), once over virtual joysticks read through
// the multimedia calls and SDL.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "input/device_table.h"
#include "input/game_input_manager.h"
#include "platform/input/joystick.h"

namespace {

constexpr int kPlayers = 4;
constexpr int kActions = 20;
constexpr HWND kWindow = 1;

std::string Settings() {
    std::string text = "Bench\n\tPreferredDevices=Joystick;Keyboard;Mouse\n";
    for (int player = 1; player <= kPlayers; ++player) {
        text += "\tPlayer " + std::to_string(player) + "\n";
        for (int action = 0; action < kActions; ++action) {
            text += "\t\tAction" + std::to_string(action) + "\n\t\t\tJoystick\n";
            text += "\t\t\t\tJOY_BUTTON1+JOY_BUTTON2+JOY_BUTTON3\n";
            text += "\t\t\t\tJOY_BUTTON1+JOY_BUTTON2+JOY_BUTTON4\n";
            text += "\t\t\t\tJOY_RIGHT+JOY_BUTTON1+JOY_BUTTON2\n";
        }
    }
    return text;
}

// Buttons 1 and 2 down, the X axis pushed right.
class BenchJoystick final : public InputDevice {
public:
    explicit BenchJoystick(int32_t index) : InputDevice(index, 3) {}
    int GetButton(int32_t button) override { return button < 2 ? 1 : 0; }
    void GetAxisRange(int32_t, int32_t& minimum, int32_t& maximum) override {
        minimum = -65535;
        maximum = 65535;
    }
    int32_t GetAxis(int32_t axis) override { return axis == 0 ? 40000 : 0; }
    int32_t SetRange(int32_t minimum, int32_t) override { return minimum; }
    int32_t GetDeadZone() override { return 2000; }
};

std::unique_ptr<InputDevice> MakeJoystick(const InputDeviceInfo&, int32_t index) {
    return std::make_unique<BenchJoystick>(index);
}

void ReadEveryAction(benchmark::State& state, GameInputManager& manager) {
    std::string names[kActions];
    for (int action = 0; action < kActions; ++action)
        names[action] = "action" + std::to_string(action);
    for (auto _ : state) {
        int64_t sum = 0;
        for (int player = 0; player < kPlayers; ++player)
            for (const std::string& name : names)
                sum += manager.GetActionValue(player, name);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kPlayers * kActions);
}

void Start(GameInputManager& manager) {
    const std::string text = Settings();
    manager.Init(0, kWindow);
    manager.LoadSettingsMemory(text.data(), text.size());
    manager.StartByIndex(0);
}

void BM_ActionsOverOwnDevices(benchmark::State& state) {
    auto records = std::make_unique<InputDeviceInfo[]>(kPlayers);
    for (int i = 0; i < kPlayers; ++i) {
        records[i].category = kCategoryJoystick;
        records[i].maker = &MakeJoystick;
    }
    input_test::ReplaceDiscovery(std::move(records), kPlayers);
    {
        GameInputManager manager;
        Start(manager);
        ReadEveryAction(state, manager);
    }
    input_test::ReplaceDiscovery(nullptr, 0);
}
BENCHMARK(BM_ActionsOverOwnDevices);

void BM_ActionsOverVirtualJoysticks(benchmark::State& state) {
    for (int i = 0; i < kPlayers; ++i) {
        int pad = platform::test::AttachVirtualJoystick(6, 32, 1, "Bench pad");
        if (pad < 0) {
            state.SkipWithError("no virtual joysticks");
            platform::test::DetachVirtualJoysticks();
            return;
        }
        platform::test::SetVirtualJoystickButton(pad, 0, true);
        platform::test::SetVirtualJoystickButton(pad, 1, true);
        platform::test::SetVirtualJoystickAxis(pad, 0, 20000);
    }
    {
        GameInputManager manager;
        Start(manager);
        ReadEveryAction(state, manager);
    }
    platform::test::DetachVirtualJoysticks();
}
BENCHMARK(BM_ActionsOverVirtualJoysticks);

} // namespace
