#include "input/fake_devices.h"

#include <map>
#include <memory>

namespace input_fakes {
namespace {

std::map<int32_t, FakeState>& States() {
    static std::map<int32_t, FakeState> states;
    return states;
}

class FakeDevice final : public InputDevice {
public:
    explicit FakeDevice(int32_t index) : InputDevice(index, 3), state_(State(index)) {
        ++state_.opened;
    }
    int Attach(HWND, int) override { return state_.failAttach != 0 ? 0 : 1; }
    int GetButton(int32_t button) override {
        return button >= 0 && button < 256 ? state_.buttons[size_t(button)] : 0;
    }
    uint32_t GetPov(int32_t) override { return state_.pov; }
    int HasForceFeedback() override { return state_.forceFeedback; }
    int NeedsPoll() override { return state_.needsPoll; }
    void Poll() override { ++state_.polls; }
    void GetAxisRange(int32_t axis, int32_t& minimum, int32_t& maximum) override {
        minimum = axis >= 0 && axis < 5 ? state_.axisMinimum[size_t(axis)] : 0;
        maximum = axis >= 0 && axis < 5 ? state_.axisMaximum[size_t(axis)] : 0;
    }
    void GetRotationRange(int32_t axis, int32_t& minimum, int32_t& maximum) override {
        minimum = axis >= 0 && axis < 3 ? state_.rotationMinimum[size_t(axis)] : 0;
        maximum = axis >= 0 && axis < 3 ? state_.rotationMaximum[size_t(axis)] : 0;
    }
    int32_t GetAxis(int32_t axis) override {
        return axis >= 0 && axis < 5 ? state_.axes[size_t(axis)] : 0;
    }
    int32_t GetRotation(int32_t axis) override {
        return axis >= 0 && axis < 3 ? state_.rotations[size_t(axis)] : 0;
    }
    int32_t SetRange(int32_t minimum, int32_t) override {
        ++state_.rangesSet;
        return minimum;
    }
    int32_t GetDeadZone() override { return state_.deadZone; }

private:
    FakeState& state_;
};

std::unique_ptr<InputDevice> MakeFake(const InputDeviceInfo&, int32_t index) {
    return std::make_unique<FakeDevice>(index);
}

} // namespace

void InstallFakeDevices(const std::vector<int32_t>& categories) {
    States().clear();
    auto records = std::make_unique<InputDeviceInfo[]>(categories.size());
    for (size_t i = 0; i < categories.size(); ++i) {
        records[i].category = categories[i];
        records[i].maker = &MakeFake;
        FakeState& state = States()[int32_t(i)];
        state.axisMinimum.fill(-65535);
        state.axisMaximum.fill(65535);
        state.rotationMinimum.fill(-65535);
        state.rotationMaximum.fill(65535);
    }
    input_test::ReplaceDiscovery(std::move(records), categories.size());
}

void RemoveFakeDevices() {
    input_test::ReplaceDiscovery(nullptr, 0);
    States().clear();
}

FakeState& State(int32_t index) {
    return States()[index];
}

bool IsOpen(int32_t index) {
    const InputDeviceInfo* record = GetInputDeviceInfo(index);
    return record != nullptr && record->device != nullptr;
}

} // namespace input_fakes
