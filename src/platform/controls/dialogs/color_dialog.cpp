#include "platform/controls/dialogs/color_dialog.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "platform/controls/button.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/dialogs/drawn_dialog.h"
#include "platform/controls/edit.h"
#include "platform/controls/static_text.h"
#include "platform/gdi/controls/draw_edge.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/input/input.h"
#include "platform/user/windows.h"

namespace platform {
namespace {

constexpr int ID_ADD_CUSTOM = 100;
constexpr int ID_RED = 101;
constexpr int ID_GREEN = 102;
constexpr int ID_BLUE = 103;

constexpr int COLUMNS = 8;
constexpr int BASIC_ROWS = 6;
constexpr int CUSTOM_ROWS = 2;
constexpr int SWATCH_WIDTH = 20;
constexpr int SWATCH_HEIGHT = 16;
constexpr int SWATCH_STEP_X = 24;
constexpr int SWATCH_STEP_Y = 20;
constexpr int GRID_LEFT = 10;
constexpr int BASIC_TOP = 26;
constexpr int CUSTOM_TOP = 172;
constexpr RECT SAMPLE{220, 26, 330, 86};

constexpr COLORREF Rgb(int r, int g, int b) {
    return static_cast<COLORREF>(r | (g << 8) | (b << 16));
}

constexpr std::array<COLORREF, COLUMNS * BASIC_ROWS> BASIC{
    Rgb(255, 128, 128), Rgb(255, 255, 128), Rgb(128, 255, 128), Rgb(0, 255, 128),
    Rgb(128, 255, 255), Rgb(0, 128, 255),   Rgb(255, 128, 192), Rgb(255, 128, 255),
    Rgb(255, 0, 0),     Rgb(255, 255, 0),   Rgb(128, 255, 0),   Rgb(0, 255, 64),
    Rgb(0, 255, 255),   Rgb(0, 128, 192),   Rgb(128, 128, 192), Rgb(255, 0, 255),
    Rgb(128, 64, 64),   Rgb(255, 128, 64),  Rgb(0, 255, 0),     Rgb(0, 128, 128),
    Rgb(0, 64, 128),    Rgb(128, 128, 255), Rgb(128, 0, 64),    Rgb(255, 0, 128),
    Rgb(128, 0, 0),     Rgb(255, 128, 0),   Rgb(0, 128, 0),     Rgb(0, 128, 64),
    Rgb(0, 0, 255),     Rgb(0, 0, 160),     Rgb(128, 0, 128),   Rgb(128, 0, 255),
    Rgb(64, 0, 0),      Rgb(128, 64, 0),    Rgb(0, 64, 0),      Rgb(0, 64, 64),
    Rgb(0, 0, 128),     Rgb(0, 0, 64),      Rgb(64, 0, 64),     Rgb(64, 0, 128),
    Rgb(0, 0, 0),       Rgb(128, 128, 0),   Rgb(128, 128, 64),  Rgb(128, 128, 128),
    Rgb(64, 128, 128),  Rgb(192, 192, 192), Rgb(64, 0, 64),     Rgb(255, 255, 255)};

RECT SwatchRect(int top, int index) {
    int x = GRID_LEFT + (index % COLUMNS) * SWATCH_STEP_X;
    int y = top + (index / COLUMNS) * SWATCH_STEP_Y;
    return RECT{x, y, x + SWATCH_WIDTH, y + SWATCH_HEIGHT};
}

// -1 when `point` is on no swatch of the grid.
int SwatchAt(int top, int rows, POINT point) {
    for (int i = 0; i < COLUMNS * rows; ++i) {
        RECT r = SwatchRect(top, i);
        if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom)
            return i;
    }
    return -1;
}

void FillColor(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

class ColorContent : public DialogContent {
public:
    ColorContent(const ColorDialogRequest& request, ColorDialogAnswer& answer) : answer_(answer) {
        answer_.color = (request.flags & CC_RGBINIT) ? request.initial : 0;
        std::copy(std::begin(request.custom), std::end(request.custom), answer_.custom);
    }

    void Create(HWND dialog) override {
        AddControl(dialog, "STATIC", "&Basic colors:", SS_LEFT, -1, GRID_LEFT, 8, 190, 16);
        AddControl(dialog, "STATIC", "&Custom colors:", SS_LEFT, -1, GRID_LEFT, 154, 190, 16);
        AddControl(dialog, "BUTTON", "&Add to Custom Colors", BS_PUSHBUTTON | WS_TABSTOP,
                   ID_ADD_CUSTOM, GRID_LEFT, 222, 188, 23);
        const char* labels[3] = {"&Red:", "&Green:", "Bl&ue:"};
        for (int i = 0; i < 3; ++i) {
            AddControl(dialog, "STATIC", labels[i], SS_LEFT, -1, 220, 102 + 28 * i, 48, 16);
            HWND field = AddControl(dialog, "EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER,
                                    ID_RED + i, 270, 98 + 28 * i, 60, 22, WS_EX_CLIENTEDGE);
            SendMessageA(field, EM_LIMITTEXT, 3, 0);
        }
        AddControl(dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, 174, 262,
                   75, 23);
        AddControl(dialog, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 255, 262, 75,
                   23);
        ShowFields(dialog);
    }

    // The first tab stop is "Add to Custom Colors": focused, it would take Return from OK.
    HWND InitialFocus(HWND dialog) override { return GetDlgItem(dialog, ID_RED); }

    void Command(HWND dialog, int id, WORD code, HWND) override {
        switch (id) {
        case IDOK:
        case IDCANCEL:
            EndDrawnDialog(dialog, id);
            break;
        case ID_ADD_CUSTOM:
            answer_.custom[customPlace_] = answer_.color;
            customPlace_ = (customPlace_ + 1) % 16;
            InvalidateRect(dialog, nullptr, FALSE);
            break;
        case ID_RED:
        case ID_GREEN:
        case ID_BLUE:
            if (code == EN_CHANGE && !showingFields_) ReadFields(dialog);
            break;
        default:
            break;
        }
    }

    bool Message(HWND dialog, UINT message, WPARAM, LPARAM lParam, LRESULT& result) override {
        if (message == WM_PAINT) {
            Paint(dialog);
            result = 0;
            return true;
        }
        if (message == WM_LBUTTONDOWN) {
            POINT at{static_cast<int16_t>(LOWORD(static_cast<DWORD_PTR>(lParam))),
                     static_cast<int16_t>(HIWORD(static_cast<DWORD_PTR>(lParam)))};
            int basic = SwatchAt(BASIC_TOP, BASIC_ROWS, at);
            int custom = SwatchAt(CUSTOM_TOP, CUSTOM_ROWS, at);
            if (basic >= 0) Choose(dialog, BASIC[static_cast<size_t>(basic)]);
            if (custom >= 0) {
                customPlace_ = custom;
                Choose(dialog, answer_.custom[custom]);
            }
            result = 0;
            return true;
        }
        return false;
    }

private:
    void Choose(HWND dialog, COLORREF color) {
        answer_.color = color & 0xFFFFFF;
        ShowFields(dialog);
        InvalidateRect(dialog, nullptr, FALSE);
    }

    void ShowFields(HWND dialog) {
        showingFields_ = true;
        int parts[3] = {static_cast<int>(answer_.color & 0xFF),
                        static_cast<int>((answer_.color >> 8) & 0xFF),
                        static_cast<int>((answer_.color >> 16) & 0xFF)};
        for (int i = 0; i < 3; ++i) {
            char text[8];
            std::snprintf(text, sizeof text, "%d", parts[i]);
            SetDlgItemTextA(dialog, ID_RED + i, text);
        }
        showingFields_ = false;
    }

    void ReadFields(HWND dialog) {
        int parts[3];
        for (int i = 0; i < 3; ++i) {
            char text[8] = {};
            GetDlgItemTextA(dialog, ID_RED + i, text, sizeof text);
            parts[i] = std::clamp(std::atoi(text), 0, 255);
        }
        answer_.color = Rgb(parts[0], parts[1], parts[2]);
        InvalidateRect(dialog, &SAMPLE, FALSE);
    }

    void PaintGrid(HDC dc, int top, const COLORREF* colors, int count, int marked) {
        for (int i = 0; i < count; ++i) {
            RECT r = SwatchRect(top, i);
            RECT frame{r.left - 2, r.top - 2, r.right + 2, r.bottom + 2};
            FillColor(dc, frame, GetSysColor(i == marked ? COLOR_WINDOWTEXT : COLOR_BTNFACE));
            RECT edge = r;
            DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
            RECT inside{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
            FillColor(dc, inside, colors[i]);
        }
    }

    void Paint(HWND dialog) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog, &paint);
        if (dc == 0) return;
        int basicMarked = -1;
        for (size_t i = 0; i < BASIC.size(); ++i)
            if (BASIC[i] == answer_.color) basicMarked = static_cast<int>(i);
        PaintGrid(dc, BASIC_TOP, BASIC.data(), COLUMNS * BASIC_ROWS, basicMarked);
        PaintGrid(dc, CUSTOM_TOP, answer_.custom, COLUMNS * CUSTOM_ROWS, customPlace_);
        RECT sample = SAMPLE;
        DrawEdge(dc, &sample, EDGE_SUNKEN, BF_RECT);
        RECT inside{SAMPLE.left + 2, SAMPLE.top + 2, SAMPLE.right - 2, SAMPLE.bottom - 2};
        FillColor(dc, inside, answer_.color);
        EndPaint(dialog, &paint);
    }

    ColorDialogAnswer& answer_;
    int customPlace_ = 0;
    bool showingFields_ = false;
};

} // namespace

bool RunColorDialog(const ColorDialogRequest& request, ColorDialogAnswer& answer) {
    ColorDialogAnswer working;
    ColorContent content(request, working);
    if (RunDrawnDialog(request.owner, "Color", 340, 295, content) != IDOK) return false;
    answer = working;
    return true;
}

} // namespace platform
