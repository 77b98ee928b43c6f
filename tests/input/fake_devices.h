// Devices of the tests' own: discovery lists the records given, and each opened device
// reads the state the test set for its index.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "input/device_table.h"

namespace input_fakes {

struct FakeState {
    std::array<int, 256> buttons{};
    std::array<int32_t, 5> axes{};
    std::array<int32_t, 5> axisMinimum{};
    std::array<int32_t, 5> axisMaximum{};
    std::array<int32_t, 3> rotations{};
    std::array<int32_t, 3> rotationMinimum{};
    std::array<int32_t, 3> rotationMaximum{};
    uint32_t pov = 0xFFFFFFFF;
    int32_t deadZone = 0;
    int forceFeedback = 0;
    int failAttach = 0;
    // Counts of what the manager did to the device.
    int opened = 0;
    int rangesSet = 0;
    int polls = 0;
    int needsPoll = 0;
};

// Replaces discovery with one record per category given (kCategoryMouse, ...); the
// states stay readable through State(index) while the test runs.
void InstallFakeDevices(const std::vector<int32_t>& categories);
void RemoveFakeDevices();
FakeState& State(int32_t index);
// Whether the device of the record is open now.
bool IsOpen(int32_t index);

} // namespace input_fakes
