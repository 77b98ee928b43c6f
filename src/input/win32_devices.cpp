#include "input/win32_devices.h"

#include "platform/input/joystick.h"
#include "platform/system/system_info.h"
#include "platform/user/input/cursor.h"
#include "platform/user/input/input.h"
#include "platform/user/windows.h"

namespace {

// What both reads of a joystick need: all positions and the buttons.
JOYINFOEX ReadJoystick(uint32_t id, DWORD flags) {
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = flags;
    joyGetPosEx(id, &info);
    return info;
}

} // namespace

// ---- Mouse ---------------------------------------------------------------------------

MouseDevice::~MouseDevice() {
    if (cursorHidden_) ShowCursor(TRUE);
}

int MouseDevice::Attach(HWND, int exclusive) {
    exclusive_ = exclusive;
    ShowCursor(FALSE);
    cursorHidden_ = true;
    width_ = GetSystemMetrics(SM_CXSCREEN);
    height_ = GetSystemMetrics(SM_CYSCREEN);
    centreX_ = width_ / 2;
    centreY_ = height_ / 2;
    SetCursorPos(centreX_, centreY_);
    POINT point{};
    GetCursorPos(&point);
    lastX_ = point.x;
    lastY_ = point.y;
    return 1;
}

int32_t MouseDevice::GetAxis(int32_t axis) {
    if (axis != 0 && axis != 1) return 0;
    POINT point{};
    GetCursorPos(&point);
    int32_t moved = axis == 0 ? point.x - lastX_ : point.y - lastY_;
    if (exclusive_ != 0) {
        SetCursorPos(centreX_, centreY_);
        GetCursorPos(&point);
    }
    lastX_ = point.x;
    lastY_ = point.y;
    return moved;
}

void MouseDevice::GetAxisRange(int32_t axis, int32_t& minimum, int32_t& maximum) {
    int32_t half = axis == 0 ? width_ / 2 : axis == 1 ? height_ / 2 : 0;
    minimum = -half;
    maximum = half;
}

int MouseDevice::GetButton(int32_t button) {
    constexpr int kButtons[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    if (button < 0 || button > 2) return 0;
    return GetKeyState(kButtons[button]) < 0 ? 1 : 0;
}

// ---- Keyboard ------------------------------------------------------------------------

int KeyboardDevice::GetButton(int32_t code) {
    return GetAsyncKeyState(code) < 0 ? 1 : 0;
}

int KeyboardDevice::IsToggleButton(int32_t code) {
    UINT mapped = MapVirtualKeyA(UINT(code), MAPVK_VSC_TO_VK_EX);
    if (mapped == 0) mapped = UINT(code);
    return mapped == UINT(VK_NUMLOCK) ? 1 : 0;
}

// ---- Joystick ------------------------------------------------------------------------

JoystickDevice::~JoystickDevice() {
    if (capture_ != 0 && captureWindow_ != 0 && IsWindow(captureWindow_))
        joyReleaseCapture(joystickId_);
}

int JoystickDevice::Attach(HWND window, int capture) {
    captureWindow_ = 0;
    capture_ = capture;
    if (capture == 0) return 1;
    JOYCAPSA caps{};
    if (joyGetDevCapsA(joystickId_, &caps, sizeof caps) != JOYERR_NOERROR) return 0;
    captureWindow_ = window;
    return joySetCapture(window, joystickId_, caps.wPeriodMin, TRUE) == JOYERR_NOERROR ? 1 : 0;
}

int32_t JoystickDevice::GetAxisCount() {
    JOYCAPSA caps{};
    joyGetDevCapsA(joystickId_, &caps, sizeof caps);
    return int32_t(caps.wMaxAxes);
}

int32_t JoystickDevice::GetButtonCount() {
    JOYCAPSA caps{};
    joyGetDevCapsA(joystickId_, &caps, sizeof caps);
    return int32_t(caps.wMaxButtons);
}

int32_t JoystickDevice::GetPovCount() {
    JOYCAPSA caps{};
    joyGetDevCapsA(joystickId_, &caps, sizeof caps);
    return (caps.wCaps & JOYCAPS_HASPOV) != 0 ? 1 : 0;
}

int JoystickDevice::GetButton(int32_t button) {
    if (button < 0 || button > 31) return 0;
    return (ReadJoystick(joystickId_, JOY_RETURNALL).dwButtons >> button) & 1;
}

uint32_t JoystickDevice::GetPov(int32_t) {
    return ReadJoystick(joystickId_, JOY_RETURNALL).dwPOV;
}

void JoystickDevice::GetAxisRange(int32_t axis, int32_t& minimum, int32_t& maximum) {
    JOYCAPSA caps{};
    joyGetDevCapsA(joystickId_, &caps, sizeof caps);
    const UINT ranges[5][2] = {{caps.wXmin, caps.wXmax},
                               {caps.wYmin, caps.wYmax},
                               {caps.wZmin, caps.wZmax},
                               {caps.wUmin, caps.wUmax},
                               {caps.wVmin, caps.wVmax}};
    if (axis < 0 || axis > 4) {
        minimum = 0;
        maximum = 0;
        return;
    }
    minimum = int32_t(ranges[axis][0]);
    maximum = int32_t(ranges[axis][1]);
}

int32_t JoystickDevice::GetAxis(int32_t axis) {
    JOYINFOEX info = ReadJoystick(joystickId_, JOY_RETURNALL | JOY_RETURNCENTERED);
    switch (axis) {
    case 0:
        return int32_t(info.dwXpos);
    case 1:
        return int32_t(info.dwYpos);
    case 2:
        return int32_t(info.dwZpos);
    case 3:
        return int32_t(info.dwUpos);
    case 4:
        return int32_t(info.dwVpos);
    default:
        return 0;
    }
}
