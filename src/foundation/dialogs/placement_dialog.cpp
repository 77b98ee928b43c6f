#include "foundation/dialogs/placement_dialog.h"

#include <algorithm>

#include "platform/system/system_info.h"

namespace {

constexpr REGSAM kReadWrite = 0x2001F;

// Sizes are unsigned 16-bit values; coordinates signed, so windows left of or above the
// primary display keep their place.
uint16_t Size(DWORD value) {
    return static_cast<uint16_t>(value);
}

LONG Coordinate(DWORD value) {
    return static_cast<int16_t>(value);
}

DWORD Read(HKEY key, const char* name, DWORD defaultValue) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    LONG result =
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    return result == ERROR_SUCCESS && size == sizeof(value) ? value : defaultValue;
}

bool Write(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

// A key opened for reading only, so that looking for a placement never creates its key.
class ReadKey {
public:
    ReadKey(HKEY root, const char* path) {
        if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS) key_ = 0;
    }
    ~ReadKey() {
        if (key_ != 0) RegCloseKey(key_);
    }
    ReadKey(const ReadKey&) = delete;
    ReadKey& operator=(const ReadKey&) = delete;

    DWORD Value(const char* name, DWORD defaultValue) const {
        return key_ != 0 ? Read(key_, name, defaultValue) : defaultValue;
    }

private:
    HKEY key_ = 0;
};

} // namespace

PlacementDialog::PlacementDialog(HKEY rootKey, bool save) : rootKey_(rootKey), save_(save) {}

HKEY PlacementDialog::OpenKey(const char* keyPath) {
    HKEY key = 0;
    if (RegCreateKeyExA(rootKey_, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, kReadWrite, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return 0;
    }
    return key;
}

DWORD PlacementDialog::ReadValue(const char* keyPath, const char* name, DWORD defaultValue) {
    return ReadKey(rootKey_, keyPath).Value(name, defaultValue);
}

int PlacementDialog::WriteValue(const char* keyPath, const char* name, DWORD value) {
    HKEY key = OpenKey(keyPath);
    if (key == 0) return 0;
    bool written = Write(key, name, value);
    RegCloseKey(key);
    return written ? 1 : 0;
}

int PlacementDialog::RestorePlacement(const char* keyPath, HWND window) {
    if (rootKey_ == 0) return 1;
    keyPath_ = keyPath != nullptr ? keyPath : "";
    window_ = window;
    screenWidth_ = Size(GetSystemMetrics(SM_CXSCREEN));
    screenHeight_ = Size(GetSystemMetrics(SM_CYSCREEN));
    clientRect_.Set(0, 0, 0, 0);
    GetClientRect(window, &clientRect_);

    ReadKey stored(rootKey_, keyPath_.c_str());
    if (Size(stored.Value("ScreenWidth", 0)) != screenWidth_ ||
        Size(stored.Value("ScreenHeight", 0)) != screenHeight_) {
        return 1;
    }
    uint16_t clientWidth = Size(stored.Value("InitDefaultWidth", 0));
    uint16_t clientHeight = Size(stored.Value("InitDefaultHeight", 0));
    if (clientWidth == 0 || clientWidth != Size(clientRect_.Width()) ||
        clientHeight != Size(clientRect_.Height())) {
        return 1;
    }
    uint16_t width = Size(stored.Value("Width", 0));
    if (width == 0) return 1;
    uint16_t height = Size(stored.Value("Height", 0));

    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement)) return 1;
    CRectangle normal = placement.rcNormalPosition;
    normal.Normalize();
    // What is missing from the key stays as the window has it.
    normal.SetXYWH(Coordinate(stored.Value("Left", normal.left)),
                   Coordinate(stored.Value("Top", normal.top)),
                   std::max<LONG>(width, normal.Width()), std::max<LONG>(height, normal.Height()));
    placement.rcNormalPosition = normal;
    placement.flags = Size(stored.Value("Flags", placement.flags));
    placement.showCmd = Size(stored.Value("ShowCmd", placement.showCmd));
    placement.ptMinPosition = {Coordinate(stored.Value("MinX", placement.ptMinPosition.x)),
                               Coordinate(stored.Value("MinY", placement.ptMinPosition.y))};
    placement.ptMaxPosition = {Coordinate(stored.Value("MaxX", placement.ptMaxPosition.x)),
                               Coordinate(stored.Value("MaxY", placement.ptMaxPosition.y))};
    SetWindowPlacement(window, &placement);
    return 1;
}

int PlacementDialog::SavePlacement() {
    if (rootKey_ == 0 || !save_) return 0;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window_, &placement)) return 0;
    CRectangle normal = placement.rcNormalPosition;
    normal.Normalize();
    const struct {
        const char* name;
        LONG value;
    } values[] = {
        {"ScreenWidth", screenWidth_},
        {"ScreenHeight", screenHeight_},
        {"InitDefaultWidth", clientRect_.Width()},
        {"InitDefaultHeight", clientRect_.Height()},
        {"Width", normal.Width()},
        {"Height", normal.Height()},
        {"Left", normal.left},
        {"Top", normal.top},
        {"Flags", static_cast<LONG>(placement.flags)},
        {"ShowCmd", static_cast<LONG>(placement.showCmd)},
        {"MinX", placement.ptMinPosition.x},
        {"MinY", placement.ptMinPosition.y},
        {"MaxX", placement.ptMaxPosition.x},
        {"MaxY", placement.ptMaxPosition.y},
    };
    HKEY key = OpenKey(keyPath_.c_str());
    if (key == 0) return 0;
    bool written = std::all_of(std::begin(values), std::end(values), [key](const auto& entry) {
        return Write(key, entry.name, static_cast<DWORD>(entry.value));
    });
    RegCloseKey(key);
    return written ? 1 : 0;
}
