#include "platform/controls/dialogs/font_dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/button.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/dialogs/drawn_dialog.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_box.h"
#include "platform/controls/static_text.h"
#include "platform/gdi/controls/draw_edge.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text/font_families.h"
#include "platform/gdi/text/font_lookup.h"
#include "platform/gdi/text/text_out.h"
#include "platform/kernel/cp1252.h"

namespace platform {
namespace {

constexpr int ID_FAMILY = 100;
constexpr int ID_STYLE = 101;
constexpr int ID_SIZE_TEXT = 102;
constexpr int ID_SIZE = 103;
constexpr int ID_STRIKE = 104;
constexpr int ID_UNDERLINE = 105;
constexpr int ID_COLOR = 106;
constexpr RECT SAMPLE{200, 206, 410, 272};
constexpr int SCREEN_DPI = 96;

constexpr const char* STYLES[4] = {"Regular", "Italic", "Bold", "Bold Italic"};
constexpr int SIZES[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

struct NamedColor {
    const char* name;
    COLORREF color;
};
constexpr NamedColor COLORS[16] = {
    {"Black", 0x000000},  {"Maroon", 0x000080},  {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080},  {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},     {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF}};

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Cp1252ToUpper(static_cast<unsigned char>(a[i])) !=
            Cp1252ToUpper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int CollectFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) {
    reinterpret_cast<std::vector<std::string>*>(data)->push_back(std::string(FaceNameOf(*font)));
    return 1;
}

std::vector<std::string> Families() {
    std::vector<std::string> families;
    LOGFONTA all{};
    all.lfCharSet = DEFAULT_CHARSET;
    HDC screen = GetDC(0);
    EnumFontFamiliesExA(screen, &all, CollectFamily, reinterpret_cast<LPARAM>(&families), 0);
    ReleaseDC(0, screen);
    return families;
}

class FontContent : public DialogContent {
public:
    explicit FontContent(const FontDialogRequest& request) : request_(request) {
        answer.font = (request.flags & CF_INITTOLOGFONTSTRUCT) ? request.initial : LOGFONTA{};
        answer.color = request.color;
        if (answer.font.lfFaceName[0] == '\0')
            std::snprintf(answer.font.lfFaceName, LF_FACESIZE, "Arial");
        LONG height = answer.font.lfHeight;
        points_ =
            height == 0
                ? 10
                : std::clamp<LONG>((std::abs(height) * 72 + SCREEN_DPI / 2) / SCREEN_DPI, 1, 1638);
    }
    ~FontContent() override {
        if (sampleFont_ != 0) DeleteObject(sampleFont_);
    }

    void Create(HWND dialog) override {
        dialog_ = dialog;
        bool effects = (request_.flags & CF_EFFECTS) != 0;
        AddControl(dialog, "STATIC", "&Font:", SS_LEFT, -1, 10, 8, 170, 16);
        family_ =
            AddControl(dialog, "LISTBOX", "",
                       LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
                       ID_FAMILY, 10, 26, 180, 160, WS_EX_CLIENTEDGE);
        AddControl(dialog, "STATIC", "Font st&yle:", SS_LEFT, -1, 200, 8, 110, 16);
        style_ = AddControl(dialog, "LISTBOX", "",
                            LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_TABSTOP, ID_STYLE,
                            200, 26, 120, 160, WS_EX_CLIENTEDGE);
        AddControl(dialog, "STATIC", "&Size:", SS_LEFT, -1, 330, 8, 80, 16);
        sizeText_ = AddControl(dialog, "EDIT", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
                               ID_SIZE_TEXT, 330, 26, 80, 22, WS_EX_CLIENTEDGE);
        size_ = AddControl(dialog, "LISTBOX", "",
                           LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER, ID_SIZE, 330,
                           50, 80, 136, WS_EX_CLIENTEDGE);
        if (effects) {
            AddControl(dialog, "BUTTON", "Effects", BS_GROUPBOX, -1, 10, 192, 180, 92);
            AddControl(dialog, "BUTTON", "Stri&keout", BS_AUTOCHECKBOX | WS_TABSTOP, ID_STRIKE, 20,
                       210, 160, 18);
            AddControl(dialog, "BUTTON", "&Underline", BS_AUTOCHECKBOX | WS_TABSTOP, ID_UNDERLINE,
                       20, 230, 160, 18);
            AddControl(dialog, "STATIC", "&Color:", SS_LEFT, -1, 20, 256, 50, 16);
            color_ = AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP, ID_COLOR, 70,
                                252, 110, 200);
        }
        AddControl(dialog, "STATIC", "Sample:", SS_LEFT, -1, 200, 190, 100, 16);
        AddControl(dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 255, 292, 75, 23);
        AddControl(dialog, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 335, 292, 75,
                   23);

        std::vector<std::string> families = Families();
        for (const std::string& family : families)
            SendMessageA(family_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(family.c_str()));
        std::string face = answer.font.lfFaceName;
        std::string shown = face;
        if (std::none_of(families.begin(), families.end(),
                         [&](const std::string& f) { return SameName(f, face); })) {
            std::string_view standIn = FaceTableFamily(face);
            shown = std::string(standIn.empty() ? GenericFamily(answer.font.lfPitchAndFamily)
                                                : standIn);
        }
        for (size_t i = 0; i < families.size(); ++i)
            if (SameName(families[i], shown)) SendMessageA(family_, LB_SETCURSEL, i, 0);
        for (const char* style : STYLES)
            SendMessageA(style_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(style));
        int styleIndex = (answer.font.lfWeight >= FW_BOLD ? 2 : 0) + (answer.font.lfItalic ? 1 : 0);
        SendMessageA(style_, LB_SETCURSEL, static_cast<WPARAM>(styleIndex), 0);
        for (int size : SIZES) {
            std::string text = std::to_string(size);
            SendMessageA(size_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        ShowSize();
        if (effects) {
            CheckDlgButton(ID_STRIKE, answer.font.lfStrikeOut);
            CheckDlgButton(ID_UNDERLINE, answer.font.lfUnderline);
            for (const NamedColor& named : COLORS)
                SendMessageA(color_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(named.name));
            int chosen = 0;
            for (int i = 0; i < 16; ++i)
                if (COLORS[i].color == (answer.color & 0xFFFFFF)) chosen = i;
            SendMessageA(color_, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
            answer.color = COLORS[chosen].color;
        }
        ready_ = true;
    }

    HWND InitialFocus(HWND) override { return family_; }

    void Command(HWND dialog, int id, WORD code, HWND) override {
        switch (id) {
        case IDOK:
            Finish();
            EndDrawnDialog(dialog, IDOK);
            return;
        case IDCANCEL:
            EndDrawnDialog(dialog, IDCANCEL);
            return;
        case ID_FAMILY:
            if (code == LBN_SELCHANGE) familyChanged_ = true;
            break;
        case ID_SIZE:
            if (code == LBN_SELCHANGE) {
                LRESULT index = SendMessageA(size_, LB_GETCURSEL, 0, 0);
                if (index >= 0) {
                    points_ = SIZES[index];
                    ShowSize();
                }
            }
            break;
        case ID_SIZE_TEXT:
            if (code == EN_CHANGE && !showingSize_) {
                char text[8] = {};
                GetWindowTextA(sizeText_, text, sizeof text);
                int typed = std::atoi(text);
                if (typed > 0) points_ = std::min(typed, 1638);
            }
            break;
        default:
            break;
        }
        if (ready_) {
            Finish();
            InvalidateRect(dialog, &SAMPLE, TRUE);
        }
    }

    bool Message(HWND dialog, UINT message, WPARAM, LPARAM, LRESULT& result) override {
        if (message != WM_PAINT) return false;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog, &paint);
        if (dc != 0) {
            RECT frame = SAMPLE;
            DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
            LOGFONTA shown = answer.font;
            shown.lfHeight = -points_ * SCREEN_DPI / 72;
            if (sampleFont_ != 0) DeleteObject(sampleFont_);
            sampleFont_ = CreateFontIndirectA(&shown);
            HGDIOBJ old = SelectObject(dc, sampleFont_);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, answer.color);
            HRGN clip =
                CreateRectRgn(SAMPLE.left + 2, SAMPLE.top + 2, SAMPLE.right - 2, SAMPLE.bottom - 2);
            SelectClipRgn(dc, clip);
            DeleteObject(clip);
            TextOutA(dc, SAMPLE.left + 8, SAMPLE.top + 8, "AaBbYyZz", 8);
            SelectClipRgn(dc, 0);
            SelectObject(dc, old);
            EndPaint(dialog, &paint);
        }
        result = 0;
        return true;
    }

    FontDialogAnswer answer;

private:
    void CheckDlgButton(int id, BYTE on) {
        SendDlgItemMessageA(dialog_, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    bool Checked(int id) const {
        return SendDlgItemMessageA(dialog_, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    void ShowSize() {
        showingSize_ = true;
        SetWindowTextA(sizeText_, std::to_string(points_).c_str());
        showingSize_ = false;
        const int* at = std::find(std::begin(SIZES), std::end(SIZES), points_);
        SendMessageA(size_, LB_SETCURSEL,
                     at == std::end(SIZES) ? static_cast<WPARAM>(-1)
                                           : static_cast<WPARAM>(at - std::begin(SIZES)),
                     0);
    }

    // The answer from what the controls show.
    void Finish() {
        if (familyChanged_) {
            LRESULT index = SendMessageA(family_, LB_GETCURSEL, 0, 0);
            char face[LF_FACESIZE + 64] = {};
            if (index >= 0 &&
                SendMessageA(family_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0) < LF_FACESIZE) {
                SendMessageA(family_, LB_GETTEXT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(face));
                std::memset(answer.font.lfFaceName, 0, LF_FACESIZE);
                std::memcpy(answer.font.lfFaceName, face, std::strlen(face));
            }
        }
        LRESULT style = SendMessageA(style_, LB_GETCURSEL, 0, 0);
        if (style >= 0) {
            answer.font.lfWeight = style >= 2 ? FW_BOLD : 400;
            answer.font.lfItalic = (style & 1) != 0;
        }
        answer.font.lfHeight = -((points_ * SCREEN_DPI + 36) / 72);
        answer.font.lfWidth = 0;
        answer.pointSize = points_ * 10;
        if (request_.flags & CF_EFFECTS) {
            answer.font.lfStrikeOut = Checked(ID_STRIKE);
            answer.font.lfUnderline = Checked(ID_UNDERLINE);
            LRESULT index = SendMessageA(color_, CB_GETCURSEL, 0, 0);
            if (index >= 0 && index < 16) answer.color = COLORS[index].color;
        }
    }

    const FontDialogRequest& request_;
    HWND dialog_ = 0;
    HWND family_ = 0;
    HWND style_ = 0;
    HWND sizeText_ = 0;
    HWND size_ = 0;
    HWND color_ = 0;
    HFONT sampleFont_ = 0;
    int points_ = 10;
    bool familyChanged_ = false;
    bool showingSize_ = false;
    bool ready_ = false;
};

} // namespace

bool RunFontDialog(const FontDialogRequest& request, FontDialogAnswer& answer) {
    FontContent content(request);
    if (RunDrawnDialog(request.owner, "Font", 420, 324, content) != IDOK) return false;
    answer = content.answer;
    return true;
}

} // namespace platform
