// A joystick with force feedback made through the kernel's uinput, for tests on machines
// that allow it: the kernel hands its effects to us, and we accept each one and count
// what is played.
#include <fcntl.h>
#include <linux/uinput.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <SDL2/SDL.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/input/ff_device.h"
#include "platform/input/joystick.h"

namespace {

constexpr char kName[] = "Uinput rumble pad";

struct UinputPad {
    int fd = -1;
    std::atomic<bool> stop{false};
    std::atomic<int> played{0};
    std::thread answers;
};

UinputPad& Pad() {
    static UinputPad pad;
    return pad;
}

// Answers the kernel's uploads and erasures, counts the effects played.
void Answer(UinputPad& pad) {
    while (!pad.stop) {
        pollfd wait{pad.fd, POLLIN, 0};
        if (poll(&wait, 1, 50) <= 0) continue;
        input_event event;
        while (read(pad.fd, &event, sizeof event) == ssize_t(sizeof event)) {
            if (event.type == EV_UINPUT && event.code == UI_FF_UPLOAD) {
                uinput_ff_upload upload{};
                upload.request_id = uint32_t(event.value);
                if (ioctl(pad.fd, UI_BEGIN_FF_UPLOAD, &upload) < 0) continue;
                upload.retval = 0;
                ioctl(pad.fd, UI_END_FF_UPLOAD, &upload);
            } else if (event.type == EV_UINPUT && event.code == UI_FF_ERASE) {
                uinput_ff_erase erase{};
                erase.request_id = uint32_t(event.value);
                if (ioctl(pad.fd, UI_BEGIN_FF_ERASE, &erase) < 0) continue;
                erase.retval = 0;
                ioctl(pad.fd, UI_END_FF_ERASE, &erase);
            } else if (event.type == EV_FF && event.code != FF_GAIN &&
                       event.code != FF_AUTOCENTER && event.value > 0) {
                ++pad.played;
            }
        }
    }
}

bool Setup(int fd) {
    const int buttons[] = {BTN_SOUTH, BTN_EAST, BTN_NORTH, BTN_WEST};
    const int effects[] = {FF_CONSTANT, FF_PERIODIC, FF_SINE, FF_RAMP, FF_GAIN};
    if (ioctl(fd, UI_SET_EVBIT, EV_KEY) < 0 || ioctl(fd, UI_SET_EVBIT, EV_ABS) < 0 ||
        ioctl(fd, UI_SET_EVBIT, EV_FF) < 0)
        return false;
    for (int button : buttons)
        ioctl(fd, UI_SET_KEYBIT, button);
    for (int effect : effects)
        ioctl(fd, UI_SET_FFBIT, effect);
    for (int axis : {ABS_X, ABS_Y}) {
        ioctl(fd, UI_SET_ABSBIT, axis);
        uinput_abs_setup range{};
        range.code = uint16_t(axis);
        range.absinfo.minimum = -32768;
        range.absinfo.maximum = 32767;
        if (ioctl(fd, UI_ABS_SETUP, &range) < 0) return false;
    }
    uinput_setup setup{};
    setup.id.bustype = BUS_USB;
    setup.id.vendor = 0x5A4F;
    setup.id.product = 0x0FFE;
    std::strncpy(setup.name, kName, sizeof setup.name - 1);
    setup.ff_effects_max = 16;
    return ioctl(fd, UI_DEV_SETUP, &setup) == 0 && ioctl(fd, UI_DEV_CREATE) == 0;
}

} // namespace

namespace platform::test {

int MakeUinputForceFeedbackJoystick() {
    UinputPad& pad = Pad();
    if (pad.fd >= 0) return -1;
    int fd = open("/dev/uinput", O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    if (!Setup(fd)) {
        close(fd);
        return -1;
    }
    pad.fd = fd;
    pad.stop = false;
    pad.played = 0;
    pad.answers = std::thread(Answer, std::ref(pad));
    // The new device shows among the joysticks once SDL has looked for new ones.
    for (int tries = 0; tries < 60; ++tries) {
        SDL_JoystickUpdate();
        UINT count = joyGetNumDevs();
        for (UINT id = 0; id < count; ++id) {
            JOYCAPSA caps{};
            if (joyGetDevCapsA(id, &caps, sizeof caps) == JOYERR_NOERROR &&
                std::strcmp(caps.szPname, kName) == 0)
                return int(id);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    RemoveUinputJoystick();
    return -1;
}

int UinputEffectsPlayed() {
    return Pad().played;
}

void RemoveUinputJoystick() {
    UinputPad& pad = Pad();
    if (pad.fd < 0) return;
    pad.stop = true;
    if (pad.answers.joinable()) pad.answers.join();
    ioctl(pad.fd, UI_DEV_DESTROY);
    close(pad.fd);
    pad.fd = -1;
}

} // namespace platform::test
