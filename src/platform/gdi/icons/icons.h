// Icons and image cursors: made from a mask and a colour bitmap (CreateIconIndirect),
// read back (GetIconInfo), drawn (DrawIconEx), and the built-in images: the application
// icon that IDI_APPLICATION and the program's icon 100 give, the message-box icons, and
// the pointers SDL has no
// likeness of (IDC_UPARROW, IDC_HELP).
//
// An icon's pixel is the destination ANDed with the mask and XORed with the colour, as
// on Windows; a 32-bit colour bitmap with any alpha is blended by its alpha instead. A
// monochrome icon's mask bitmap holds the AND rows over the XOR rows.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/input/cursor.h"

struct ICONINFO {
    BOOL fIcon; // FALSE: a cursor with its hot spot here
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor; // 0: a monochrome icon
};

inline const LPCSTR IDI_APPLICATION = MAKEINTRESOURCEA(32512);
inline const LPCSTR IDI_HAND = MAKEINTRESOURCEA(32513);
inline const LPCSTR IDI_QUESTION = MAKEINTRESOURCEA(32514);
inline const LPCSTR IDI_EXCLAMATION = MAKEINTRESOURCEA(32515);
inline const LPCSTR IDI_ASTERISK = MAKEINTRESOURCEA(32516);
inline const LPCSTR IDI_ERROR = IDI_HAND;
inline const LPCSTR IDI_WARNING = IDI_EXCLAMATION;
inline const LPCSTR IDI_INFORMATION = IDI_ASTERISK;

inline constexpr UINT IMAGE_BITMAP = 0;
inline constexpr UINT IMAGE_ICON = 1;
inline constexpr UINT IMAGE_CURSOR = 2;

inline constexpr UINT DI_MASK = 0x0001;
inline constexpr UINT DI_IMAGE = 0x0002;
inline constexpr UINT DI_NORMAL = 0x0003;
inline constexpr UINT DI_DEFAULTSIZE = 0x0008;

inline constexpr DWORD ERROR_INVALID_ICON_HANDLE = 1414;

// Copies the bitmaps (the caller keeps its own). 0 with ERROR_INVALID_PARAMETER without a
// mask, or with a mask smaller than the colour bitmap.
HICON CreateIconIndirect(const ICONINFO* info);
// New bitmaps the caller deletes: the mask (1 bit, twice as high for a monochrome icon)
// and the colour (32 bits, 0xAARRGGBB) unless monochrome. An icon's hot spot is its
// centre.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
// FALSE with ERROR_INVALID_ICON_HANDLE for what is no icon; built-in icons stay.
BOOL DestroyIcon(HICON icon);
// The icon at (x, y) stretched to width x height (0: its own size, or the system's with
// DI_DEFAULTSIZE); DI_MASK and DI_IMAGE alone draw that part only. `step` and `brush`
// are not used.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH brush,
                UINT flags);
// IDI_APPLICATION (instance 0) and icon 100 of the program (any instance) give the
// built-in application icon, IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION and IDI_ASTERISK
// (instance 0) the message-box icons; anything else 0 with ERROR_RESOURCE_NAME_NOT_FOUND.
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
// IMAGE_ICON as LoadIconA, IMAGE_CURSOR as LoadCursorA, whatever the size and flags;
// other kinds are refused (ERROR_RESOURCE_TYPE_NOT_FOUND).
HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags);

inline constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;

namespace platform {

// An image as a display shows it: 0xAARRGGBB, rows top first.
struct IconImage {
    int width = 0;
    int height = 0;
    POINT hotspot{};
    std::vector<uint32_t> pixels;
    uint64_t serial = 0; // the same for the same image, never reused
};

bool IsIconHandle(HICON icon);
bool GetIconImage(HICON icon, IconImage& image);
// The image of a system cursor shape (an IDC_ number) that has one.
bool SystemCursorImage(uint32_t shape, IconImage& image);
// The icon a window shows: WM_SETICON's big one, else its small one, else its class's.
HICON WindowIcon(HWND window);

} // namespace platform

namespace platform::test {

// The image of the cursor the display shows now; false for a system shape without one,
// or none.
bool ShownCursorImage(IconImage& image);

} // namespace platform::test
