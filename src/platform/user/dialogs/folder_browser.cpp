#include "platform/user/dialogs/folder_browser.h"
#include "platform/controls/dialogs/drawn_dialog.h"
#include "platform/controls/dialogs/drawn_dialogs.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/kernel/errors.h"

namespace {

std::mutex providerMutex;
std::shared_ptr<platform::FolderPickerProvider> provider;

// Open pickers by window, so messages sent to a picker window reach it.
std::mutex pickersMutex;
std::vector<std::pair<HWND, platform::FolderPickerDialog*>> openPickers;
std::atomic<uint32_t> pickersOpened{0};

// Numbered from FIRST_PICKER_WINDOW, short of INVALID_HANDLE_VALUE.
HWND NewPickerWindow() {
    return platform::FIRST_PICKER_WINDOW + pickersOpened.fetch_add(1) % 0xFFFFu;
}

class OpenPicker {
public:
    explicit OpenPicker(platform::FolderPickerDialog& dialog) : window(dialog.Window()) {
        std::lock_guard lock(pickersMutex);
        openPickers.emplace_back(window, &dialog);
    }
    ~OpenPicker() {
        std::lock_guard lock(pickersMutex);
        std::erase_if(openPickers, [this](const auto& open) { return open.first == window; });
    }
    OpenPicker(const OpenPicker&) = delete;
    OpenPicker& operator=(const OpenPicker&) = delete;

private:
    HWND window;
};

// An item list is the folder's Windows path and its zero, in a block of its own.
LPITEMIDLIST NewItemList(const std::string& folder) {
    void* block = std::malloc(folder.size() + 1);
    if (block == nullptr) return nullptr;
    std::memcpy(block, folder.c_str(), folder.size() + 1);
    return static_cast<LPITEMIDLIST>(block);
}

const char* PathOf(LPCITEMIDLIST itemList) {
    return reinterpret_cast<const char*>(itemList);
}

// The last component of the folder, or the folder itself when it is a root.
std::string DisplayName(const std::string& folder) {
    std::string trimmed = folder.substr(0, folder.find_last_not_of('\\') + 1);
    std::string name = trimmed.substr(trimmed.find_last_of('\\') + 1);
    return name.empty() || name.back() == ':' ? folder : name;
}

void CopyBounded(char* destination, const std::string& text) {
    size_t length = std::min<size_t>(text.size(), MAX_PATH - 1);
    std::memcpy(destination, text.data(), length);
    destination[length] = '\0';
}

} // namespace

LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA* browseInfo) {
    if (browseInfo == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::shared_ptr<platform::FolderPickerProvider> current;
    {
        std::lock_guard lock(providerMutex);
        current = provider;
    }
    if (current == nullptr && platform::DrawsDialogs()) current = platform::DrawnFolderPicker();
    if (current == nullptr) return nullptr;

    platform::FolderPickerDialog dialog(NewPickerWindow(), *browseInfo);
    std::string folder;
    {
        OpenPicker open(dialog);
        if (!current->Browse(dialog, folder)) return nullptr;
    }
    LPITEMIDLIST itemList = NewItemList(folder);
    if (itemList == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (browseInfo->pszDisplayName != nullptr) {
        CopyBounded(browseInfo->pszDisplayName, DisplayName(folder));
    }
    browseInfo->iImage = 0;
    return itemList;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST itemList, LPSTR path) {
    if (path == nullptr) return FALSE;
    path[0] = '\0';
    if (itemList == nullptr) return FALSE;
    size_t length = std::strlen(PathOf(itemList));
    if (length == 0 || length >= MAX_PATH) return FALSE;
    std::memcpy(path, PathOf(itemList), length + 1);
    return TRUE;
}

void CoTaskMemFree(LPVOID memory) {
    std::free(memory);
}

namespace platform {

FolderPickerDialog::FolderPickerDialog(HWND window, const BROWSEINFOA& request)
    : window(window), request(request),
      title(request.lpszTitle != nullptr ? request.lpszTitle : "") {}

void FolderPickerDialog::Initialized() {
    Notify(BFFM_INITIALIZED, 0);
}

void FolderPickerDialog::SelectionChanged(const std::string& folder) {
    LPITEMIDLIST itemList = NewItemList(folder);
    if (itemList == nullptr) return;
    Notify(BFFM_SELCHANGED, reinterpret_cast<LPARAM>(itemList));
    CoTaskMemFree(itemList);
}

void FolderPickerDialog::Notify(UINT message, LPARAM lParam) {
    if (request.lpfn != nullptr) request.lpfn(window, message, lParam, request.lParam);
}

LRESULT FolderPickerDialog::Receive(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BFFM_SETSELECTIONA) {
        const char* path = wParam != 0 ? reinterpret_cast<const char*>(lParam)
                                       : PathOf(reinterpret_cast<LPCITEMIDLIST>(lParam));
        selection = path != nullptr ? path : "";
    } else if (message == BFFM_ENABLEOK) {
        okEnabled = lParam != 0;
    }
    return 0;
}

void SetFolderPickerProvider(std::shared_ptr<FolderPickerProvider> newProvider) {
    std::lock_guard lock(providerMutex);
    provider = std::move(newProvider);
}

bool SendFolderPickerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result) {
    std::lock_guard lock(pickersMutex);
    auto open = std::find_if(openPickers.begin(), openPickers.end(),
                             [window](const auto& picker) { return picker.first == window; });
    if (open == openPickers.end()) return false;
    result = open->second->Receive(message, wParam, lParam);
    return true;
}

} // namespace platform

bool platform::test::ScriptedFolderPicker::Browse(FolderPickerDialog& dialog, std::string& folder) {
    ++calls;
    title = dialog.Title();
    dialog.Initialized();
    initialSelection = dialog.Selection();
    okEnabledAtStart = dialog.OkEnabled();
    if (!answer) return false;
    dialog.SelectionChanged(*answer);
    if (!dialog.OkEnabled()) return false;
    folder = *answer;
    return true;
}
