#include "platform/input/joystick.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/input/joystick_access.h"
#include "platform/kernel/cp1252.h"
#include "platform/system/sdl_subsystem.h"

namespace {

std::mutex& JoystickLock() {
    static std::mutex lock;
    return lock;
}

struct OpenJoystick {
    SDL_JoystickID instance;
    SDL_Joystick* joystick;
};

std::vector<OpenJoystick>& OpenJoysticks() {
    static std::vector<OpenJoystick> open;
    return open;
}

std::vector<SDL_JoystickID>& VirtualJoysticks() {
    static std::vector<SDL_JoystickID> virtuals;
    return virtuals;
}

bool EnsureJoysticks() {
    static bool ready = platform::StartSdlSubsystem(SDL_INIT_JOYSTICK);
    return ready;
}

// The open joystick at position `id`, opened on first use. Caller holds the lock.
SDL_Joystick* JoystickAt(UINT id) {
    if (!EnsureJoysticks() || id >= UINT(SDL_NumJoysticks())) return nullptr;
    SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(int(id));
    for (const OpenJoystick& open : OpenJoysticks())
        if (open.instance == instance) return open.joystick;
    SDL_Joystick* joystick = SDL_JoystickOpen(int(id));
    if (joystick != nullptr) OpenJoysticks().push_back({instance, joystick});
    return joystick;
}

SDL_Joystick* VirtualAt(int id) {
    return id >= 0 ? JoystickAt(UINT(id)) : nullptr;
}

DWORD Position(Sint16 value) {
    return DWORD(int32_t(value) + 32768);
}

DWORD HatAngle(Uint8 hat) {
    return platform::HatHundredths(hat, JOY_POVCENTERED);
}

int SubTypeOf(SDL_JoystickType type) {
    switch (type) {
    case SDL_JOYSTICK_TYPE_GAMECONTROLLER:
        return 4;
    case SDL_JOYSTICK_TYPE_WHEEL:
        return 6;
    case SDL_JOYSTICK_TYPE_FLIGHT_STICK:
    case SDL_JOYSTICK_TYPE_THROTTLE:
        return 3;
    default:
        return 2;
    }
}

} // namespace

namespace platform {

uint32_t HatHundredths(uint8_t bits, uint32_t centred) {
    switch (bits) {
    case SDL_HAT_UP:
        return 0;
    case SDL_HAT_RIGHTUP:
        return 4500;
    case SDL_HAT_RIGHT:
        return 9000;
    case SDL_HAT_RIGHTDOWN:
        return 13500;
    case SDL_HAT_DOWN:
        return 18000;
    case SDL_HAT_LEFTDOWN:
        return 22500;
    case SDL_HAT_LEFT:
        return 27000;
    case SDL_HAT_LEFTUP:
        return 31500;
    default:
        return centred;
    }
}

std::vector<JoystickIdentity> ListJoysticks() {
    std::lock_guard<std::mutex> hold(JoystickLock());
    std::vector<JoystickIdentity> list;
    if (!EnsureJoysticks()) return list;
    int count = SDL_NumJoysticks();
    for (int id = 0; id < count; ++id) {
        SDL_Joystick* joystick = JoystickAt(UINT(id));
        if (joystick == nullptr) continue;
        JoystickIdentity identity;
        identity.instance = SDL_JoystickInstanceID(joystick);
        if (const char* utf8 = SDL_JoystickName(joystick)) Utf8ToCp1252(utf8, identity.name);
        SDL_JoystickGUID guid = SDL_JoystickGetGUID(joystick);
        std::memcpy(identity.guid.data(), guid.data, identity.guid.size());
        identity.subType = SubTypeOf(SDL_JoystickGetType(joystick));
        identity.axes = SDL_JoystickNumAxes(joystick);
        identity.buttons = SDL_JoystickNumButtons(joystick);
        identity.hats = SDL_JoystickNumHats(joystick);
        list.push_back(std::move(identity));
    }
    return list;
}

bool ReadJoystick(int32_t instance, JoystickSnapshot& snapshot) {
    std::lock_guard<std::mutex> hold(JoystickLock());
    SDL_Joystick* joystick = nullptr;
    for (const OpenJoystick& open : OpenJoysticks())
        if (open.instance == instance) joystick = open.joystick;
    if (joystick == nullptr || !SDL_JoystickGetAttached(joystick)) return false;
    SDL_JoystickUpdate();
    snapshot.axes.resize(size_t(std::max(SDL_JoystickNumAxes(joystick), 0)));
    for (size_t i = 0; i < snapshot.axes.size(); ++i)
        snapshot.axes[i] = SDL_JoystickGetAxis(joystick, int(i));
    snapshot.buttons.resize(size_t(std::max(SDL_JoystickNumButtons(joystick), 0)));
    for (size_t i = 0; i < snapshot.buttons.size(); ++i)
        snapshot.buttons[i] = SDL_JoystickGetButton(joystick, int(i));
    snapshot.hats.resize(size_t(std::max(SDL_JoystickNumHats(joystick), 0)));
    for (size_t i = 0; i < snapshot.hats.size(); ++i)
        snapshot.hats[i] = SDL_JoystickGetHat(joystick, int(i));
    return true;
}

} // namespace platform

UINT joyGetNumDevs() {
    std::lock_guard<std::mutex> hold(JoystickLock());
    return EnsureJoysticks() ? UINT(SDL_NumJoysticks()) : 0;
}

MMRESULT joyGetDevCapsA(UINT id, JOYCAPSA* caps, UINT size) {
    if (caps == nullptr || size < sizeof(JOYCAPSA)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> hold(JoystickLock());
    SDL_Joystick* joystick = JoystickAt(id);
    if (joystick == nullptr) return MMSYSERR_BADDEVICEID;
    std::memset(caps, 0, sizeof *caps);
    caps->wMid = SDL_JoystickGetVendor(joystick);
    caps->wPid = SDL_JoystickGetProduct(joystick);
    std::string name;
    const char* utf8 = SDL_JoystickName(joystick);
    if (utf8 != nullptr) platform::Utf8ToCp1252(utf8, name);
    std::strncpy(caps->szPname, name.c_str(), sizeof caps->szPname - 1);
    int axes = SDL_JoystickNumAxes(joystick);
    if (axes > 6) axes = 6;
    UINT* ranges[6][2] = {{&caps->wXmin, &caps->wXmax}, {&caps->wYmin, &caps->wYmax},
                          {&caps->wZmin, &caps->wZmax}, {&caps->wRmin, &caps->wRmax},
                          {&caps->wUmin, &caps->wUmax}, {&caps->wVmin, &caps->wVmax}};
    for (int axis = 0; axis < axes; ++axis)
        *ranges[axis][1] = 65535;
    constexpr UINT kAxisCaps[6] = {0, 0, JOYCAPS_HASZ, JOYCAPS_HASR, JOYCAPS_HASU, JOYCAPS_HASV};
    for (int axis = 2; axis < axes; ++axis)
        caps->wCaps |= kAxisCaps[axis];
    if (SDL_JoystickNumHats(joystick) > 0) caps->wCaps |= JOYCAPS_HASPOV | JOYCAPS_POV4DIR;
    int buttons = SDL_JoystickNumButtons(joystick);
    caps->wNumButtons = UINT(buttons < 32 ? buttons : 32);
    caps->wMaxButtons = caps->wNumButtons;
    caps->wNumAxes = UINT(axes);
    caps->wMaxAxes = UINT(axes);
    caps->wPeriodMin = 10;
    caps->wPeriodMax = 1000;
    return JOYERR_NOERROR;
}

MMRESULT joyGetPosEx(UINT id, JOYINFOEX* info) {
    if (info == nullptr || info->dwSize < sizeof(JOYINFOEX)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> hold(JoystickLock());
    SDL_Joystick* joystick = JoystickAt(id);
    if (joystick == nullptr) return JOYERR_UNPLUGGED;
    SDL_JoystickUpdate();
    DWORD* positions[6] = {&info->dwXpos, &info->dwYpos, &info->dwZpos,
                           &info->dwRpos, &info->dwUpos, &info->dwVpos};
    int axes = SDL_JoystickNumAxes(joystick);
    for (int axis = 0; axis < 6; ++axis)
        *positions[axis] = axis < axes ? Position(SDL_JoystickGetAxis(joystick, axis)) : 0;
    info->dwButtons = 0;
    info->dwButtonNumber = 0;
    int buttons = SDL_JoystickNumButtons(joystick);
    for (int button = 0; button < buttons && button < 32; ++button) {
        if (SDL_JoystickGetButton(joystick, button) != 0) {
            info->dwButtons |= DWORD(1) << button;
            ++info->dwButtonNumber;
        }
    }
    info->dwPOV = SDL_JoystickNumHats(joystick) > 0 ? HatAngle(SDL_JoystickGetHat(joystick, 0))
                                                    : JOY_POVCENTERED;
    return JOYERR_NOERROR;
}

MMRESULT joyGetPos(UINT id, JOYINFO* info) {
    if (info == nullptr) return MMSYSERR_INVALPARAM;
    JOYINFOEX full{};
    full.dwSize = sizeof full;
    full.dwFlags = JOY_RETURNALL;
    MMRESULT result = joyGetPosEx(id, &full);
    if (result != JOYERR_NOERROR) return result;
    info->wXpos = full.dwXpos;
    info->wYpos = full.dwYpos;
    info->wZpos = full.dwZpos;
    info->wButtons = full.dwButtons & 0xF;
    return JOYERR_NOERROR;
}

MMRESULT joySetCapture(HWND window, UINT id, UINT, BOOL) {
    if (window == 0) return JOYERR_PARMS;
    std::lock_guard<std::mutex> hold(JoystickLock());
    return JoystickAt(id) != nullptr ? JOYERR_NOERROR : JOYERR_UNPLUGGED;
}

MMRESULT joyReleaseCapture(UINT) {
    return JOYERR_NOERROR;
}

int GetKeyboardType(int typeFlag) {
    switch (typeFlag) {
    case 0:
        return 4;
    case 1:
        return 0;
    case 2:
        return 12;
    default:
        return 0;
    }
}

namespace platform::test {

int AttachVirtualJoystick(int axes, int buttons, int hats, const char* name) {
    std::lock_guard<std::mutex> hold(JoystickLock());
    if (!EnsureJoysticks()) return -1;
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = Uint16(axes);
    desc.nbuttons = Uint16(buttons);
    desc.nhats = Uint16(hats);
    desc.name = name;
    int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) return -1;
    VirtualJoysticks().push_back(SDL_JoystickGetDeviceInstanceID(index));
    return JoystickAt(UINT(index)) != nullptr ? index : -1;
}

void SetVirtualJoystickAxis(int id, int axis, int value) {
    std::lock_guard<std::mutex> hold(JoystickLock());
    if (SDL_Joystick* joystick = VirtualAt(id))
        SDL_JoystickSetVirtualAxis(joystick, axis, Sint16(value));
}

void SetVirtualJoystickButton(int id, int button, bool down) {
    std::lock_guard<std::mutex> hold(JoystickLock());
    if (SDL_Joystick* joystick = VirtualAt(id))
        SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0);
}

void SetVirtualJoystickHat(int id, int hat, int bits) {
    std::lock_guard<std::mutex> hold(JoystickLock());
    if (SDL_Joystick* joystick = VirtualAt(id))
        SDL_JoystickSetVirtualHat(joystick, hat, Uint8(bits));
}

void DetachVirtualJoysticks() {
    std::lock_guard<std::mutex> hold(JoystickLock());
    for (SDL_JoystickID instance : VirtualJoysticks()) {
        std::vector<OpenJoystick>& open = OpenJoysticks();
        for (size_t i = 0; i < open.size(); ++i) {
            if (open[i].instance == instance) {
                SDL_JoystickClose(open[i].joystick);
                open.erase(open.begin() + long(i));
                break;
            }
        }
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == instance) {
                SDL_JoystickDetachVirtual(index);
                break;
            }
        }
    }
    VirtualJoysticks().clear();
}

} // namespace platform::test
