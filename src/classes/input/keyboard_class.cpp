#include "classes/input/keyboard_class.h"

#include <array>
#include <iterator>
#include <new>
#include <utility>

#include "classes/window/child_window.h"
#include "classes/window/window_class.h"
#include "platform/user/input/input.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/run_application.h"
#include "script/values/value.h"

namespace {

using K = CIKeyboard;

constexpr LPARAM kContextCode = LPARAM(1) << 29;
constexpr int32_t kFlagShift = 1;
constexpr int32_t kFlagControl = 2;
constexpr int32_t kFlagAlt = 4;
constexpr int32_t kNullString = 19;
constexpr int32_t kNotCreatable = 65;

// Constant values by id from 3 to 0x3B; the Applications key at 0x38 has no name.
constexpr int32_t kConstantValues[] = {
    0x11, 0xA0, 0xA1, 0x12, 0x01, 0x02, 0x04, 0x08, 0x09, 0x0C, 0x0D, 0x1B, 0x21, 0x22, 0x23,
    0x24, 0x25, 0x27, 0x26, 0x28, 0x2D, 0x2E, 0x2F, 0x14, 0x70, 0x71, 0x72, 0x73, 0x74, 0x75,
    0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B, 0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68,
    0x69, 0x6A, 0x6B, 0x6D, 0x6E, 0x6F, 0x5B, 0x5C, 0x5D, 0x90, 0x91, 0x10,
};

const char* const kConstantNames[] = {
    "CONTROL",  "LSHIFT",  "RSHIFT", "ALT",    "LBUTTON", "RBUTTON",  "MBUTTON",  "BACK",
    "TAB",      "CLEAR",   "RETURN", "ESCAPE", "PAGEUP",  "PAGEDOWN", "END",      "HOME",
    "LEFT",     "RIGHT",   "UP",     "DOWN",   "INSERT",  "DELETE",   "HELP",     "CAPSLOCK",
    "F1",       "F2",      "F3",     "F4",     "F5",      "F6",       "F7",       "F8",
    "F9",       "F10",     "F11",    "F12",    "NUM0",    "NUM1",     "NUM2",     "NUM3",
    "NUM4",     "NUM5",    "NUM6",   "NUM7",   "NUM8",    "NUM9",     "MULTIPLY", "ADD",
    "SUBTRACT", "DECIMAL", "DIVIDE", "LWIN",   "RWIN",    "NUMLOCK",  "SCROLL",   "SHIFT",
};
static_assert(std::size(kConstantNames) == 56);

// The names in table order: ids 3 to 0x37 for the first 53, then 0x39 to 0x3B.
struct NameTable {
    MethodNameRow rows[2 + std::size(kConstantNames) + 1];
    NameTable() {
        rows[0] = {K::kClassId, "Keyboard", 0, 0};
        rows[1] = {K::kIsKeyDown, "IsKeyDown", 0, 0};
        uint32_t id = K::kFirstConstantId;
        for (size_t i = 0; i < std::size(kConstantNames); ++i) {
            if (id == 0x38) ++id;
            rows[2 + i] = {uint16_t(id++), kConstantNames[i], 0, kRowConstant};
        }
        rows[std::size(rows) - 1] = {0, nullptr, 0, 0};
    }
};

const NameTable& Names() {
    static const NameTable table;
    return table;
}

template <uint32_t Id> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(K::ConstantValue(Id));
}

template <uint32_t... Ids>
constexpr std::array<ClassLevelHandler, sizeof...(Ids)>
MakeHandlers(std::integer_sequence<uint32_t, Ids...>) {
    return {&Constant<K::kFirstConstantId + Ids>...};
}

const auto kConstants = MakeHandlers(
    std::make_integer_sequence<uint32_t, K::kLastConstantId - K::kFirstConstantId + 1>());

CIBaseClassImpl* NewKeyboard(CInterpretor& interpreter, const CClassRecord* record) {
    bool singleton = interpreter.GetSingleton(K::kClassId) == nullptr;
    return new (std::nothrow) CIKeyboard(&interpreter, record, singleton);
}

const ScriptClassInfo& ClassInfo() {
    static const ScriptClassInfo info = {
        Names().rows,
        NewKeyboard,
        K::kFirstConstantId - 1,
        kConstants.data(),
        uint32_t(kConstants.size()),
        nullptr,
        nullptr,
    };
    return info;
}

bool Down(int key) {
    return GetKeyState(key) < 0;
}

} // namespace

class CIKeyboard::KeyFilter final : public CIBaseMessages {
public:
    KeyFilter(CInterpretor* interpreter, CIKeyboard& keyboard)
        : CIBaseMessages(interpreter), keyboard_(keyboard) {}
    int Filter(MSG* message) override { return keyboard_.FilterMessage(message); }

private:
    CIKeyboard& keyboard_;
};

const ScriptMethod<CIKeyboard> CIKeyboard::kMethods[2] = {nullptr, &K::IsKeyDown};

CIKeyboard::CIKeyboard(CInterpretor* interpreter, const CClassRecord* record, bool filter)
    : CIBaseClassImpl(interpreter, record, 1) {
    if (filter) filter_ = std::make_unique<KeyFilter>(interpreter, *this);
}

CIKeyboard::~CIKeyboard() = default;

void CIKeyboard::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIKeyboard::Destroy(int) {
    delete this;
}

void CIKeyboard::Create() {
    interpreter->RaiseError(kNotCreatable);
}

int32_t CIKeyboard::ConstantValue(uint32_t id) {
    if (id < kFirstConstantId || id > kLastConstantId) return -1;
    return kConstantValues[id - kFirstConstantId];
}

void CIKeyboard::IsKeyDown() {
    CInterpretor& in = *interpreter;
    CValue* result = in.GetResultSlot();
    if (in.GetArgCount() == 0 || in.IsArgDefault(0)) {
        int down = 0;
        if (in.IsApplicationActive()) {
            for (int key = 0; key < 255 && down == 0; ++key)
                down = GetAsyncKeyState(key) < 0 ? 1 : 0;
        }
        result->SetInt(down);
        return;
    }
    int32_t key = 0;
    if (in.GetArg(0)->GetType() == kValueString) {
        const char* text = in.GetArgString(0);
        if (text == nullptr) in.RaiseError(kNullString);
        // Characters are bytes 0..255, never negative codes.
        unsigned char character = static_cast<unsigned char>(text[0]);
        if (character >= 'A' && character <= 'Z')
            key = character;
        else
            key = VkKeyScanA(CHAR(character)) & 0xFF;
    } else {
        key = in.GetArgInt(0);
    }
    // Codes outside the key table read as up.
    int down = in.IsApplicationActive() && key >= 0 && key <= 255 && GetAsyncKeyState(key) < 0;
    result->SetInt(down);
}

int CIKeyboard::FilterMessage(MSG* message) {
    const UINT kind = message->message;
    if (kind != WM_KEYDOWN && kind != WM_KEYUP && kind != WM_SYSKEYDOWN && kind != WM_SYSKEYUP)
        return CIBaseMessages::kPass;
    int32_t flags = 0;
    if ((kind == WM_SYSKEYDOWN || kind == WM_SYSKEYUP) && (message->lParam & kContextCode) != 0)
        flags = kFlagAlt;
    CIBaseClassImpl* object = GetWindowObject(message->hwnd, kWindowObjectProperty);
    auto* control = dynamic_cast<CIChildWindow*>(object);
    if (control == nullptr) return CIBaseMessages::kPass;
    const bool down = kind == WM_KEYDOWN || kind == WM_SYSKEYDOWN;
    const int key = int(message->wParam);
    if (down && key == VK_TAB) {
        const bool shift = Down(VK_SHIFT);
        if (control->classIndex == CIWindow::kClassId) {
            auto* window = static_cast<CIWindow*>(control);
            int moved = shift ? window->FocusFirstControl() : window->FocusLastControl();
            if (moved != 0) return CIBaseMessages::kSwallow;
        } else if (control->KeepsTabKey() == 0 && control->parent != nullptr) {
            if (shift)
                control->parent->FocusPreviousControl(control);
            else
                control->parent->FocusNextControl(control);
            return CIBaseMessages::kSwallow;
        }
    }
    const BlockRecord* handler = down ? control->onKeyDown : control->onKeyUp;
    if (handler == nullptr) return CIBaseMessages::kPass;
    int32_t code = key;
    char text[2] = {0, 0};
    bool named = false;
    for (uint32_t id = kFirstConstantId; id <= kLastConstantId && !named; ++id)
        named = ConstantValue(id) == key;
    if (!named) {
        UINT character = MapVirtualKeyA(UINT(key), MAPVK_VK_TO_CHAR);
        if (character != 0) {
            code = int32_t(character & 0xFF);
            text[0] = char(character & 0xFF);
        }
    }
    if (Down(VK_SHIFT)) flags |= kFlagShift;
    if (Down(VK_CONTROL)) flags |= kFlagControl;
    if (Down(VK_MENU)) flags |= kFlagAlt;
    CValue source(control);
    CValue codeValue(interpreter);
    codeValue.SetInt(code);
    CValue flagsValue(interpreter);
    flagsValue.SetInt(flags);
    CValue textValue(interpreter);
    textValue.SetString(text, 0);
    interpreter->PostEvent(handler, &source, &codeValue, &flagsValue, &textValue);
    return CIBaseMessages::kPass;
}

const ScriptClassInfo* GetKeyboardClassInfo() {
    return &ClassInfo();
}
