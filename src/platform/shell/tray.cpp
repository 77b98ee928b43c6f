#include "platform/shell/tray.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/gdi/dc_state.h"
#include "platform/gdi/icons/icons.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/errors.h"
#include "platform/user/input/input.h"
#include "platform/user/messages.h"

namespace {

struct LastClick {
    UINT button = 0;
    DWORD time = 0;
};

struct Entry {
    platform::TrayEntry shown;
    LastClick lastClick;
};

struct Tray {
    std::mutex mutex;
    std::vector<Entry> entries;
    std::function<void()> listener;
};

Tray& TheTray() {
    static auto* tray = new Tray;
    return *tray;
}

Entry* Find(Tray& tray, HWND window, UINT id) {
    for (Entry& entry : tray.entries)
        if (entry.shown.window == window && entry.shown.id == id) return &entry;
    return nullptr;
}

// A bitmap's pixels as 32-bit values, rows top first; empty on failure.
std::vector<uint32_t> ReadPixels(HBITMAP bitmap, int width, int height) {
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(0);
    const int lines = GetDIBits(dc, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (lines != height) pixels.clear();
    return pixels;
}

// The icon at the tray's size, ARGB: its own alpha when it has any, else opaque where
// the mask is clear. Empty when the icon cannot be read.
std::vector<uint32_t> IconPixels(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {};
    BITMAP mask{};
    std::vector<uint32_t> colour;
    std::vector<uint32_t> andMask;
    int width = 0;
    int height = 0;
    if (GetObjectA(info.hbmMask, sizeof mask, &mask) != 0 && mask.bmWidth > 0) {
        width = mask.bmWidth;
        height = info.hbmColor != 0 ? mask.bmHeight : mask.bmHeight / 2;
        andMask = ReadPixels(info.hbmMask, width, mask.bmHeight);
        colour = info.hbmColor != 0
                     ? ReadPixels(info.hbmColor, width, height)
                     : std::vector<uint32_t>(andMask.begin() + width * height, andMask.end());
    }
    DeleteObject(info.hbmMask);
    if (info.hbmColor != 0) DeleteObject(info.hbmColor);
    if (height <= 0 || colour.size() != size_t(width) * size_t(height) ||
        andMask.size() < colour.size())
        return {};
    const bool hasAlpha =
        std::any_of(colour.begin(), colour.end(), [](uint32_t p) { return (p >> 24) != 0; });
    std::vector<uint32_t> pixels(platform::kTrayIconSize * platform::kTrayIconSize);
    for (int y = 0; y < platform::kTrayIconSize; ++y) {
        for (int x = 0; x < platform::kTrayIconSize; ++x) {
            const size_t from = size_t(y * height / platform::kTrayIconSize) * size_t(width) +
                                size_t(x * width / platform::kTrayIconSize);
            const uint32_t rgb = colour[from] & 0xFFFFFF;
            uint32_t alpha = (andMask[from] & 0xFFFFFF) == 0 ? 0xFF : 0;
            if (hasAlpha) alpha = colour[from] >> 24;
            pixels[size_t(y) * platform::kTrayIconSize + size_t(x)] = alpha << 24 | rgb;
        }
    }
    return pixels;
}

void Apply(platform::TrayEntry& entry, const NOTIFYICONDATAA& data) {
    if (data.uFlags & NIF_MESSAGE) entry.callbackMessage = data.uCallbackMessage;
    if (data.uFlags & NIF_TIP)
        entry.tip.assign(data.szTip, strnlen(data.szTip, sizeof data.szTip - 1));
    if (data.uFlags & NIF_ICON)
        entry.pixels = data.hIcon != 0 ? IconPixels(data.hIcon) : std::vector<uint32_t>{};
}

void Tell(Tray& tray) {
    std::function<void()> listener;
    {
        std::lock_guard lock(tray.mutex);
        listener = tray.listener;
    }
    if (listener) listener();
}

} // namespace

BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data) {
    if (data == nullptr || data->cbSize < sizeof(NOTIFYICONDATAA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Tray& tray = TheTray();
    {
        std::lock_guard lock(tray.mutex);
        Entry* entry = Find(tray, data->hWnd, data->uID);
        switch (message) {
        case NIM_ADD:
            if (entry != nullptr || data->hWnd == 0) return FALSE;
            tray.entries.push_back({});
            tray.entries.back().shown.window = data->hWnd;
            tray.entries.back().shown.id = data->uID;
            Apply(tray.entries.back().shown, *data);
            break;
        case NIM_MODIFY:
            if (entry == nullptr) return FALSE;
            Apply(entry->shown, *data);
            break;
        case NIM_DELETE:
            if (entry == nullptr) return FALSE;
            tray.entries.erase(tray.entries.begin() + (entry - tray.entries.data()));
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }
    Tell(tray);
    return TRUE;
}

namespace platform {

std::vector<TrayEntry> TrayEntries() {
    Tray& tray = TheTray();
    std::lock_guard lock(tray.mutex);
    std::vector<TrayEntry> entries;
    for (const Entry& entry : tray.entries)
        entries.push_back(entry.shown);
    return entries;
}

bool PostTrayMouseMessage(HWND window, UINT id, UINT mouseMessage) {
    Tray& tray = TheTray();
    UINT callback = 0;
    {
        std::lock_guard lock(tray.mutex);
        Entry* entry = Find(tray, window, id);
        if (entry == nullptr) return false;
        callback = entry->shown.callbackMessage;
    }
    // An entry without a callback message asked for no notices.
    return callback == 0 || PostMessageA(window, callback, id, LPARAM(mouseMessage)) != 0;
}

bool ClickTrayEntry(HWND window, UINT id, UINT buttonDown) {
    UINT first = buttonDown;
    {
        Tray& tray = TheTray();
        std::lock_guard lock(tray.mutex);
        Entry* entry = Find(tray, window, id);
        if (entry == nullptr) return false;
        const DWORD now = GetTickCount();
        LastClick& last = entry->lastClick;
        if (last.button == buttonDown && now - last.time <= GetDoubleClickTime()) {
            // WM_xBUTTONDBLCLK follows WM_xBUTTONDOWN by two for every button.
            first = buttonDown + 2;
            last.button = 0;
        } else {
            last.button = buttonDown;
            last.time = now;
        }
    }
    return PostTrayMouseMessage(window, id, first) &&
           PostTrayMouseMessage(window, id, buttonDown + 1);
}

void SetTrayListener(std::function<void()> listener) {
    Tray& tray = TheTray();
    std::lock_guard lock(tray.mutex);
    tray.listener = std::move(listener);
}

} // namespace platform
