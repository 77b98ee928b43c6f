#include "platform/controls/dialogs/print_dialog.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/controls/button.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/dialogs/drawn_dialog.h"
#include "platform/controls/edit.h"
#include "platform/controls/static_text.h"

namespace platform {
namespace {

constexpr int ID_PRINTER = 100;
constexpr int ID_TO_FILE = 101;
constexpr int ID_ALL = 102;
constexpr int ID_SELECTION = 103;
constexpr int ID_PAGES = 104;
constexpr int ID_FROM = 105;
constexpr int ID_TO = 106;
constexpr int ID_COPIES = 107;
constexpr int ID_PAPER = 108;
constexpr int ID_PORTRAIT = 109;
constexpr int ID_LANDSCAPE = 110;

class PrintContent : public DialogContent {
public:
    explicit PrintContent(const PrintDialogRequest& request) : request_(request) {}

    void Create(HWND dialog) override {
        dialog_ = dialog;
        bool setup = (request_.flags & PD_PRINTSETUP) != 0;
        AddControl(dialog, "STATIC", "&Name:", SS_LEFT, -1, 10, 12, 56, 16);
        printer_ = AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP, ID_PRINTER, 70,
                              8, 210, 200);
        for (const std::string& name : request_.printers)
            SendMessageA(printer_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        SendMessageA(printer_, CB_SETCURSEL, 0, 0);
        if (setup) {
            AddControl(dialog, "BUTTON", "Paper", BS_GROUPBOX, -1, 10, 44, 180, 60);
            AddControl(dialog, "STATIC", "Si&ze:", SS_LEFT, -1, 20, 68, 40, 16);
            HWND paper = AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP, ID_PAPER,
                                    64, 64, 116, 100);
            SendMessageA(paper, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Printer's default"));
            SendMessageA(paper, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("A4"));
            SendMessageA(paper, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Letter"));
            SendMessageA(paper, CB_SETCURSEL, 0, 0);
            AddControl(dialog, "BUTTON", "Orientation", BS_GROUPBOX, -1, 200, 44, 180, 60);
            AddControl(dialog, "BUTTON", "P&ortrait", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP,
                       ID_PORTRAIT, 210, 62, 160, 18);
            AddControl(dialog, "BUTTON", "L&andscape", BS_AUTORADIOBUTTON, ID_LANDSCAPE, 210, 82,
                       160, 18);
            SendDlgItemMessageA(dialog, ID_PORTRAIT, BM_SETCHECK, BST_CHECKED, 0);
        } else {
            if (!(request_.flags & PD_HIDEPRINTTOFILE)) {
                HWND toFile =
                    AddControl(dialog, "BUTTON", "Print to &file", BS_AUTOCHECKBOX | WS_TABSTOP,
                               ID_TO_FILE, 290, 10, 100, 18);
                if (request_.flags & PD_PRINTTOFILE)
                    SendMessageA(toFile, BM_SETCHECK, BST_CHECKED, 0);
                if (request_.flags & PD_DISABLEPRINTTOFILE) EnableWindow(toFile, FALSE);
            }
            AddControl(dialog, "BUTTON", "Print range", BS_GROUPBOX, -1, 10, 44, 200, 104);
            AddControl(dialog, "BUTTON", "&All", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, ID_ALL,
                       20, 62, 180, 18);
            HWND selection = AddControl(dialog, "BUTTON", "Selectio&n", BS_AUTORADIOBUTTON,
                                        ID_SELECTION, 20, 82, 180, 18);
            HWND pages = AddControl(dialog, "BUTTON", "&Pages", BS_AUTORADIOBUTTON, ID_PAGES, 20,
                                    102, 60, 18);
            AddControl(dialog, "STATIC", "&from:", SS_LEFT, -1, 84, 104, 30, 16);
            HWND from = AddControl(dialog, "EDIT", std::to_string(request_.fromPage).c_str(),
                                   ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, ID_FROM, 114,
                                   100, 36, 22, WS_EX_CLIENTEDGE);
            AddControl(dialog, "STATIC", "&to:", SS_LEFT, -1, 154, 104, 16, 16);
            HWND to = AddControl(dialog, "EDIT", std::to_string(request_.toPage).c_str(),
                                 ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, ID_TO, 170, 100, 36, 22,
                                 WS_EX_CLIENTEDGE);
            if (request_.flags & PD_NOSELECTION) EnableWindow(selection, FALSE);
            if (request_.flags & PD_NOPAGENUMS) {
                EnableWindow(pages, FALSE);
                EnableWindow(from, FALSE);
                EnableWindow(to, FALSE);
            }
            int range =
                (request_.flags & PD_SELECTION) && !(request_.flags & PD_NOSELECTION) ? ID_SELECTION
                : (request_.flags & PD_PAGENUMS) && !(request_.flags & PD_NOPAGENUMS) ? ID_PAGES
                                                                                      : ID_ALL;
            SendDlgItemMessageA(dialog, range, BM_SETCHECK, BST_CHECKED, 0);
            AddControl(dialog, "BUTTON", "Copies", BS_GROUPBOX, -1, 220, 44, 170, 104);
            AddControl(dialog, "STATIC", "Number of &copies:", SS_LEFT, -1, 230, 66, 104, 16);
            AddControl(dialog, "EDIT", std::to_string(std::max<WORD>(request_.copies, 1)).c_str(),
                       ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, ID_COPIES, 334, 62, 46,
                       22, WS_EX_CLIENTEDGE);
        }
        AddControl(dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, 234, 160,
                   75, 23);
        AddControl(dialog, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 315, 160, 75,
                   23);
    }

    void Command(HWND dialog, int id, WORD code, HWND) override {
        if (id == IDCANCEL) {
            EndDrawnDialog(dialog, IDCANCEL);
        } else if (id == IDOK) {
            if (Finish()) EndDrawnDialog(dialog, IDOK);
        } else if ((id == ID_FROM || id == ID_TO) && code == EN_CHANGE && Focused(id)) {
            // Typing a page chooses the page range, as users expect.
            for (int radio : {ID_ALL, ID_SELECTION, ID_PAGES})
                SendDlgItemMessageA(dialog, radio, BM_SETCHECK,
                                    radio == ID_PAGES ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }

    PrintDialogAnswer answer;

private:
    bool Focused(int id) const { return GetFocus() == GetDlgItem(dialog_, id); }

    bool Checked(int id) const {
        return SendDlgItemMessageA(dialog_, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    int Number(int id) const {
        char text[16] = {};
        GetDlgItemTextA(dialog_, id, text, sizeof text);
        return std::atoi(text);
    }

    bool Finish() {
        LRESULT index = SendMessageA(printer_, CB_GETCURSEL, 0, 0);
        if (index >= 0 && static_cast<size_t>(index) < request_.printers.size())
            answer.printer = request_.printers[static_cast<size_t>(index)];
        if (request_.flags & PD_PRINTSETUP) {
            constexpr short papers[3] = {0, DMPAPER_A4, DMPAPER_LETTER};
            LRESULT paper = SendDlgItemMessageA(dialog_, ID_PAPER, CB_GETCURSEL, 0, 0);
            answer.paper = paper >= 0 && paper < 3 ? papers[paper] : 0;
            answer.orientation = Checked(ID_LANDSCAPE) ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
            answer.copies = std::max<WORD>(request_.copies, 1);
            return true;
        }
        answer.toFile = Checked(ID_TO_FILE);
        answer.range = Checked(ID_SELECTION) ? PD_SELECTION
                       : Checked(ID_PAGES)   ? PD_PAGENUMS
                                             : PD_ALLPAGES;
        answer.fromPage = request_.fromPage;
        answer.toPage = request_.toPage;
        if (answer.range == PD_PAGENUMS) {
            int from = Number(ID_FROM);
            int to = Number(ID_TO);
            if (from < request_.minPage || to > request_.maxPage || from > to) {
                std::string text = "Enter pages from " + std::to_string(request_.minPage) + " to " +
                                   std::to_string(request_.maxPage) + ".";
                MessageBoxA(dialog_, text.c_str(), "Print", MB_OK | MB_ICONWARNING);
                return false;
            }
            answer.fromPage = static_cast<WORD>(from);
            answer.toPage = static_cast<WORD>(to);
        }
        int copies = Number(ID_COPIES);
        if (copies < 1 || copies > 9999) {
            MessageBoxA(dialog_, "Enter a number of copies from 1 to 9999.", "Print",
                        MB_OK | MB_ICONWARNING);
            return false;
        }
        answer.copies = static_cast<WORD>(copies);
        return true;
    }

    const PrintDialogRequest& request_;
    HWND dialog_ = 0;
    HWND printer_ = 0;
};

} // namespace

bool RunPrintDialog(const PrintDialogRequest& request, PrintDialogAnswer& answer) {
    PrintContent content(request);
    const char* title = (request.flags & PD_PRINTSETUP) ? "Print Setup" : "Print";
    if (RunDrawnDialog(request.owner, title, 400, 193, content) != IDOK) return false;
    answer = content.answer;
    return true;
}

} // namespace platform
