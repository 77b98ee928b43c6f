#include "platform/display/input_script.h"

#include <array>
#include <cstdint>

#include "platform/kernel/cp1252.h"
#include "platform/user/input/input.h"

namespace platform {
namespace {

// Far beyond any screen, near enough that sums of coordinates stay in range.
constexpr int64_t kCoordinateLimit = 1000000;
// A day; a DWORD wait stays meaningful.
constexpr int64_t kWaitLimit = 86400000;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// Splits a line into its first word and the rest (blanks before it skipped).
std::string_view TakeWord(std::string_view& rest) {
    size_t start = 0;
    while (start < rest.size() && IsBlank(rest[start]))
        ++start;
    size_t end = start;
    while (end < rest.size() && !IsBlank(rest[end]))
        ++end;
    std::string_view word = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return word;
}

bool ParseInteger(std::string_view word, int64_t low, int64_t high, int64_t& value) {
    bool negative = !word.empty() && word[0] == '-';
    if (negative) word.remove_prefix(1);
    if (word.empty() || word.size() > 12) return false;
    int64_t result = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + (c - '0');
    }
    if (negative) result = -result;
    if (result < low || result > high) return false;
    value = result;
    return true;
}

struct KeyName {
    std::string_view name;
    int key;
};

constexpr std::array kKeyNames{
    KeyName{"return", VK_RETURN}, KeyName{"enter", VK_RETURN},  KeyName{"escape", VK_ESCAPE},
    KeyName{"tab", VK_TAB},       KeyName{"space", VK_SPACE},   KeyName{"backspace", VK_BACK},
    KeyName{"delete", VK_DELETE}, KeyName{"insert", VK_INSERT}, KeyName{"home", VK_HOME},
    KeyName{"end", VK_END},       KeyName{"pageup", VK_PRIOR},  KeyName{"pagedown", VK_NEXT},
    KeyName{"left", VK_LEFT},     KeyName{"right", VK_RIGHT},   KeyName{"up", VK_UP},
    KeyName{"down", VK_DOWN},     KeyName{"shift", VK_SHIFT},   KeyName{"control", VK_CONTROL},
    KeyName{"alt", VK_MENU},
};

// The virtual key of a name; 0 when there is none.
int KeyOf(std::string_view name) {
    if (name.size() == 1) {
        char c = Lower(name[0]);
        if (c >= 'a' && c <= 'z') return 'A' + (c - 'a');
        if (c >= '0' && c <= '9') return c;
    }
    if (name.size() >= 2 && Lower(name[0]) == 'f') {
        int64_t number = 0;
        if (name[1] != '-' && ParseInteger(name.substr(1), 1, 24, number))
            return VK_F1 + int(number) - 1;
    }
    for (const KeyName& entry : kKeyNames)
        if (EqualNoCase(name, entry.name)) return entry.key;
    return 0;
}

struct StepName {
    std::string_view name;
    InputStep::Kind kind;
};

constexpr std::array kStepNames{
    StepName{"window", InputStep::Kind::Window},
    StepName{"move", InputStep::Kind::Move},
    StepName{"press", InputStep::Kind::Press},
    StepName{"release", InputStep::Kind::Release},
    StepName{"click", InputStep::Kind::Click},
    StepName{"doubleclick", InputStep::Kind::DoubleClick},
    StepName{"key", InputStep::Kind::Key},
    StepName{"keydown", InputStep::Kind::KeyDown},
    StepName{"keyup", InputStep::Kind::KeyUp},
    StepName{"type", InputStep::Kind::Type},
    StepName{"close", InputStep::Kind::Close},
    StepName{"wait", InputStep::Kind::Wait},
    StepName{"joystick", InputStep::Kind::Joystick},
};

struct HatName {
    const char* name;
    int bits;
};

// SDL's hat bits: 1 up, 2 right, 4 down, 8 left.
constexpr HatName kHatNames[] = {
    {"centre", 0},   {"up", 1},         {"right", 2},      {"down", 4},    {"left", 8},
    {"up-right", 3}, {"down-right", 6}, {"down-left", 12}, {"up-left", 9},
};

constexpr int64_t kJoystickObjects = 256;

void ParseJoystick(InputStep& step, std::string_view& rest, std::string& error) {
    using Action = InputStep::JoystickAction;
    std::string_view action = TakeWord(rest);
    int64_t a = 0;
    int64_t b = 0;
    int64_t c = 0;
    if (EqualNoCase(action, "attach")) {
        step.joystick = Action::Attach;
        if (!ParseInteger(TakeWord(rest), 0, kJoystickObjects, a) ||
            !ParseInteger(TakeWord(rest), 0, kJoystickObjects, b) ||
            !ParseInteger(TakeWord(rest), 0, 4, c)) {
            error = "expected joystick attach AXES BUTTONS HATS";
            return;
        }
        step.x = int(a);
        step.y = int(b);
        step.key = int(c);
        return;
    }
    if (EqualNoCase(action, "axis")) {
        step.joystick = Action::Axis;
        if (!ParseInteger(TakeWord(rest), 0, kJoystickObjects - 1, a) ||
            !ParseInteger(TakeWord(rest), -32768, 32767, b)) {
            error = "expected joystick axis N VALUE, the value -32768 to 32767";
            return;
        }
    } else if (EqualNoCase(action, "button")) {
        step.joystick = Action::Button;
        std::string_view number = TakeWord(rest);
        std::string_view state = TakeWord(rest);
        if (!ParseInteger(number, 0, kJoystickObjects - 1, a) ||
            !(EqualNoCase(state, "down") || EqualNoCase(state, "up"))) {
            error = "expected joystick button N down|up";
            return;
        }
        b = EqualNoCase(state, "down") ? 1 : 0;
    } else if (EqualNoCase(action, "hat")) {
        step.joystick = Action::Hat;
        std::string_view number = TakeWord(rest);
        std::string_view direction = TakeWord(rest);
        const HatName* found = nullptr;
        for (const HatName& hat : kHatNames)
            if (EqualNoCase(direction, hat.name)) found = &hat;
        if (!ParseInteger(number, 0, 3, a) || found == nullptr) {
            error = "expected joystick hat N centre|up|right|down|left|up-right|down-right|"
                    "down-left|up-left";
            return;
        }
        b = found->bits;
    } else {
        error = "expected joystick attach, axis, button or hat";
        return;
    }
    step.x = int(a);
    step.y = int(b);
}

bool ButtonOf(std::string_view word, headless::Button& button) {
    if (EqualNoCase(word, "left"))
        button = headless::Button::Left;
    else if (EqualNoCase(word, "right"))
        button = headless::Button::Right;
    else if (EqualNoCase(word, "middle"))
        button = headless::Button::Middle;
    else
        return false;
    return true;
}

std::string Quoted(std::string_view word) {
    // Built piece by piece: GCC 12 at -O3 takes "\"" + std::string for an overlapping copy.
    std::string quoted;
    quoted.reserve(word.size() + 2);
    quoted += '"';
    quoted += word;
    quoted += '"';
    return quoted;
}

// Reads the arguments of `step` from the rest of its line; an empty `error` on success.
void ParseArguments(InputStep& step, std::string_view rest, std::string& error) {
    using Kind = InputStep::Kind;
    switch (step.kind) {
    case Kind::Window:
    case Kind::Type: {
        // The text starts after the one separator that follows the step's name.
        if (!rest.empty()) rest.remove_prefix(1);
        if (rest.empty()) {
            error = step.kind == Kind::Window ? "a window step needs the window's title"
                                              : "a type step needs the text to type";
            return;
        }
        Utf8ToCp1252(rest, step.text);
        return;
    }
    case Kind::Move:
    case Kind::Press:
    case Kind::Release:
    case Kind::Click:
    case Kind::DoubleClick: {
        std::string_view first = TakeWord(rest);
        if (step.kind != Kind::Move && ButtonOf(first, step.button)) first = TakeWord(rest);
        std::string_view second = TakeWord(rest);
        int64_t x = 0;
        int64_t y = 0;
        if (!ParseInteger(first, -kCoordinateLimit, kCoordinateLimit, x) ||
            !ParseInteger(second, -kCoordinateLimit, kCoordinateLimit, y)) {
            error = step.kind == Kind::Move ? "expected the coordinates X Y"
                                            : "expected [left|right|middle] X Y";
            return;
        }
        step.x = int(x);
        step.y = int(y);
        break;
    }
    case Kind::Key:
    case Kind::KeyDown:
    case Kind::KeyUp: {
        std::string_view name = TakeWord(rest);
        step.key = KeyOf(name);
        if (step.key == 0) {
            error =
                name.empty() ? "a key step needs the key's name" : "unknown key " + Quoted(name);
            return;
        }
        break;
    }
    case Kind::Close:
        break;
    case Kind::Joystick:
        ParseJoystick(step, rest, error);
        if (!error.empty()) return;
        break;
    case Kind::Wait: {
        std::string_view word = TakeWord(rest);
        int64_t milliseconds = 0;
        if (!ParseInteger(word, 0, kWaitLimit, milliseconds)) {
            error = "expected the milliseconds to wait, 0 to " + std::to_string(kWaitLimit);
            return;
        }
        step.milliseconds = DWORD(milliseconds);
        break;
    }
    }
    std::string_view extra = TakeWord(rest);
    if (!extra.empty()) error = "unexpected " + Quoted(extra) + " at the end";
}

} // namespace

bool ParseInputScript(std::string_view text, std::vector<InputStep>& steps, std::string& error) {
    steps.clear();
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        std::string_view rest = line;
        std::string_view name = TakeWord(rest);
        if (name.empty() || name[0] == '#') continue;
        InputStep step;
        step.line = lineNumber;
        bool known = false;
        for (const StepName& entry : kStepNames) {
            if (EqualNoCase(name, entry.name)) {
                step.kind = entry.kind;
                known = true;
                break;
            }
        }
        std::string why;
        if (!known)
            why = "unknown step " + Quoted(name);
        else
            ParseArguments(step, rest, why);
        if (!why.empty()) {
            error = "line " + std::to_string(lineNumber) + ": " + why;
            steps.clear();
            return false;
        }
        steps.push_back(std::move(step));
    }
    return true;
}

} // namespace platform
