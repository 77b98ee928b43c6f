#include "foundation/dialogs/folder_browser.h"

#include <cstring>

#include "platform/files/files.h"
#include "platform/kernel/com.h"
#include "platform/kernel/string_table.h"

namespace {

constexpr UINT kDefaultTitle = 9020;
constexpr size_t kTitleMax = 300;

// Copies at most `max` bytes of `text` and a terminating zero.
void CopyBounded(char* destination, const char* text, size_t max) {
    size_t length = 0;
    while (length < max && text[length] != '\0')
        ++length;
    std::memcpy(destination, text, length);
    destination[length] = '\0';
}

void Send(HWND picker, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    platform::SendFolderPickerMessage(picker, message, wParam, lParam, result);
}

// Whether the process could make `folder` its current directory. The current directory
// is put back: opening a picker must not move the process's relative paths.
bool CanEnter(const char* folder) {
    char saved[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, saved);
    if (length == 0 || length >= MAX_PATH) return false;
    if (!SetCurrentDirectoryA(folder)) return false;
    SetCurrentDirectoryA(saved);
    return true;
}

int PickerCallback(HWND picker, UINT message, LPARAM lParam, LPARAM data) {
    const auto* browser = reinterpret_cast<const CFolderBrowser*>(data);
    if (message == BFFM_INITIALIZED) {
        const char* folder = browser->GetPath();
        bool selected = folder[0] != '\0' && CanEnter(folder);
        if (selected) Send(picker, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder));
        Send(picker, BFFM_ENABLEOK, 0, selected);
    } else if (message == BFFM_SELCHANGED) {
        char path[MAX_PATH];
        BOOL isFolder = SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), path);
        Send(picker, BFFM_ENABLEOK, 0, isFolder);
    }
    return 0;
}

} // namespace

CFolderBrowser::CFolderBrowser(const char* initialFolder, HWND owner) : owner_(owner) {
    CopyBounded(path_, initialFolder != nullptr ? initialFolder : "", MAX_PATH);
    size_t length = std::strlen(path_);
    while (length > 0 && path_[length - 1] == '\\')
        path_[--length] = '\0';
    HRESULT result = CoInitialize(nullptr);
    comInitialized_ = result == S_OK || result == S_FALSE;
}

CFolderBrowser::~CFolderBrowser() {
    if (comInitialized_) CoUninitialize();
}

int CFolderBrowser::BrowseForFolder(const char* title) {
    char text[kTitleMax + 1];
    if (title != nullptr) {
        CopyBounded(text, title, kTitleMax);
    } else if (LoadStringA(0, kDefaultTitle, text, sizeof(text)) == 0) {
        text[0] = '\0';
    }
    BROWSEINFOA request{};
    request.hwndOwner = owner_;
    request.lpszTitle = text;
    request.ulFlags = BIF_NEWDIALOGSTYLE;
    request.lpfn = PickerCallback;
    request.lParam = reinterpret_cast<LPARAM>(this);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&request);
    if (chosen == nullptr) return 2;
    // Only a folder of the file system is an answer; anything else leaves the path as it was.
    char folder[MAX_PATH];
    BOOL isFolder = SHGetPathFromIDListA(chosen, folder);
    CoTaskMemFree(chosen);
    if (!isFolder) return 2;
    std::memcpy(path_, folder, std::strlen(folder) + 1);
    return 1;
}
