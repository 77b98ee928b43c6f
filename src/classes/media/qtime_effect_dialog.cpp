#include "classes/media/qtime_effect_dialog.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/controls/button.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_box.h"
#include "platform/controls/static_text.h"
#include "platform/user/dialogs/dialog_box.h"
#include "platform/user/dialogs/message_box.h"
#include "platform/user/windows.h"

namespace {

namespace movie = platform::movie;

constexpr int kEffectList = 100;
constexpr int kFirstLabel = 200;
constexpr int kFirstValue = 300;
// FilmNoise has the most parameters.
constexpr int kRows = 8;

struct EffectText {
    const char* name;
    std::vector<const char*> parameters;
};

// In the order of EffectKind, the parameters in the order of the effect's values.
const EffectText kEffects[movie::kEffectKindCount] = {
    {"Blur", {"Size", "Sum"}},
    {"Color Style", {"Solarize", "Point", "Posterize"}},
    {"Color Tint", {"Fore colour", "Brightness", "Back colour", "Contrast"}},
    {"Edge Detection", {"Size", "In colour"}},
    {"Emboss", {"Size"}},
    {"Film Noise",
     {"Scratch width", "Fade", "Dust", "Hairs", "Scratches", "Hair length", "Scratch frames",
      "Dust size"}},
    {"RGB Balance", {"Red", "Green", "Blue"}},
    {"Ripple", {"Amplitude"}},
    {"Sharpen", {"Size", "Amount"}},
    {"Cloud", {"Fore colour", "Back colour"}},
    {"Fire", {"Spread", "Water", "Base", "Decay"}},
};

struct DialogState {
    movie::Effect* choice;
    // The values of every effect as last shown, so that moving through the list loses none.
    std::vector<double> values[movie::kEffectKindCount];
    int shown = -1;
};

DLGTEMPLATEA MakeTemplate() {
    constexpr DWORD kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    DLGTEMPLATEA dialog{kFrame, 0, 0, 0, 230, 160, "Choose Effect", "MS Sans Serif", 8, {}};
    dialog.items.push_back({"LISTBOX", nullptr, LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 0,
                            7, 7, 90, 146, WORD(kEffectList)});
    for (int row = 0; row < kRows; ++row) {
        auto y = short(7 + row * 16);
        dialog.items.push_back(
            {"STATIC", "", SS_LEFT, 0, 104, short(y + 2), 60, 10, WORD(kFirstLabel + row)});
        dialog.items.push_back({"EDIT", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 166, y, 57,
                                12, WORD(kFirstValue + row)});
    }
    dialog.items.push_back(
        {"BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 116, 139, 50, 14, WORD(IDOK)});
    dialog.items.push_back(
        {"BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0, 173, 139, 50, 14, WORD(IDCANCEL)});
    return dialog;
}

// Colours are shown as 0xRRGGBB, whole numbers without a point.
std::string ValueText(double value, const movie::EffectRange& range) {
    char text[32];
    if (range.high == 0xFFFFFF)
        std::snprintf(text, sizeof text, "0x%06X", unsigned(value));
    else if (value == std::floor(value))
        std::snprintf(text, sizeof text, "%.0f", value);
    else
        std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The values typed for the shown effect; a value that is no number keeps the one before.
void ReadValues(HWND dialog, DialogState& state) {
    if (state.shown < 0) return;
    std::vector<double>& values = state.values[state.shown];
    for (size_t row = 0; row < values.size(); ++row) {
        char text[64] = {};
        GetDlgItemTextA(dialog, kFirstValue + int(row), text, sizeof text);
        char* end = nullptr;
        double value = std::strtod(text, &end);
        if (end != text && std::isfinite(value)) values[row] = value;
    }
    auto kind = movie::EffectKind(state.shown);
    values = movie::MakeEffect(kind, values).values;
}

void ShowEffect(HWND dialog, DialogState& state, int index) {
    ReadValues(dialog, state);
    state.shown = index;
    auto kind = movie::EffectKind(index);
    const std::vector<double>& values = state.values[index];
    for (int row = 0; row < kRows; ++row) {
        bool used = row < int(values.size());
        HWND label = GetDlgItem(dialog, kFirstLabel + row);
        HWND value = GetDlgItem(dialog, kFirstValue + row);
        SetWindowTextA(label, used ? kEffects[index].parameters[size_t(row)] : "");
        SetWindowTextA(
            value,
            used ? ValueText(values[size_t(row)], movie::EffectParameterRange(kind, row)).c_str()
                 : "");
        ShowWindow(label, used ? SW_SHOW : SW_HIDE);
        ShowWindow(value, used ? SW_SHOW : SW_HIDE);
    }
}

INT_PTR EffectProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWL_USER));
    switch (message) {
    case WM_INITDIALOG: {
        state = reinterpret_cast<DialogState*>(lParam);
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        for (const EffectText& effect : kEffects)
            SendDlgItemMessageA(dialog, kEffectList, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(effect.name));
        auto index = int(state->choice->kind);
        SendDlgItemMessageA(dialog, kEffectList, LB_SETCURSEL, WPARAM(index), 0);
        ShowEffect(dialog, *state, index);
        return TRUE;
    }
    case WM_COMMAND: {
        if (state == nullptr) return FALSE;
        int id = LOWORD(wParam);
        if (id == kEffectList && HIWORD(wParam) == LBN_SELCHANGE) {
            auto index = int(SendDlgItemMessageA(dialog, kEffectList, LB_GETCURSEL, 0, 0));
            if (index >= 0 && index < movie::kEffectKindCount) ShowEffect(dialog, *state, index);
            return TRUE;
        }
        if (id == IDOK) {
            ReadValues(dialog, *state);
            state->choice->kind = movie::EffectKind(state->shown);
            state->choice->values = state->values[state->shown];
            EndDialog(dialog, 1);
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

} // namespace

bool RunEffectDialog(HWND owner, movie::Effect& choice) {
    DialogState state;
    state.choice = &choice;
    for (int i = 0; i < movie::kEffectKindCount; ++i)
        state.values[i] = movie::MakeEffect(movie::EffectKind(i), {}).values;
    choice = movie::MakeEffect(choice.kind, choice.values);
    state.values[int(choice.kind)] = choice.values;
    static const DLGTEMPLATEA dialog = MakeTemplate();
    return DialogBoxIndirectParamA(0, &dialog, owner, &EffectProcedure,
                                   reinterpret_cast<LPARAM>(&state)) == 1;
}
