// Hooks for tests that watch windows: message boxes recorded instead of shown, and the
// pixels a window shows. Production code never calls these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/user/hwnd.h"

namespace platform::test {

struct RecordedMessageBox {
    HWND owner;
    std::string caption; // as given, Windows-1252
    std::string text;
    UINT type;
};

// While recording, MessageBoxA writes nothing and keeps every box for the test.
void RecordMessageBoxes(bool record);
std::vector<RecordedMessageBox> RecordedMessageBoxes();
void ClearRecordedMessageBoxes();
// The answer of every following box; 0 goes back to the first button of each box.
void SetMessageBoxAnswer(int answer);

// A window's client area as its top-level window's framebuffer holds it, rows top first,
// 0x00RRGGBB (whatever covers the window included); what lies outside the framebuffer
// reads as 0. False for a window that does not exist.
bool ReadWindowPixels(HWND window, std::vector<uint32_t>& pixels, int& width, int& height);

} // namespace platform::test
