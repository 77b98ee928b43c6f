// A dialog that comes back where the user left it. Its window placement is kept under a
// registry key, as DWORD values of which the low 16 bits count, and is restored only on
// a display of the size it was saved on and for a dialog whose client area has kept its
// size; a restored window is never smaller than the dialog is made.
#pragma once

#include <string>

#include "foundation/containers/rectangle.h"
#include "platform/registry/registry.h"

class PlacementDialog {
public:
    // `rootKey` is an open key the placements are kept under; 0 turns the feature off.
    // Placements are written back only when `save` is set.
    PlacementDialog(HKEY rootKey, bool save);

    // Creates or opens `keyPath` under the root for reading and writing; 0 on failure.
    // The caller closes the key.
    HKEY OpenKey(const char* keyPath);
    // A 4-byte value, or `defaultValue` when the key or the value cannot be read.
    DWORD ReadValue(const char* keyPath, const char* name, DWORD defaultValue);
    int WriteValue(const char* keyPath, const char* name, DWORD value);

    // Remembers the key and the window for SavePlacement and gives the window its saved
    // placement when that still fits. Always 1.
    int RestorePlacement(const char* keyPath, HWND window);
    // 1 when the window's placement was written; 0 when the feature is off, saving is
    // not asked for, the window is gone or a value cannot be written.
    int SavePlacement();

private:
    HKEY rootKey_;
    std::string keyPath_;
    // The display and the client area seen when the placement was restored.
    uint16_t screenWidth_ = 0;
    uint16_t screenHeight_ = 0;
    CRectangle clientRect_ = RECT{0, 0, 0, 0};
    HWND window_ = 0;
    bool save_;
};
