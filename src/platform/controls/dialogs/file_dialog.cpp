#include "platform/controls/dialogs/file_dialog.h"

#include <algorithm>
#include <vector>

#include "platform/controls/button.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/dialogs/drawn_dialog.h"
#include "platform/controls/dialogs/folder_listing.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_box.h"
#include "platform/controls/static_text.h"
#include "platform/files/files.h"
#include "platform/files/wildcard.h"
#include "platform/user/input/input.h"

namespace platform {
namespace {

constexpr int ID_LOOK_IN = 100;
constexpr int ID_UP = 101;
constexpr int ID_ENTRIES = 102;
constexpr int ID_NAME = 103;
constexpr int ID_TYPE = 104;

std::string ItemText(HWND control, UINT getLength, UINT getText, LRESULT index) {
    if (index < 0) return "";
    LRESULT length = SendMessageA(control, getLength, static_cast<WPARAM>(index), 0);
    if (length < 0) return "";
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(control, getText, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

bool IsFolderItem(const std::string& item) {
    return item.size() >= 2 && item.front() == '[' && item.back() == ']';
}

bool HasExtension(const std::string& name) {
    size_t dot = name.find_last_of('.');
    return dot != std::string::npos && dot > 0 &&
           name.find_first_of("\\/", dot) == std::string::npos;
}

class FileContent : public DialogContent {
public:
    explicit FileContent(const FileDialogRequest& request) : request_(request) {
        filterIndex_ =
            std::clamp<DWORD>(request.filterIndex == 0 ? 1 : request.filterIndex, 1,
                              std::max<DWORD>(1, static_cast<DWORD>(request.filters.size())));
    }

    void Create(HWND dialog) override {
        dialog_ = dialog;
        bool many = (request_.flags & OFN_ALLOWMULTISELECT) != 0;
        AddControl(dialog, "STATIC", "Look &in:", SS_LEFT, -1, 10, 12, 66, 16);
        lookIn_ = AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP, ID_LOOK_IN, 80,
                             8, 255, 200);
        AddControl(dialog, "BUTTON", "&Up", BS_PUSHBUTTON | WS_TABSTOP, ID_UP, 345, 8, 75, 23);
        entries_ = AddControl(dialog, "LISTBOX", "",
                              LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER |
                                  WS_TABSTOP | (many ? LBS_EXTENDEDSEL : 0),
                              ID_ENTRIES, 10, 40, 410, 180, WS_EX_CLIENTEDGE);
        AddControl(dialog, "STATIC", "File &name:", SS_LEFT, -1, 10, 234, 86, 16);
        name_ = AddControl(dialog, "EDIT", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, ID_NAME,
                           100, 230, 235, 22, WS_EX_CLIENTEDGE);
        AddControl(dialog, "STATIC", "Files of &type:", SS_LEFT, -1, 10, 264, 86, 16);
        type_ = AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP, ID_TYPE, 100, 260,
                           235, 200);
        AddControl(dialog, "BUTTON", request_.save ? "&Save" : "&Open",
                   BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 345, 229, 75, 23);
        AddControl(dialog, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 345, 259, 75,
                   23);
        for (const auto& filter : request_.filters)
            SendMessageA(type_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(filter.first.c_str()));
        SendMessageA(type_, CB_SETCURSEL, filterIndex_ - 1, 0);
        if (request_.filters.empty()) EnableWindow(type_, FALSE);

        std::string folder = request_.initialFolder;
        std::string name = request_.initialName;
        size_t separator = name.find_last_of("\\/");
        if (separator != std::string::npos) {
            std::string from = ResolvePath(folder, name.substr(0, separator + 1));
            if (IsFolder(from)) folder = from;
            name = name.substr(separator + 1);
        }
        if (folder.empty() || !IsFolder(folder)) {
            char current[MAX_PATH] = {};
            GetCurrentDirectoryA(MAX_PATH, current);
            folder = current;
        }
        Open(folder);
        SetWindowTextA(name_, name.c_str());
    }

    HWND InitialFocus(HWND) override { return name_; }

    void Command(HWND dialog, int id, WORD code, HWND) override {
        switch (id) {
        case IDOK:
            Confirm();
            break;
        case IDCANCEL:
            EndDrawnDialog(dialog, IDCANCEL);
            break;
        case ID_UP:
            if (!ParentFolder(folder_).empty()) Open(ParentFolder(folder_));
            break;
        case ID_LOOK_IN:
            if (code == CBN_SELCHANGE) {
                LRESULT index = SendMessageA(lookIn_, CB_GETCURSEL, 0, 0);
                std::string chosen = ItemText(lookIn_, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
                if (!chosen.empty() && IsFolder(chosen)) Open(chosen);
            }
            break;
        case ID_ENTRIES:
            if (code == LBN_SELCHANGE) ShowSelectedNames();
            if (code == LBN_DBLCLK) {
                std::string item = Current();
                if (IsFolderItem(item))
                    Open(JoinPath(folder_, item.substr(1, item.size() - 2)));
                else if (!item.empty())
                    Confirm();
            }
            break;
        case ID_TYPE:
            if (code == CBN_SELCHANGE) {
                LRESULT index = SendMessageA(type_, CB_GETCURSEL, 0, 0);
                if (index >= 0) filterIndex_ = static_cast<DWORD>(index) + 1;
                pattern_.clear();
                Fill();
            }
            break;
        default:
            break;
        }
    }

    FileDialogAnswer answer;

private:
    std::string Patterns() const {
        if (!pattern_.empty()) return pattern_;
        if (request_.filters.empty()) return "*.*";
        return request_.filters[filterIndex_ - 1].second;
    }

    std::string Current() const {
        return ItemText(entries_, LB_GETTEXTLEN, LB_GETTEXT,
                        SendMessageA(entries_, LB_GETCARETINDEX, 0, 0));
    }

    void Open(const std::string& folder) {
        folder_ = FullPath(folder);
        SendMessageA(lookIn_, CB_RESETCONTENT, 0, 0);
        std::vector<std::string> chain = FolderChain(folder_);
        std::reverse(chain.begin(), chain.end());
        for (const std::string& root : DriveRoots())
            if (chain.empty() || root != chain.front()) chain.push_back(root);
        for (const std::string& item : chain)
            SendMessageA(lookIn_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        SendMessageA(lookIn_, CB_SETCURSEL, static_cast<WPARAM>(FolderChain(folder_).size() - 1),
                     0);
        Fill();
    }

    void Fill() {
        SendMessageA(entries_, LB_RESETCONTENT, 0, 0);
        FolderEntries entries = ListFolder(folder_, Patterns());
        for (const std::string& name : entries.folders) {
            std::string item = "[" + name + "]";
            SendMessageA(entries_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        for (const std::string& name : entries.files)
            SendMessageA(entries_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }

    std::vector<std::string> SelectedFiles() const {
        std::vector<std::string> names;
        LRESULT count = SendMessageA(entries_, LB_GETCOUNT, 0, 0);
        bool many = (request_.flags & OFN_ALLOWMULTISELECT) != 0;
        for (LRESULT i = 0; i < count; ++i) {
            bool selected = many ? SendMessageA(entries_, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0
                                 : SendMessageA(entries_, LB_GETCURSEL, 0, 0) == i;
            if (!selected) continue;
            std::string item = ItemText(entries_, LB_GETTEXTLEN, LB_GETTEXT, i);
            if (!IsFolderItem(item)) names.push_back(item);
        }
        return names;
    }

    void ShowSelectedNames() {
        std::vector<std::string> names = SelectedFiles();
        if (names.empty()) return;
        std::string text;
        if (names.size() == 1) {
            text = names.front();
        } else {
            for (const std::string& name : names)
                text += (text.empty() ? "\"" : " \"") + name + "\"";
        }
        SetWindowTextA(name_, text.c_str());
    }

    bool Ask(const std::string& text, UINT type) {
        return MessageBoxA(dialog_, text.c_str(), request_.save ? "Save As" : "Open", type) ==
               IDYES;
    }

    void Warn(const std::string& text) {
        MessageBoxA(dialog_, text.c_str(), request_.save ? "Save As" : "Open",
                    MB_OK | MB_ICONWARNING);
    }

    // A name checked against the flags; false when the user must choose again.
    bool Acceptable(std::string& path) {
        std::string name = path.substr(path.find_last_of("\\/") + 1);
        if (!request_.defaultExtension.empty() && !HasExtension(name) &&
            (request_.save || !FileExists(path)))
            path += "." + request_.defaultExtension;
        std::string folder = ParentFolder(path);
        if ((request_.flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !IsFolder(folder)) {
            Warn("The folder " + folder + " does not exist.");
            return false;
        }
        bool exists = FileExists(path);
        if (!request_.save && !exists) {
            if (request_.flags & OFN_FILEMUSTEXIST) {
                Warn(path + "\nFile not found.\nCheck the file name and try again.");
                return false;
            }
            if ((request_.flags & OFN_CREATEPROMPT) &&
                !Ask(path + "\nThis file does not exist.\nCreate the file?",
                     MB_YESNO | MB_ICONQUESTION))
                return false;
        }
        if (request_.save && exists && (request_.flags & OFN_OVERWRITEPROMPT) &&
            !Ask(path + " already exists.\nDo you want to replace it?",
                 MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2))
            return false;
        return true;
    }

    void Confirm() {
        // Return on a folder of the list opens it.
        std::string item = Current();
        if (GetFocus() == entries_ && IsFolderItem(item)) {
            Open(JoinPath(folder_, item.substr(1, item.size() - 2)));
            return;
        }
        char typed[MAX_PATH * 4] = {};
        GetWindowTextA(name_, typed, sizeof typed);
        std::vector<std::string> names = SplitTypedNames(typed);
        if (names.empty()) return;
        if (names.size() == 1) {
            std::string path = ResolvePath(folder_, names.front());
            if (WindowsPattern::HasWildcards(names.front())) {
                std::string folder = ParentFolder(path);
                if (IsFolder(folder)) folder_ = folder;
                pattern_ = path.substr(path.find_last_of("\\/") + 1);
                Open(folder_);
                return;
            }
            if (IsFolder(path)) {
                Open(path);
                SetWindowTextA(name_, "");
                return;
            }
            if (!Acceptable(path)) return;
            answer.folder = ParentFolder(path);
            answer.names = {path.substr(path.find_last_of("\\/") + 1)};
        } else {
            if (!(request_.flags & OFN_ALLOWMULTISELECT)) return;
            for (std::string& name : names) {
                std::string path = JoinPath(folder_, name);
                if (!Acceptable(path)) return;
                name = path.substr(path.find_last_of("\\/") + 1);
            }
            answer.folder = folder_;
            answer.names = names;
        }
        answer.filterIndex = filterIndex_;
        EndDrawnDialog(dialog_, IDOK);
    }

    const FileDialogRequest& request_;
    HWND dialog_ = 0;
    HWND lookIn_ = 0;
    HWND entries_ = 0;
    HWND name_ = 0;
    HWND type_ = 0;
    std::string folder_;
    std::string pattern_;
    DWORD filterIndex_ = 1;
};

} // namespace

std::vector<std::string> SplitTypedNames(const std::string& text) {
    std::vector<std::string> names;
    if (text.find('"') == std::string::npos) {
        size_t first = text.find_first_not_of(' ');
        if (first == std::string::npos) return names;
        names.push_back(text.substr(first, text.find_last_not_of(' ') - first + 1));
        return names;
    }
    size_t at = 0;
    while ((at = text.find('"', at)) != std::string::npos) {
        size_t end = text.find('"', at + 1);
        if (end == std::string::npos) end = text.size();
        if (end > at + 1) names.push_back(text.substr(at + 1, end - at - 1));
        at = end + 1;
        if (at >= text.size()) break;
    }
    return names;
}

bool RunFileDialog(const FileDialogRequest& request, FileDialogAnswer& answer) {
    FileContent content(request);
    std::string title = !request.title.empty() ? request.title : request.save ? "Save As" : "Open";
    if (RunDrawnDialog(request.owner, title, 430, 292, content) != IDOK) return false;
    answer = content.answer;
    return true;
}

} // namespace platform
