// The shell's folder picker, opened on a folder of the caller's choice.
#pragma once

#include "platform/user/dialogs/folder_browser.h"

class CFolderBrowser {
public:
    // Keeps at most MAX_PATH characters of `initialFolder` (null: none), without
    // trailing "\". COM stays initialised on the calling thread while the object lives.
    CFolderBrowser(const char* initialFolder, HWND owner);
    ~CFolderBrowser();
    CFolderBrowser(const CFolderBrowser&) = delete;
    CFolderBrowser& operator=(const CFolderBrowser&) = delete;

    // 1 when the user chose a folder, now the object's path; 2 otherwise, path unchanged.
    // `title` (at most 300 characters are shown) may be null for the standard one.
    int BrowseForFolder(const char* title);

    const char* GetPath() const { return path_; }

private:
    char path_[MAX_PATH + 1];
    HWND owner_;
    bool comInitialized_;
};
