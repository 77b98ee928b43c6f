#include "platform/user/input/cursor.h"

#include <climits>
#include <iterator>
#include <mutex>

#include "platform/display/display_backend.h"
#include "platform/gdi/icons/icons.h"
#include "platform/kernel/errors.h"
#include "platform/user/atoms.h"
#include "platform/user/input/input_routing.h"

namespace platform {
namespace {

// The system shapes, in the order of their handles.
constexpr WORD kShapes[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                            32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};
constexpr size_t kShapeCount = std::size(kShapes);
// Cursor handles are numbered apart from other objects' so that a brush or window handle
// passed by mistake names no cursor.
constexpr HCURSOR kFirstCursor = 0x00C50001;

HCURSOR HandleOfShape(uintptr_t shape) {
    for (size_t i = 0; i < kShapeCount; ++i)
        if (kShapes[i] == shape) return kFirstCursor + static_cast<HCURSOR>(i);
    return 0;
}

struct CursorGlobals {
    std::mutex lock;
    HCURSOR current = kFirstCursor; // the arrow
    int displayCount = 0;
};

CursorGlobals& Globals() {
    static CursorGlobals globals;
    return globals;
}

HCURSOR ShapeCursor(LPCSTR shape) {
    return HandleOfShape(reinterpret_cast<uintptr_t>(shape));
}

// The cursor of a sizing border, or the arrow.
HCURSOR BorderCursor(LRESULT hit) {
    switch (hit) {
    case HTLEFT:
    case HTRIGHT:
        return ShapeCursor(IDC_SIZEWE);
    case HTTOP:
    case HTBOTTOM:
        return ShapeCursor(IDC_SIZENS);
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return ShapeCursor(IDC_SIZENWSE);
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return ShapeCursor(IDC_SIZENESW);
    default:
        return ShapeCursor(IDC_ARROW);
    }
}

} // namespace

uint32_t CursorShape(HCURSOR cursor) {
    if (cursor < kFirstCursor || cursor - kFirstCursor >= kShapeCount) return 0;
    return kShapes[cursor - kFirstCursor];
}

CursorState CurrentCursor() {
    CursorGlobals& globals = Globals();
    std::lock_guard lock(globals.lock);
    uint32_t shape = CursorShape(globals.current);
    return CursorState{shape, globals.displayCount >= 0, shape == 0 ? globals.current : 0};
}

LRESULT DefaultSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
    auto hit = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam)));
    if (hit != HTCLIENT) {
        SetCursor(BorderCursor(hit));
        return TRUE;
    }
    HCURSOR classCursor = 0;
    {
        std::lock_guard lock(WindowLock());
        // The window under the pointer names the cursor, so that a parent answering for
        // its child shows the child's.
        WindowPtr under = LiveLocked(static_cast<HWND>(wParam));
        if (!under) under = LiveLocked(window);
        if (under) classCursor = under->windowClass->cursor;
    }
    if (classCursor == 0) return FALSE;
    SetCursor(classCursor);
    return TRUE;
}

} // namespace platform

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    HCURSOR cursor = 0;
    if (instance == 0 && platform::IsAtomName(name)) cursor = platform::ShapeCursor(name);
    if (cursor == 0) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return cursor;
}

HCURSOR SetCursor(HCURSOR cursor) {
    if (cursor != 0 && platform::CursorShape(cursor) == 0 && !platform::IsIconHandle(cursor)) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return 0;
    }
    platform::CursorGlobals& globals = platform::Globals();
    std::lock_guard lock(globals.lock);
    HCURSOR previous = globals.current;
    globals.current = cursor;
    return previous;
}

HCURSOR GetCursor() {
    platform::CursorGlobals& globals = platform::Globals();
    std::lock_guard lock(globals.lock);
    return globals.current;
}

int ShowCursor(BOOL show) {
    platform::CursorGlobals& globals = platform::Globals();
    std::lock_guard lock(globals.lock);
    // Kept from overflowing however unbalanced the calls are.
    if (show && globals.displayCount < INT_MAX) ++globals.displayCount;
    if (!show && globals.displayCount > INT_MIN) --globals.displayCount;
    return globals.displayCount;
}

BOOL DestroyCursor(HCURSOR cursor) {
    if (platform::IsIconHandle(cursor)) return DestroyIcon(cursor);
    if (platform::CursorShape(cursor) == 0) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    return TRUE;
}
