#include "platform/controls/dialogs/folder_dialog.h"

#include <vector>

#include "platform/controls/button.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/dialogs/drawn_dialog.h"
#include "platform/controls/dialogs/folder_listing.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_box.h"
#include "platform/controls/static_text.h"
#include "platform/files/files.h"

namespace platform {
namespace {

constexpr int ID_CHOSEN = 100;
constexpr int ID_FOLDERS = 101;
constexpr char UP[] = "..";

class FolderContent : public DialogContent {
public:
    explicit FolderContent(FolderPickerDialog& picker) : picker_(picker) {}

    void Create(HWND dialog) override {
        dialog_ = dialog;
        std::string title = picker_.Title().empty() ? "Choose a folder:" : picker_.Title();
        AddControl(dialog, "STATIC", title.c_str(), SS_LEFT | SS_NOPREFIX, -1, 10, 8, 300, 32);
        AddControl(dialog, "STATIC", "Folder:", SS_LEFT, -1, 10, 46, 48, 16);
        AddControl(dialog, "EDIT", "", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, ID_CHOSEN, 60, 44,
                   250, 20, WS_EX_CLIENTEDGE);
        list_ = AddControl(dialog, "LISTBOX", "",
                           LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP | LBS_NOINTEGRALHEIGHT,
                           ID_FOLDERS, 10, 72, 300, 208, WS_EX_CLIENTEDGE);
        AddControl(dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 154, 292, 75, 23);
        AddControl(dialog, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 235, 292, 75,
                   23);
        char current[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, current);
        Open(current);
        picker_.Initialized();
        FollowCallback();
    }

    HWND InitialFocus(HWND) override { return list_; }

    void Command(HWND dialog, int id, WORD code, HWND) override {
        switch (id) {
        case IDOK:
            if (picker_.OkEnabled() && !selected_.empty()) EndDrawnDialog(dialog, IDOK);
            break;
        case IDCANCEL:
            EndDrawnDialog(dialog, IDCANCEL);
            break;
        case ID_FOLDERS:
            if (code == LBN_SELCHANGE) {
                std::string item = Item();
                Select(item == UP ? shown_ : JoinPath(shown_, item));
            } else if (code == LBN_DBLCLK) {
                std::string item = Item();
                if (!item.empty()) Open(item == UP ? ParentFolder(shown_) : JoinPath(shown_, item));
            }
            break;
        default:
            break;
        }
    }

    const std::string& Selected() const { return selected_; }

private:
    std::string Item() const {
        LRESULT index = SendMessageA(list_, LB_GETCURSEL, 0, 0);
        if (index == LB_ERR) return "";
        char text[MAX_PATH + 1] = {};
        if (SendMessageA(list_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0) > MAX_PATH) return "";
        SendMessageA(list_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return text;
    }

    // Shows the sub-folders of `folder` ("": the drives) and selects it.
    void Open(const std::string& folder) {
        shown_ = FullPath(folder);
        SendMessageA(list_, LB_RESETCONTENT, 0, 0);
        std::vector<std::string> items;
        if (shown_.empty()) {
            items = DriveRoots();
        } else {
            items.push_back(UP);
            for (const std::string& name : ListFolder(shown_, "").folders)
                items.push_back(name);
        }
        for (const std::string& item : items)
            SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        Select(shown_);
    }

    void Select(const std::string& folder) {
        selected_ = folder;
        SetDlgItemTextA(dialog_, ID_CHOSEN, folder.c_str());
        if (!following_) {
            picker_.SelectionChanged(folder);
            FollowCallback();
        }
        EnableWindow(GetDlgItem(dialog_, IDOK), picker_.OkEnabled() && !folder.empty());
    }

    // The callback may have asked for another selection: the picker opens it.
    void FollowCallback() {
        const std::string& wanted = picker_.Selection();
        if (wanted.empty() || wanted == asked_) return;
        asked_ = wanted;
        if (!IsFolder(wanted)) return;
        following_ = true;
        Open(wanted);
        following_ = false;
    }

    FolderPickerDialog& picker_;
    HWND dialog_ = 0;
    HWND list_ = 0;
    std::string shown_;
    std::string selected_;
    std::string asked_;
    bool following_ = false;
};

} // namespace

bool RunFolderDialog(FolderPickerDialog& picker, std::string& folder) {
    FolderContent content(picker);
    if (RunDrawnDialog(picker.Owner(), "Browse for Folder", 320, 325, content) != IDOK)
        return false;
    folder = content.Selected();
    return true;
}

} // namespace platform
