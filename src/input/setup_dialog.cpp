#include "input/setup_dialog.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "foundation/dialogs/placement_dialog.h"
#include "input/control_names.h"
#include "input/game_input_manager.h"
#include "platform/controls/button.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_box.h"
#include "platform/controls/tree_view.h"
#include "platform/controls/up_down.h"
#include "platform/kernel/string_table.h"
#include "platform/kernel/threads.h"
#include "platform/user/dialogs/dialog_box.h"
#include "platform/user/dialogs/message_box.h"
#include "platform/user/dialogs/msg_filter_hook.h"
#include "platform/user/input/cursor.h"
#include "platform/user/input/input.h"
#include "platform/user/input/keyboard_state.h"
#include "platform/user/menus/menus.h"
#include "platform/user/sys_commands.h"
#include "platform/user/window_geometry.h"
#include "platform/user/windows.h"

namespace {

HKEY placementRoot = HKEY_CURRENT_USER;

// Resource numbers.
constexpr WORD kMainTemplate = 28000;
constexpr WORD kKeyTemplate = 28001;
constexpr WORD kMouseTemplate = 28002;
constexpr WORD kJoystickTemplate = 28104;
constexpr WORD kTextTemplate = 28105;

constexpr UINT kTextJoystick = 28000;
constexpr UINT kTextKeyboard = 28001;
constexpr UINT kTextMouse = 28002;
constexpr UINT kTextPlayer = 28004;
constexpr UINT kTextJoystickGroup = 28005;
constexpr UINT kTextKeyboardGroup = 28006;
constexpr UINT kTextMouseGroup = 28007;
constexpr UINT kTextUnsupportedKey = 28008;
constexpr UINT kTextNewCommand = 28009;
constexpr UINT kTextCommandPrompt = 28010;
constexpr UINT kTextGameTypeName = 28011;
constexpr UINT kTextConfirmDelete = 28013;

// Controls.
constexpr int kGameTypes = 28001;
constexpr int kTree = 28002;
constexpr int kDeviceOrder = 28003;
constexpr int kOrderArrows = 28004;
constexpr int kAddGameType = 28011;
constexpr int kGroupBox = 28013;
constexpr int kOrderLabel = 28014;
constexpr int kNewPlayer = 28015;
constexpr int kNewCommand = 28021;
constexpr int kNewBinding = 28022;
constexpr int kDeleteGameType = 28023;
constexpr int kRenameGameType = 28024;
constexpr int kTextEdit = 28010;
constexpr int kTextPrompt = 28012;
constexpr int kJoystickPicker = 28008;
constexpr int kMousePicker = 28009;

// Context menus and their commands.
constexpr WORD kPlayerMenu = 28000;
constexpr WORD kCommandMenu = 28001;
constexpr WORD kGroupMenu = 28002;
constexpr WORD kBindingMenu = 28003;
constexpr WORD kConditionMenu = 28004;
constexpr WORD kNowhereMenu = 28005;
constexpr int kMenuDeletePlayer = 28102;
constexpr int kMenuNewCommand = 28103;
constexpr int kMenuDeleteCondition = 28107;
constexpr int kMenuNewPlayer = 28108;
constexpr int kMenuNewBinding = 28109;
constexpr int kMenuDeleteBinding = 28110;
constexpr int kMenuJoystickCondition = 28111;
constexpr int kMenuMouseCondition = 28112;
constexpr int kMenuKeyboardCondition = 28113;
constexpr int kMenuDeleteCommand = 28114;

// What the key capture's hook posts to its dialog, with the virtual key.
constexpr UINT kKeyCaptured = WM_USER + 63;

enum ItemKind : int {
    kPlayerItem = 1,
    kCommandItem = 2,
    kJoystickGroup = 3,
    kKeyboardGroup = 4,
    kMouseGroup = 5,
    kJoystickBinding = 7,
    kKeyboardBinding = 8,
    kMouseBinding = 9,
    kConditionItem = 11,
};

// What a tree item stands for; made with the item and freed when the tree lets it go. A
// condition is found by its place under its binding, since a binding keeps its
// conditions by value.
struct ItemRecord {
    int kind;
    InputPlayer* player;
    InputBinding* binding;
};

std::string LoadText(UINT id) {
    char buffer[256] = {};
    LoadStringA(0, id, buffer, sizeof buffer);
    return buffer;
}

std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(std::max(GetWindowTextLengthA(window), 0)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), int(text.size()))));
    return text;
}

// ---- Text entry ----------------------------------------------------------------------

struct TextEntry {
    std::string caption;
    std::string prompt;
    std::string text;
};

INT_PTR TextEntryProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* entry = reinterpret_cast<TextEntry*>(lParam);
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        SetWindowTextA(dialog, entry->caption.c_str());
        SetDlgItemTextA(dialog, kTextPrompt, entry->prompt.c_str());
        SetFocus(GetDlgItem(dialog, kTextEdit));
        return FALSE;
    }
    auto* entry = reinterpret_cast<TextEntry*>(GetWindowLongPtrA(dialog, DWL_USER));
    if (message != WM_COMMAND || entry == nullptr) return FALSE;
    int id = LOWORD(wParam);
    if (id == kTextEdit && HIWORD(wParam) == EN_CHANGE) {
        EnableWindow(GetDlgItem(dialog, IDOK),
                     GetWindowTextLengthA(GetDlgItem(dialog, kTextEdit)) > 0);
        return TRUE;
    }
    if (id == IDOK && HIWORD(wParam) == BN_CLICKED) {
        entry->text = WindowText(GetDlgItem(dialog, kTextEdit));
        // Return reaches OK even while it is greyed; an empty text is no answer.
        if (!entry->text.empty()) EndDialog(dialog, IDOK);
        return TRUE;
    }
    if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

// The text typed, or nothing when the user cancelled.
bool AskText(HWND owner, const std::string& caption, const std::string& prompt, std::string& text) {
    TextEntry entry{caption, prompt, {}};
    if (DialogBoxParamA(0, MAKEINTRESOURCEA(kTextTemplate), owner, TextEntryProcedure,
                        reinterpret_cast<LPARAM>(&entry)) != IDOK)
        return false;
    text = entry.text;
    return true;
}

// ---- Control pickers -----------------------------------------------------------------

struct Picker {
    int32_t deviceType;
    int combo;
    int32_t row = -1;
};

INT_PTR PickerProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* picker = reinterpret_cast<Picker*>(lParam);
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        HWND combo = GetDlgItem(dialog, picker->combo);
        for (int32_t row = 0; row < ControlNameTable::kRowCount; ++row) {
            const ControlNameRow* entry = ControlNameTable::GetRow(row);
            if (entry->deviceType != picker->deviceType) continue;
            auto at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry->name));
            SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), row);
        }
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
        return TRUE;
    }
    auto* picker = reinterpret_cast<Picker*>(GetWindowLongPtrA(dialog, DWL_USER));
    if (message != WM_COMMAND || picker == nullptr) return FALSE;
    if (LOWORD(wParam) == IDOK) {
        HWND combo = GetDlgItem(dialog, picker->combo);
        LRESULT chosen = SendMessageA(combo, CB_GETCURSEL, 0, 0);
        if (chosen < 0) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        picker->row = static_cast<int32_t>(SendMessageA(combo, CB_GETITEMDATA, chosen, 0));
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

// ---- Key capture ---------------------------------------------------------------------

// One capture at a time: the hook and the dialog it posts to.
HHOOK captureHook = 0;
HWND captureDialog = 0;

LRESULT CaptureHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code < 0) return CallNextHookEx(captureHook, code, wParam, lParam);
    if (code != MSGF_DIALOGBOX) return 0;
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return 0;
    auto key = static_cast<int>(msg->wParam);
    if (key == VK_SHIFT) {
        if (GetAsyncKeyState(VK_LSHIFT) < 0)
            key = VK_LSHIFT;
        else if (GetAsyncKeyState(VK_RSHIFT) < 0)
            key = VK_RSHIFT;
        else
            return 1;
    }
    PostMessageA(captureDialog, kKeyCaptured, static_cast<WPARAM>(key), 0);
    return 1;
}

void RemoveCaptureHook() {
    if (captureHook != 0) UnhookWindowsHookEx(captureHook);
    captureHook = 0;
    captureDialog = 0;
}

INT_PTR KeyCaptureProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        RemoveCaptureHook();
        captureDialog = dialog;
        captureHook = SetWindowsHookExA(WH_MSGFILTER, CaptureHook, 0, GetCurrentThreadId());
        return TRUE;
    case kKeyCaptured: {
        RemoveCaptureHook();
        auto* row = reinterpret_cast<int32_t*>(GetWindowLongPtrA(dialog, DWL_USER));
        for (int32_t index = 0; index < ControlNameTable::kRowCount; ++index) {
            const ControlNameRow* entry = ControlNameTable::GetRow(index);
            if (entry->deviceType == kInputKeyboard &&
                entry->index == static_cast<int32_t>(wParam)) {
                *row = index;
                EndDialog(dialog, IDOK);
                return TRUE;
            }
        }
        MessageBoxA(dialog, LoadText(kTextUnsupportedKey).c_str(), "", MB_OK | MB_ICONERROR);
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        RemoveCaptureHook();
        return FALSE;
    default:
        return FALSE;
    }
}

// The row of the control the user chose for a device type, or -1.
int32_t PickControl(HWND owner, int32_t deviceType) {
    if (deviceType == kInputKeyboard) {
        int32_t row = -1;
        INT_PTR result = DialogBoxParamA(0, MAKEINTRESOURCEA(kKeyTemplate), owner,
                                         KeyCaptureProcedure, reinterpret_cast<LPARAM>(&row));
        return result == IDOK ? row : -1;
    }
    bool joystick = deviceType == kInputJoystick;
    Picker picker{deviceType, joystick ? kJoystickPicker : kMousePicker};
    INT_PTR result =
        DialogBoxParamA(0, MAKEINTRESOURCEA(joystick ? kJoystickTemplate : kMouseTemplate), owner,
                        PickerProcedure, reinterpret_cast<LPARAM>(&picker));
    return result == IDOK ? picker.row : -1;
}

// ---- The set-up dialog ---------------------------------------------------------------

// The controls that move or grow when the window is sized, with their first places.
constexpr std::array<int, 14> kLaidOut = {
    kTree,           IDOK,       IDCANCEL,    kOrderArrows, kDeviceOrder,
    kOrderLabel,     kGameTypes, kGroupBox,   kAddGameType, kRenameGameType,
    kDeleteGameType, kNewPlayer, kNewCommand, kNewBinding};

class SetupDialog : public PlacementDialog {
public:
    SetupDialog(GameInputManager& manager, std::string name)
        : PlacementDialog(placementRoot, true), manager_(manager), backup_(manager.WriteSettings()),
          name_(std::move(name)) {}

    int DoModal(HWND owner) {
        INT_PTR result = DialogBoxParamA(0, MAKEINTRESOURCEA(kMainTemplate), owner, Procedure,
                                         reinterpret_cast<LPARAM>(this));
        // A dialog that went without OK or Annuler (the program quitting under it) keeps none
        // of its edits, as its caller hears that it was not confirmed.
        if (window_ != 0 && !answered_) manager_.LoadSettingsMemory(backup_.data(), backup_.size());
        return static_cast<int>(result);
    }
    const std::string& Name() const { return name_; }

private:
    static INT_PTR Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWL_USER, lParam);
        auto* self = reinterpret_cast<SetupDialog*>(GetWindowLongPtrA(dialog, DWL_USER));
        return self != nullptr ? self->Handle(dialog, message, wParam, lParam) : FALSE;
    }

    HWND Item(int id) const { return GetDlgItem(window_, id); }
    LRESULT SendItem(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageA(Item(id), message, wParam, lParam);
    }

    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG:
            Init(dialog);
            return TRUE;
        case WM_COMMAND:
            Command(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY:
            return Notify(reinterpret_cast<NMHDR*>(lParam));
        case WM_VSCROLL:
            if (static_cast<HWND>(lParam) == Item(kOrderArrows) &&
                LOWORD(wParam) == SB_THUMBPOSITION)
                MoveDevice(static_cast<short>(HIWORD(wParam)));
            return TRUE;
        case WM_SIZE:
            LayOut();
            return TRUE;
        case WM_SIZING:
            KeepFirstSize(static_cast<int>(wParam), reinterpret_cast<RECT*>(lParam));
            return TRUE;
        default:
            return FALSE;
        }
    }

    void Init(HWND dialog) {
        window_ = dialog;
        GetClientRect(dialog, &firstClient_);
        GetWindowRect(dialog, &firstWindow_);
        for (size_t i = 0; i < kLaidOut.size(); ++i) {
            GetWindowRect(Item(kLaidOut[i]), &firstPlaces_[i]);
            MapWindowPoints(0, dialog, reinterpret_cast<POINT*>(&firstPlaces_[i]), 2);
        }
        for (int32_t i = 0; i < manager_.GetSettingCount(); ++i) {
            InputSetting* setting = manager_.GetSettingAt(i);
            auto at = SendItem(kGameTypes, CB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(setting->name.c_str()));
            SendItem(kGameTypes, CB_SETITEMDATA, static_cast<WPARAM>(at),
                     reinterpret_cast<LPARAM>(setting));
        }
        if (manager_.GetSettingCount() == 0) {
            Enable(false);
        } else {
            Enable(true);
            auto count = static_cast<int>(SendItem(kGameTypes, CB_GETCOUNT));
            int chosen = 0;
            for (int i = 0; i < count; ++i)
                if (GameTypeAt(i)->name == name_) {
                    chosen = i;
                    break;
                }
            SendItem(kGameTypes, CB_SETCURSEL, static_cast<WPARAM>(chosen));
            FillTree();
            FillList();
        }
        RestorePlacement("CGameSetupDlg", dialog);
    }

    InputSetting* GameTypeAt(int index) const {
        return reinterpret_cast<InputSetting*>(
            SendItem(kGameTypes, CB_GETITEMDATA, static_cast<WPARAM>(index)));
    }
    InputSetting* GameType() const {
        auto chosen = static_cast<int>(SendItem(kGameTypes, CB_GETCURSEL));
        return chosen < 0 ? nullptr : GameTypeAt(chosen);
    }

    // ---- The tree ----

    HTREEITEM Insert(HTREEITEM parent, const std::string& text, int kind,
                     InputPlayer* player = nullptr, InputBinding* binding = nullptr) {
        TVINSERTSTRUCTA insert{};
        insert.hParent = parent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = const_cast<LPSTR>(text.c_str());
        auto* record = new ItemRecord{kind, player, binding};
        insert.item.lParam = reinterpret_cast<LPARAM>(record);
        auto item = static_cast<HTREEITEM>(
            SendItem(kTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        if (item == 0) delete record;
        return item;
    }
    ItemRecord* Record(HTREEITEM item) const {
        if (item == 0) return nullptr;
        TVITEMA fields{};
        fields.mask = TVIF_PARAM;
        fields.hItem = item;
        if (!SendItem(kTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&fields))) return nullptr;
        return reinterpret_cast<ItemRecord*>(fields.lParam);
    }
    std::string ItemText(HTREEITEM item) const {
        char buffer[512] = {};
        TVITEMA fields{};
        fields.mask = TVIF_TEXT;
        fields.hItem = item;
        fields.pszText = buffer;
        fields.cchTextMax = sizeof buffer;
        SendItem(kTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&fields));
        return buffer;
    }
    HTREEITEM Next(UINT code, HTREEITEM item = 0) const {
        return static_cast<HTREEITEM>(SendItem(kTree, TVM_GETNEXTITEM, code, item));
    }
    HTREEITEM Selected() const { return Next(TVGN_CARET); }
    HTREEITEM Up(HTREEITEM item, int levels) const {
        for (int i = 0; i < levels && item != 0; ++i)
            item = Next(TVGN_PARENT, item);
        return item;
    }
    void Select(HTREEITEM item) { SendItem(kTree, TVM_SELECTITEM, TVGN_CARET, item); }

    static std::string ControlName(const InputBinding& binding) {
        const ControlNameRow* row = ControlNameTable::GetRow(binding.row);
        return row != nullptr ? row->name : binding.unknownName;
    }
    static std::string RowName(int32_t row) {
        const ControlNameRow* entry = ControlNameTable::GetRow(row);
        return entry != nullptr ? entry->name : "";
    }

    void InsertBindings(HTREEITEM group, const std::vector<InputBinding*>& bindings, int kind,
                        InputPlayer* player) {
        for (InputBinding* binding : bindings) {
            HTREEITEM item = Insert(group, ControlName(*binding), kind, player, binding);
            for (const InputCondition& condition : binding->conditions)
                Insert(item, condition.name, kConditionItem, player, binding);
        }
    }

    void InsertGroups(HTREEITEM command, InputPlayer* player, const InputAction* action) {
        static constexpr struct {
            UINT text;
            int group;
            int binding;
            int32_t type;
        } kGroups[] = {{kTextJoystickGroup, kJoystickGroup, kJoystickBinding, kInputJoystick},
                       {kTextKeyboardGroup, kKeyboardGroup, kKeyboardBinding, kInputKeyboard},
                       {kTextMouseGroup, kMouseGroup, kMouseBinding, kInputMouse}};
        for (const auto& group : kGroups) {
            HTREEITEM item = Insert(command, LoadText(group.text), group.group, player);
            if (action != nullptr)
                InsertBindings(item, action->bindings[group.type - 1], group.binding, player);
        }
    }

    std::string PlayerLabel(int number) const {
        return LoadText(kTextPlayer) + " " + std::to_string(number);
    }

    void FillTree() {
        SendItem(kTree, TVM_DELETEITEM, 0, TVI_ROOT);
        InputSetting* setting = GameType();
        EnableWindow(Item(kDeleteGameType), setting != nullptr);
        EnableWindow(Item(kRenameGameType), setting != nullptr);
        if (setting == nullptr) return;
        int number = 0;
        for (const std::unique_ptr<InputPlayer>& player : setting->players) {
            if (!player) continue;
            HTREEITEM playerItem =
                Insert(TVI_ROOT, PlayerLabel(++number), kPlayerItem, player.get());
            for (const std::unique_ptr<InputAction>& action : player->actions) {
                HTREEITEM command = Insert(playerItem, action->name, kCommandItem, player.get());
                InsertGroups(command, player.get(), action.get());
            }
        }
    }

    void FillList() {
        SendItem(kDeviceOrder, LB_RESETCONTENT);
        InputSetting* setting = GameType();
        if (setting == nullptr) return;
        for (int32_t type : setting->preferred) {
            UINT text = type == kInputMouse      ? kTextMouse
                        : type == kInputJoystick ? kTextJoystick
                        : type == kInputKeyboard ? kTextKeyboard
                                                 : 0;
            if (text != 0)
                SendItem(kDeviceOrder, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(LoadText(text).c_str()));
        }
    }

    void Enable(bool on) {
        for (int id : {kTree, kNewPlayer, kDeviceOrder})
            EnableWindow(Item(id), on);
        bool chosen = SendItem(kGameTypes, CB_GETCURSEL) >= 0;
        EnableWindow(Item(kRenameGameType), chosen);
        EnableWindow(Item(kDeleteGameType), chosen);
        if (!on) {
            for (int id : {kOrderArrows, kNewCommand, kNewBinding})
                EnableWindow(Item(id), FALSE);
            return;
        }
        SelectionChanged();
        EnableWindow(Item(kOrderArrows), SendItem(kDeviceOrder, LB_GETCURSEL) >= 0);
    }

    void SelectionChanged() {
        ItemRecord* record = Record(Selected());
        EnableWindow(Item(kNewCommand), record != nullptr);
        bool entry =
            record != nullptr && record->kind != kPlayerItem && record->kind != kCommandItem;
        EnableWindow(Item(kNewBinding), entry);
    }

    void FocusTree() { SetFocus(Item(kTree)); }

    // ---- Commands ----

    void Command(int id, WORD code) {
        bool clicked = code == BN_CLICKED;
        switch (id) {
        case kNewPlayer:
            if (clicked) NewPlayer();
            break;
        case kMenuNewPlayer:
            NewPlayer();
            break;
        case kNewCommand:
            if (clicked) NewCommand();
            break;
        case kMenuNewCommand:
            NewCommand();
            break;
        case kNewBinding:
            if (clicked) NewBinding();
            break;
        case kMenuNewBinding:
            NewBinding();
            break;
        case kMenuJoystickCondition:
            NewCondition(kInputJoystick);
            break;
        case kMenuKeyboardCondition:
            NewCondition(kInputKeyboard);
            break;
        case kMenuMouseCondition:
            NewCondition(kInputMouse);
            break;
        case kMenuDeleteBinding:
            DeleteBinding();
            break;
        case kMenuDeleteCondition:
            DeleteCondition();
            break;
        case kMenuDeleteCommand:
            DeleteCommand();
            break;
        case kMenuDeletePlayer:
            DeletePlayer();
            break;
        case kGameTypes:
            if (code == CBN_SELCHANGE) {
                if (InputSetting* setting = GameType()) name_ = setting->name;
                FillTree();
                FillList();
            }
            break;
        case kAddGameType:
            if (clicked) AddGameType();
            break;
        case kRenameGameType:
            if (clicked) RenameGameType();
            break;
        case kDeleteGameType:
            if (clicked) DeleteGameType();
            break;
        case kDeviceOrder:
            if (code == LBN_SELCHANGE) DeviceChosen();
            break;
        case IDOK:
            SavePlacement();
            answered_ = true;
            EndDialog(window_, IDOK);
            break;
        case IDCANCEL:
            manager_.LoadSettingsMemory(backup_.data(), backup_.size());
            SavePlacement();
            answered_ = true;
            EndDialog(window_, IDCANCEL);
            break;
        default:
            break;
        }
    }

    void NewPlayer() {
        InputSetting* setting = GameType();
        if (setting == nullptr) return;
        setting->players.push_back(std::make_unique<InputPlayer>(setting));
        int shown = 0;
        for (HTREEITEM item = Next(TVGN_ROOT); item != 0; item = Next(TVGN_NEXT, item))
            ++shown;
        HTREEITEM item =
            Insert(TVI_ROOT, PlayerLabel(shown + 1), kPlayerItem, setting->players.back().get());
        Select(item);
        FocusTree();
    }

    void NewCommand() {
        std::string name;
        if (AskText(window_, LoadText(kTextNewCommand), LoadText(kTextCommandPrompt), name)) {
            HTREEITEM playerItem = Selected();
            ItemRecord* record = Record(playerItem);
            while (playerItem != 0 && (record == nullptr || record->kind != kPlayerItem)) {
                playerItem = Next(TVGN_PARENT, playerItem);
                record = Record(playerItem);
            }
            if (playerItem != 0) {
                HTREEITEM command = Insert(playerItem, name, kCommandItem, record->player);
                record->player->AddAction(name);
                InsertGroups(command, record->player, nullptr);
                SendItem(kTree, TVM_EXPAND, TVE_EXPAND, command);
            }
        }
        FocusTree();
    }

    void NewBinding() {
        HTREEITEM group = Selected();
        ItemRecord* record = Record(group);
        while (group != 0 &&
               (record == nullptr || record->kind < kJoystickGroup || record->kind > kMouseGroup)) {
            group = Next(TVGN_PARENT, group);
            record = Record(group);
        }
        if (group != 0) {
            int32_t type = record->kind == kJoystickGroup   ? kInputJoystick
                           : record->kind == kKeyboardGroup ? kInputKeyboard
                                                            : kInputMouse;
            int32_t row = PickControl(window_, type);
            const ControlNameRow* entry = ControlNameTable::GetRow(row);
            HTREEITEM command = Next(TVGN_PARENT, group);
            ItemRecord* playerRecord = Record(Next(TVGN_PARENT, command));
            if (entry != nullptr && playerRecord != nullptr) {
                InputBinding* binding = playerRecord->player->AddBinding(type, ItemText(command),
                                                                         entry->controlId, row);
                int kind = type == kInputJoystick   ? kJoystickBinding
                           : type == kInputKeyboard ? kKeyboardBinding
                                                    : kMouseBinding;
                Select(Insert(group, entry->name, kind, playerRecord->player, binding));
            }
        }
        FocusTree();
    }

    void NewCondition(int32_t type) {
        HTREEITEM bindingItem = Selected();
        ItemRecord* record = Record(bindingItem);
        if (record == nullptr || record->binding == nullptr || record->kind == kConditionItem)
            return;
        int32_t row = PickControl(window_, type);
        const ControlNameRow* entry = ControlNameTable::GetRow(row);
        if (entry != nullptr) {
            record->binding->AddCondition(type, entry->name, entry->controlId, row);
            Select(
                Insert(bindingItem, entry->name, kConditionItem, record->player, record->binding));
        }
        FocusTree();
    }

    void DeleteBinding() {
        HTREEITEM item = Selected();
        ItemRecord* record = Record(item);
        if (record == nullptr || record->binding == nullptr || record->kind == kConditionItem)
            return;
        InputPlayer* player = record->player;
        InputBinding* binding = record->binding;
        SendItem(kTree, TVM_DELETEITEM, 0, item);
        player->RemoveBinding(binding, 1);
    }

    void DeleteCondition() {
        HTREEITEM item = Selected();
        ItemRecord* record = Record(item);
        if (record == nullptr || record->kind != kConditionItem) return;
        int place = 0;
        for (HTREEITEM at = Next(TVGN_PREVIOUS, item); at != 0; at = Next(TVGN_PREVIOUS, at))
            ++place;
        std::vector<InputCondition>& conditions = record->binding->conditions;
        if (place < static_cast<int>(conditions.size()))
            conditions.erase(conditions.begin() + place);
        SendItem(kTree, TVM_DELETEITEM, 0, item);
    }

    void DeleteCommand() {
        HTREEITEM item = Selected();
        ItemRecord* record = Record(item);
        if (record == nullptr || record->kind != kCommandItem) return;
        InputPlayer* player = record->player;
        std::string name = ItemText(item);
        player->RemoveAction(name);
        SendItem(kTree, TVM_DELETEITEM, 0, item);
    }

    void DeletePlayer() {
        HTREEITEM item = Selected();
        ItemRecord* record = Record(item);
        InputSetting* setting = GameType();
        if (record == nullptr || record->kind != kPlayerItem || setting == nullptr) return;
        // Deleting the item frees its record: the player is taken from it first.
        InputPlayer* player = record->player;
        SendItem(kTree, TVM_DELETEITEM, 0, item);
        auto& players = setting->players;
        players.erase(std::remove_if(players.begin(), players.end(),
                                     [player](const std::unique_ptr<InputPlayer>& held) {
                                         return held.get() == player;
                                     }),
                      players.end());
        int number = 0;
        for (HTREEITEM at = Next(TVGN_ROOT); at != 0; at = Next(TVGN_NEXT, at)) {
            std::string label = PlayerLabel(++number);
            TVITEMA fields{};
            fields.mask = TVIF_TEXT;
            fields.hItem = at;
            fields.pszText = label.data();
            SendItem(kTree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&fields));
        }
    }

    void AddToCombo(InputSetting* setting) {
        auto at =
            SendItem(kGameTypes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(setting->name.c_str()));
        SendItem(kGameTypes, CB_SETITEMDATA, static_cast<WPARAM>(at),
                 reinterpret_cast<LPARAM>(setting));
        SendItem(kGameTypes, CB_SETCURSEL, static_cast<WPARAM>(at));
        name_ = setting->name;
    }

    void AddGameType() {
        std::string name;
        std::string prompt = LoadText(kTextGameTypeName);
        if (!AskText(window_, prompt, prompt, name)) return;
        InputSetting* setting = manager_.AddSetting(name);
        if (setting == nullptr) return;
        AddToCombo(setting);
        FillTree();
        Enable(true);
        FillList();
    }

    void RenameGameType() {
        InputSetting* setting = GameType();
        if (setting == nullptr) return;
        std::string name;
        if (!AskText(window_, setting->name, setting->name, name)) return;
        SendItem(kGameTypes, CB_DELETESTRING,
                 static_cast<WPARAM>(SendItem(kGameTypes, CB_GETCURSEL)));
        setting->name = name;
        AddToCombo(setting);
        Enable(true);
        FillList();
    }

    void DeleteGameType() {
        InputSetting* setting = GameType();
        if (setting == nullptr) return;
        if (MessageBoxA(window_, LoadText(kTextConfirmDelete).c_str(), "",
                        MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        SendItem(kGameTypes, CB_DELETESTRING,
                 static_cast<WPARAM>(SendItem(kGameTypes, CB_GETCURSEL)));
        // The tree's items point into the game type: they go before it does.
        SendItem(kTree, TVM_DELETEITEM, 0, TVI_ROOT);
        manager_.RemoveSetting(setting);
        SendItem(kGameTypes, CB_SETCURSEL, 0);
        if (InputSetting* now = GameType()) name_ = now->name;
        FillTree();
        FillList();
        if (GameType() != nullptr)
            Enable(true);
        else
            Enable(false);
    }

    void DeviceChosen() {
        auto chosen = static_cast<int>(SendItem(kDeviceOrder, LB_GETCURSEL));
        if (chosen < 0) {
            EnableWindow(Item(kOrderArrows), FALSE);
            return;
        }
        auto count = static_cast<int>(SendItem(kDeviceOrder, LB_GETCOUNT));
        SendItem(kOrderArrows, UDM_SETRANGE, 0, MAKELONG(count - 1, 0));
        SendItem(kOrderArrows, UDM_SETPOS, 0, chosen);
        EnableWindow(Item(kOrderArrows), TRUE);
    }

    // The arrows moved their position from the chosen element to `position`: the element
    // trades places with its neighbour on that side.
    void MoveDevice(int position) {
        InputSetting* setting = GameType();
        auto chosen = static_cast<int>(SendItem(kDeviceOrder, LB_GETCURSEL));
        if (setting == nullptr || chosen < 0) return;
        auto count = static_cast<int>(SendItem(kDeviceOrder, LB_GETCOUNT));
        int to = chosen;
        if (position < chosen && chosen > 0) to = chosen - 1;
        if (position > chosen && chosen + 1 < count) to = chosen + 1;
        if (to != chosen) std::swap(setting->preferred[chosen], setting->preferred[to]);
        FillList();
        SendItem(kDeviceOrder, LB_SETCURSEL, static_cast<WPARAM>(to));
        DeviceChosen();
    }

    LRESULT Answer(LRESULT result) {
        SetWindowLongPtrA(window_, DWL_MSGRESULT, result);
        return TRUE;
    }

    INT_PTR Notify(const NMHDR* header) {
        if (header == nullptr || header->idFrom != kTree) return FALSE;
        switch (header->code) {
        case TVN_DELETEITEMA:
            delete reinterpret_cast<ItemRecord*>(
                reinterpret_cast<const NMTREEVIEWA*>(header)->itemOld.lParam);
            return TRUE;
        case TVN_SELCHANGEDA:
            SelectionChanged();
            return TRUE;
        case NM_RCLICK:
            ContextMenu();
            return Answer(0);
        case NM_DBLCLK: {
            POINT at{};
            GetCursorPos(&at);
            ScreenToClient(Item(kTree), &at);
            TVHITTESTINFO hit{at, 0, 0};
            if (SendItem(kTree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) != 0)
                Select(hit.hItem);
            return Answer(0);
        }
        default:
            return FALSE;
        }
    }

    void ContextMenu() {
        POINT screen{};
        GetCursorPos(&screen);
        POINT at = screen;
        ScreenToClient(Item(kTree), &at);
        TVHITTESTINFO hit{at, 0, 0};
        SendItem(kTree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        WORD menuId = kNowhereMenu;
        if (hit.hItem != 0) {
            Select(hit.hItem);
            ItemRecord* record = Record(hit.hItem);
            switch (record != nullptr ? record->kind : 0) {
            case kPlayerItem:
                menuId = kPlayerMenu;
                break;
            case kCommandItem:
                menuId = kCommandMenu;
                break;
            case kJoystickGroup:
            case kKeyboardGroup:
            case kMouseGroup:
                menuId = kGroupMenu;
                break;
            case kJoystickBinding:
            case kKeyboardBinding:
            case kMouseBinding:
                menuId = kBindingMenu;
                break;
            case kConditionItem:
                menuId = kConditionMenu;
                break;
            default:
                return;
            }
        }
        HMENU menu = LoadMenuA(0, MAKEINTRESOURCEA(menuId));
        if (menu == 0) return;
        TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                       window_, nullptr);
        DestroyMenu(menu);
    }

    // ---- Sizing ----

    void Place(size_t index, int dx, int dy, int dw, int dh) {
        const RECT& first = firstPlaces_[index];
        MoveWindow(Item(kLaidOut[index]), first.left + dx, first.top + dy,
                   first.right - first.left + dw, first.bottom - first.top + dh, FALSE);
    }

    void LayOut() {
        if (window_ == 0 || firstClient_.right == 0) return;
        RECT client{};
        GetClientRect(window_, &client);
        int dw = std::max<int>(client.right - firstClient_.right, 0);
        int dh = std::max<int>(client.bottom - firstClient_.bottom, 0);
        auto at = [](int id) {
            return static_cast<size_t>(std::find(kLaidOut.begin(), kLaidOut.end(), id) -
                                       kLaidOut.begin());
        };
        Place(at(kTree), 0, 0, dw, dh);
        Place(at(IDOK), dw / 2, dh, 0, 0);
        Place(at(IDCANCEL), dw / 2, dh, 0, 0);
        Place(at(kOrderArrows), dw, dh, 0, 0);
        Place(at(kAddGameType), 0, 0, dw / 3, 0);
        Place(at(kRenameGameType), dw / 3, 0, dw / 3, 0);
        Place(at(kDeleteGameType), 2 * dw / 3, 0, dw / 3, 0);
        Place(at(kGroupBox), 0, 0, dw, 0);
        Place(at(kGameTypes), 0, 0, dw, 0);
        Place(at(kDeviceOrder), 0, dh, dw, 0);
        Place(at(kOrderLabel), 0, dh, 0, 0);
        Place(at(kNewPlayer), 0, dh, dw / 3, 0);
        Place(at(kNewCommand), dw / 3, dh, dw / 3, 0);
        Place(at(kNewBinding), 2 * dw / 3, dh, dw / 3, 0);
        InvalidateRect(window_, nullptr, TRUE);
    }

    void KeepFirstSize(int edge, RECT* frame) {
        if (frame == nullptr) return;
        LONG width = firstWindow_.right - firstWindow_.left;
        LONG height = firstWindow_.bottom - firstWindow_.top;
        if (frame->right - frame->left < width) {
            if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
                frame->left = frame->right - width;
            else
                frame->right = frame->left + width;
        }
        if (frame->bottom - frame->top < height) {
            if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT)
                frame->top = frame->bottom - height;
            else
                frame->bottom = frame->top + height;
        }
    }

    GameInputManager& manager_;
    // The settings text as the dialog found it, which Cancel puts back.
    std::string backup_;
    std::string name_;
    HWND window_ = 0;
    bool answered_ = false;
    RECT firstClient_{};
    RECT firstWindow_{};
    std::array<RECT, kLaidOut.size()> firstPlaces_{};
};

} // namespace

int RunSetupDialog(GameInputManager& manager, HWND owner, std::string& name) {
    auto dialog = std::make_unique<SetupDialog>(manager, name);
    int result = dialog->DoModal(owner);
    name = result == IDOK ? dialog->Name() : std::string();
    return result;
}

namespace input_setup {

void SetPlacementRoot(HKEY root) {
    placementRoot = root;
}

} // namespace input_setup
