// Effect files come with projects and from anywhere on disk: any text makes at most one
// effect on the pad, within the pad's axes and the file's limits, and never harms the
// device (a recording device stands in for the pad's motors).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "input/device_table.h"
#include "input/effect_file.h"
#include "platform/display/headless_display.h"
#include "platform/input/ff_device.h"
#include "platform/input/joystick.h"
#include "platform/user/windows.h"

namespace {

// Plays nothing; checks what it is sent.
class CheckingDevice final : public platform::ForceFeedbackDevice {
public:
    uint32_t Supported() override { return 0x0FFB | platform::kFFGain | platform::kFFPause; }
    int Axes() override { return 2; }
    int NewEffect(const platform::FFEffect& effect) override {
        Check(effect);
        return effects_ < 64 ? effects_++ : -1;
    }
    bool UpdateEffect(int, const platform::FFEffect& effect) override {
        Check(effect);
        return true;
    }
    bool RunEffect(int, uint32_t) override { return true; }
    bool StopEffect(int) override { return true; }
    void DestroyEffect(int) override {}
    bool Playing(int) override { return false; }
    bool SetGain(int) override { return true; }
    bool SetAutocenter(int) override { return true; }
    bool Pause() override { return true; }
    bool Unpause() override { return true; }
    bool StopAll() override { return true; }

    void Reset() { effects_ = 0; }

private:
    static void Check(const platform::FFEffect& effect) {
        if (effect.kind == platform::kFFCustom &&
            effect.data.size() != size_t(effect.channels) * effect.samples)
            std::abort();
    }
    int effects_ = 0;
};

struct Pad {
    std::shared_ptr<CheckingDevice> device = std::make_shared<CheckingDevice>();
    HWND window = 0;
    int index = -1;
    std::string folder;

    Pad() {
        platform::headless::Install();
        WNDCLASSA padClass{};
        padClass.lpfnWndProc = DefWindowProcA;
        padClass.lpszClassName = "FuzzPad";
        RegisterClassA(&padClass);
        window = CreateWindowExA(0, "FuzzPad", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, 0, 0, 0,
                                 nullptr);
        ShowWindow(window, SW_SHOW);
        index = platform::test::AttachVirtualJoystick(2, 8, 0, "Fuzz pad");
        platform::test::AttachForceFeedback(index, device);
        EnumerateInputDevices(0);
        std::error_code error;
        auto path = std::filesystem::temp_directory_path(error) /
                    ("zorv_ff_effect_file." + std::to_string(getpid()));
        std::filesystem::create_directories(path, error);
        folder = path.string();
    }
};

Pad& ThePad() {
    static Pad pad;
    return pad;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Pad& pad = ThePad();
    if (pad.index < 0) return 0;
    // A new file each time, renamed over the last: the profile reader sees a new one.
    std::string file = pad.folder + "/effect.ffe";
    std::string part = file + ".new";
    FILE* out = std::fopen(part.c_str(), "wb");
    if (out == nullptr) return 0;
    std::fwrite(data, 1, size, out);
    std::fclose(out);
    std::rename(part.c_str(), file.c_str());

    pad.device->Reset();
    auto handle = OpenInputDevice(pad.index, pad.window, 1);
    if (handle == nullptr) return 0;
    InputDevice& device = *handle->Device();
    std::string path = "C:" + file;
    int32_t effect = ReadEffectFile(device, path.c_str());
    if (effect != -1 && effect != 0) std::abort();
    if (effect == 0) {
        int32_t axes = 0;
        if (device.GetEffectAxisCount(0, axes) != 1 || axes < 1 || axes > 2) std::abort();
        if (device.GetEffectCategory(device.GetEffectTypeOf(0)) == 0) std::abort();
        device.DownloadEffect(0);
        device.StartEffect(0, 1, 1);
    } else if (device.GetEffectTypeOf(0) != -1) {
        std::abort();
    }
    CloseInputDevice(std::move(handle));
    return 0;
}
