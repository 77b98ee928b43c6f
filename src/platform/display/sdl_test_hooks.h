// Hooks for the SDL display's tests, which run on SDL's offscreen video driver: no screen
// is needed, and the tests push the SDL events a user would make and read back what the
// SDL windows show. No SDL type appears here. Production code never calls these.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/display/display_backend.h"
#include "platform/user/input/input_routing.h"

namespace platform::test {

// An SDL display on the offscreen video driver, whatever the environment names; null
// while SDL's video runs for another display.
std::unique_ptr<DisplayBackend> MakeOffscreenSdlDisplay();

// The size of the SDL window that shows our window; false when none does.
bool SdlWindowSize(HWND window, int& width, int& height);
// The title the SDL window shows, UTF-8.
bool SdlWindowTitle(HWND window, std::string& title);

// Each queues an event for the next pump as SDL would report it; false when the window
// has no SDL window or SDL refuses the event. Points are in the window's client area
// (negative ones reach a menu bar above it), where a scaled full screen picture shows it.
// A key is named as SDL names it ("A", "Return", "Left Shift", "Keypad 4").
bool PushSdlKey(const char* keyName, bool down, bool repeat = false, bool numLock = false);
bool PushSdlText(const char* utf8);
// The virtual key of the key SDL names `keyName` on a layout where it gives the key SDL
// names `layoutKey` ("A" on the key named "Q", "&" on "1"); 0 for unknown names.
int VirtualKeyOnLayout(const char* keyName, const char* layoutKey, bool numLock);
// Move, a button, or Wheel turned by `wheel` (WHEEL_DELTA for one notch away from the
// user; fractions of a notch for a smooth wheel).
bool PushSdlMouse(HWND window, int x, int y, MouseEvent kind, int wheel = 0);
enum class SdlWindowChange {
    Close,
    Resize, // to a x b
    Move,   // to a, b
    Minimize,
    Maximize,
    Restore,
    FocusGained,
    FocusLost,
};
bool PushSdlWindowEvent(HWND window, SdlWindowChange change, int a = 0, int b = 0);
// Files dropped on the window, their names in UTF-8.
bool PushSdlDrop(HWND window, const std::vector<std::string>& files);

// The pixel the SDL window shows at a point of our window's client area (or of what the
// SDL window shows around it; scaled in full screen), 0x00RRGGBB.
bool ReadPresentedPixel(HWND window, int x, int y, uint32_t& pixel);
// The pixel at a point of the SDL window itself.
bool ReadSdlWindowPixel(HWND window, int x, int y, uint32_t& pixel);

} // namespace platform::test
