// The shell's folder picker. What the user chooses comes from a provider: the display
// back end installs the interactive one, tests a scripted one; with none installed every
// picker is cancelled.
//
// The caller's callback talks to the picker by sending BFFM_ messages to the picker's
// window; SendMessageA hands a message for a picker window to SendFolderPickerMessage.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

inline constexpr UINT BIF_NEWDIALOGSTYLE = 0x40;

// Sent to the callback.
inline constexpr UINT BFFM_INITIALIZED = 1;
inline constexpr UINT BFFM_SELCHANGED = 2;
// Sent by the callback: WM_USER + 101 (lParam non-zero enables OK) and WM_USER + 102
// (wParam TRUE: lParam is a path text; FALSE: an item list).
inline constexpr UINT BFFM_ENABLEOK = 0x400 + 101;
inline constexpr UINT BFFM_SETSELECTIONA = 0x400 + 102;

// An item list is opaque; the only items are folders of the file system (or an item
// with no path, for whatever else a user may select).
struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

using BFFCALLBACK = int (*)(HWND window, UINT message, LPARAM lParam, LPARAM data);

struct BROWSEINFOA {
    HWND hwndOwner;
    LPCITEMIDLIST pidlRoot;
    LPSTR pszDisplayName; // MAX_PATH bytes or null; receives the chosen folder's name
    LPCSTR lpszTitle;
    UINT ulFlags;
    BFFCALLBACK lpfn;
    LPARAM lParam;
    int iImage;
};

// The chosen folder's item list, to be freed with CoTaskMemFree, or null when cancelled.
LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA* browseInfo);
// `path` holds MAX_PATH bytes. FALSE, with an empty path, for an item without a path or
// whose path does not fit.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST itemList, LPSTR path);
// Frees what the shell allocated (item lists).
void CoTaskMemFree(LPVOID memory);

namespace platform {

// One open picker, as its provider sees it.
class FolderPickerDialog {
public:
    FolderPickerDialog(HWND window, const BROWSEINFOA& request);
    FolderPickerDialog(const FolderPickerDialog&) = delete;
    FolderPickerDialog& operator=(const FolderPickerDialog&) = delete;

    HWND Window() const { return window; }
    HWND Owner() const { return request.hwndOwner; }
    UINT Flags() const { return request.ulFlags; }
    const std::string& Title() const { return title; }

    // Tell the caller's callback that the picker is ready, or that the user selected
    // `folder` ("" for an item without a path).
    void Initialized();
    void SelectionChanged(const std::string& folder);

    // What the callback asked for so far: the folder to select ("" when none) and
    // whether OK may be pressed (it may until the callback says otherwise).
    const std::string& Selection() const { return selection; }
    bool OkEnabled() const { return okEnabled; }

    // BFFM_SETSELECTIONA and BFFM_ENABLEOK; other messages are ignored.
    LRESULT Receive(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Notify(UINT message, LPARAM lParam);

    HWND window;
    BROWSEINFOA request;
    std::string title;
    std::string selection;
    bool okEnabled = true;
};

class FolderPickerProvider {
public:
    virtual ~FolderPickerProvider() = default;
    // Runs the picker: true with `folder` (a Windows path) when the user chose one.
    virtual bool Browse(FolderPickerDialog& dialog, std::string& folder) = 0;
};

// Null removes the provider.
void SetFolderPickerProvider(std::shared_ptr<FolderPickerProvider> provider);

// Delivers a message to the open picker whose window is `window`; false when there is
// none. Picker windows are numbered from FIRST_PICKER_WINDOW up (see hwnd.h).
bool SendFolderPickerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result);

} // namespace platform

namespace platform::test {

// Answers every picker with `answer`, or cancels when there is none, after telling the
// callback the picker is ready and then the answer is selected. An answer the callback
// leaves OK disabled for comes back as a cancel, as a user could not confirm it.
class ScriptedFolderPicker : public FolderPickerProvider {
public:
    explicit ScriptedFolderPicker(std::optional<std::string> answer) : answer(std::move(answer)) {}
    bool Browse(FolderPickerDialog& dialog, std::string& folder) override;

    // What the last picker showed.
    int calls = 0;
    std::string title;
    std::string initialSelection;
    bool okEnabledAtStart = false;

private:
    std::optional<std::string> answer;
};

} // namespace platform::test
