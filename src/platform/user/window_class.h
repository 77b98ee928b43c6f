// Window classes: the procedure, styles, extra bytes, cursor and brush that windows of a
// class share. Class names are compared without regard to case; a class can also be
// named by the atom RegisterClassA returned (MAKEINTATOM). Classes belong to the process,
// whatever the instance handle says.
#pragma once

#include <memory>
#include <string>

#include "platform/user/atoms.h"
#include "platform/user/hwnd.h"
#include "platform/user/messages.h"
#include "platform/kernel/win_types.h"

inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_DBLCLKS = 0x0008;
inline constexpr UINT CS_OWNDC = 0x0020;
inline constexpr UINT CS_CLASSDC = 0x0040;
inline constexpr UINT CS_PARENTDC = 0x0080;
inline constexpr UINT CS_NOCLOSE = 0x0200;
inline constexpr UINT CS_SAVEBITS = 0x0800;
inline constexpr UINT CS_GLOBALCLASS = 0x4000;

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct WNDCLASSEXA {
    UINT cbSize; // sizeof(WNDCLASSEXA)
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

// 0 with ERROR_INVALID_PARAMETER without a procedure or a text name, with negative extra byte
// counts or more than 4096, or (Ex) a wrong cbSize; ERROR_CLASS_ALREADY_EXISTS for a
// name taken.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);
// ERROR_CLASS_DOES_NOT_EXIST, or ERROR_CLASS_HAS_WINDOWS while a window of it lives.
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
// lpszClassName comes back as given, lpszMenuName points at the class's own copy.
BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* windowClass);
ATOM GetClassInfoExA(HINSTANCE instance, LPCSTR className, WNDCLASSEXA* windowClass);

namespace platform {

struct WindowClass {
    ATOM atom;
    std::string name;
    UINT style;
    WNDPROC procedure;
    int classExtra;
    int windowExtra;
    HINSTANCE instance;
    HICON icon;
    HICON smallIcon;
    HCURSOR cursor;
    HBRUSH background;
    // The menu's name, or its integer resource id when menuIsId.
    std::string menuName;
    uintptr_t menuId;
    bool menuIsId;
    bool hasMenu;
};

// The class a name or atom names, or null with ERROR_CANNOT_FIND_WND_CLASS. Needs the
// window lock (window_table.h).
std::shared_ptr<const WindowClass> FindWindowClassLocked(LPCSTR className);

} // namespace platform
