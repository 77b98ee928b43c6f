// The machine's joysticks as the device layers read them: identified by an instance
// number that stays with the device while it is attached, read raw. Internal to the
// platform layer.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct JoystickIdentity {
    int32_t instance = -1;
    // Windows-1252.
    std::string name;
    std::array<uint8_t, 16> guid{};
    // 4 game pad, 6 wheel, 3 flight stick or throttle, 2 anything else.
    int subType = 2;
    int axes = 0, buttons = 0, hats = 0;
};

struct JoystickSnapshot {
    // -32768..32767 in the device's order.
    std::vector<int16_t> axes;
    std::vector<uint8_t> buttons;
    // SDL-style bits: 1 up, 2 right, 4 down, 8 left.
    std::vector<uint8_t> hats;
};

// The attached joysticks in their system order.
std::vector<JoystickIdentity> ListJoysticks();
// False once the joystick is gone.
bool ReadJoystick(int32_t instance, JoystickSnapshot& snapshot);
// Hundredths of a degree clockwise from forward; `centred` for a centred hat.
uint32_t HatHundredths(uint8_t bits, uint32_t centred);

} // namespace platform
