#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "platform/clipboard/clipboard.h"
#include "platform/clipboard/clipboard_dib.h"
#include "platform/clipboard/clipboard_picture.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/threads.h"

namespace {

struct Store {
    std::mutex mutex;
    DWORD openThread = 0;
    std::map<UINT, HANDLE> entries;
    std::vector<std::string> names;
    platform::DesktopClipboard* desktop = nullptr;
    // The desktop's text and picture as we last gave or took them: any other there was
    // copied by another program since.
    std::optional<std::string> desktopText;
    std::optional<std::vector<uint8_t>> desktopPicture;
};

Store& TheStore() {
    static auto* store = new Store;
    return *store;
}

void FreeEntry(UINT format, HANDLE data) {
    if (format == CF_BITMAP)
        DeleteObject(data);
    else
        GlobalFree(data);
}

void EmptyStore(Store& store) {
    for (const auto& [format, data] : store.entries)
        FreeEntry(format, data);
    store.entries.clear();
}

// The text of a CF_TEXT block: up to its zero byte, never past the block.
std::optional<std::string> BlockText(HGLOBAL block) {
    const auto* bytes = static_cast<const char*>(GlobalLock(block));
    if (bytes == nullptr) return std::nullopt;
    const size_t size = GlobalSize(block);
    const void* end = std::memchr(bytes, 0, size);
    std::string text(bytes, end != nullptr ? static_cast<const char*>(end) - bytes : size);
    GlobalUnlock(block);
    return text;
}

HGLOBAL TextBlock(const std::string& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
    auto* bytes = static_cast<char*>(GlobalLock(block));
    if (bytes == nullptr) {
        GlobalFree(block);
        return 0;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    return block;
}

// Inside, lines end in CR LF, and a rich edit's paragraphs in CR alone; outside, in LF alone.
std::string ToDesktop(const std::string& text) {
    std::string lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            lines += text[i];
        else if (i + 1 >= text.size() || text[i + 1] != '\n')
            lines += '\n';
    }
    return platform::Cp1252ToUtf8(lines);
}

std::string FromDesktop(const std::string& utf8) {
    std::string text;
    platform::Utf8ToCp1252(utf8, text);
    std::string lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) lines += '\r';
        lines += text[i];
    }
    return lines;
}

// The store's picture as a PNG file; empty without one.
std::vector<uint8_t> PictureOf(Store& store) {
    auto dib = store.entries.find(CF_DIB);
    if (dib != store.entries.end()) return platform::PngFromPackedDib(dib->second);
    auto bitmap = store.entries.find(CF_BITMAP);
    if (bitmap == store.entries.end()) return {};
    HGLOBAL made = platform::PackedDibFromBitmap(bitmap->second);
    std::vector<uint8_t> png = platform::PngFromPackedDib(made);
    GlobalFree(made);
    return png;
}

// Offers the desktop the store's text and picture.
void GiveDesktop(Store& store) {
    if (store.desktop == nullptr) return;
    std::optional<std::string> text;
    auto found = store.entries.find(CF_TEXT);
    if (found != store.entries.end()) text = BlockText(found->second);
    if (text) text = ToDesktop(*text);
    std::vector<uint8_t> png = PictureOf(store);
    if (!text && png.empty()) return;
    store.desktopText = text;
    store.desktopPicture = png;
    store.desktop->Put(text, png);
}

// Takes a text, else a picture, another program put on the desktop's clipboard since we
// last looked.
void TakeFromDesktop(Store& store) {
    if (store.desktop == nullptr || store.openThread != 0) return;
    std::optional<std::string> text = store.desktop->Text();
    if (text) {
        if (text->empty() || text == store.desktopText) return;
        HGLOBAL block = TextBlock(FromDesktop(*text));
        if (block == 0) return;
        store.desktopText = std::move(text);
        EmptyStore(store);
        store.entries[CF_TEXT] = block;
        return;
    }
    std::optional<std::vector<uint8_t>> picture = store.desktop->Picture();
    if (!picture || picture == store.desktopPicture) return;
    HGLOBAL dib = platform::PackedDibFromPicture(*picture);
    // A picture we cannot read is not looked at again until another replaces it.
    store.desktopPicture = std::move(picture);
    if (dib == 0) return;
    EmptyStore(store);
    store.entries[CF_DIB] = dib;
}

bool OpenedHere(const Store& store) {
    return store.openThread != 0 && store.openThread == GetCurrentThreadId();
}

void PutEntry(Store& store, UINT format, HANDLE data) {
    auto found = store.entries.find(format);
    if (found != store.entries.end() && found->second != data) FreeEntry(format, found->second);
    store.entries[format] = data;
}

} // namespace

BOOL OpenClipboard(HWND) {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    const DWORD thread = GetCurrentThreadId();
    if (store.openThread != 0 && store.openThread != thread) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    TakeFromDesktop(store);
    store.openThread = thread;
    return TRUE;
}

BOOL CloseClipboard() {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    if (!OpenedHere(store)) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    store.openThread = 0;
    return TRUE;
}

BOOL EmptyClipboard() {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    if (!OpenedHere(store)) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    EmptyStore(store);
    return TRUE;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    TakeFromDesktop(store);
    if (store.entries.count(format) != 0) return TRUE;
    if (format == CF_DIB) return store.entries.count(CF_BITMAP) != 0;
    if (format == CF_BITMAP) return store.entries.count(CF_DIB) != 0;
    return FALSE;
}

HANDLE GetClipboardData(UINT format) {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    if (!OpenedHere(store)) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return 0;
    }
    auto found = store.entries.find(format);
    if (found != store.entries.end()) return found->second;
    HANDLE made = 0;
    if (format == CF_BITMAP && store.entries.count(CF_DIB) != 0)
        made = platform::BitmapFromPackedDib(store.entries[CF_DIB]);
    else if (format == CF_DIB && store.entries.count(CF_BITMAP) != 0)
        made = platform::PackedDibFromBitmap(store.entries[CF_BITMAP]);
    if (made != 0) store.entries[format] = made;
    return made;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    if (!OpenedHere(store) || format == 0 || data == 0) {
        SetLastError(OpenedHere(store) ? ERROR_INVALID_PARAMETER : ERROR_CLIPBOARD_NOT_OPEN);
        return 0;
    }
    // A bitmap or a packed bitmap replaces the copy made from the other.
    if (format == CF_DIB || format == CF_BITMAP) {
        const UINT other = format == CF_DIB ? CF_BITMAP : CF_DIB;
        auto found = store.entries.find(other);
        if (found != store.entries.end()) {
            FreeEntry(other, found->second);
            store.entries.erase(found);
        }
    }
    PutEntry(store, format, data);
    if (format == CF_TEXT || format == CF_DIB || format == CF_BITMAP) GiveDesktop(store);
    return data;
}

UINT RegisterClipboardFormatA(LPCSTR name) {
    if (name == nullptr || name[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    for (size_t i = 0; i < store.names.size(); ++i)
        if (platform::Cp1252EqualNoCase(store.names[i], name))
            return kFirstRegisteredClipboardFormat + UINT(i);
    if (store.names.size() >= 0x4000) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    store.names.emplace_back(name);
    return kFirstRegisteredClipboardFormat + UINT(store.names.size() - 1);
}

namespace platform {

void AttachDesktopClipboard(DesktopClipboard* desktop) {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    store.desktop = desktop;
    store.desktopText.reset();
    store.desktopPicture.reset();
    // The display, and with it the desktop, may come after the script's first put.
    GiveDesktop(store);
}

std::optional<std::string> ReadClipboardText() {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    TakeFromDesktop(store);
    auto found = store.entries.find(CF_TEXT);
    if (found == store.entries.end()) return std::nullopt;
    return BlockText(found->second);
}

void WriteClipboardText(const std::string& text) {
    HGLOBAL block = TextBlock(text);
    if (block == 0) return;
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    EmptyStore(store);
    store.entries[CF_TEXT] = block;
    GiveDesktop(store);
}

void ResetClipboardForTests() {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    EmptyStore(store);
    store.openThread = 0;
    store.desktopText.reset();
    store.desktopPicture.reset();
}

} // namespace platform
