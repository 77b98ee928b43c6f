#include "platform/message_box.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/test_hooks.h"

namespace {

struct BoxHooks {
    std::mutex lock;
    bool recording = false;
    std::vector<platform::test::RecordedMessageBox> boxes;
    int answer = 0;
};

BoxHooks& Hooks() {
    static auto* hooks = new BoxHooks;
    return *hooks;
}

// The answer of a box nobody can click: its first button. 0 for a button set we do not
// know.
int FirstButton(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
        return IDOK;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return IDYES;
    case MB_RETRYCANCEL:
        return IDRETRY;
    case MB_CANCELTRYCONTINUE:
        return IDCANCEL;
    default:
        return 0;
    }
}

} // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    int answer = FirstButton(type);
    if (answer == 0) {
        SetLastError(ERROR_INVALID_MSGBOX_STYLE);
        return 0;
    }
    std::string shownText = text ? text : "";
    std::string shownCaption = caption ? caption : "Error";
    BoxHooks& hooks = Hooks();
    {
        std::lock_guard guard(hooks.lock);
        if (hooks.answer != 0) answer = hooks.answer;
        if (hooks.recording) {
            hooks.boxes.push_back({owner, shownCaption, shownText, type});
            return answer;
        }
    }
    std::string line =
        platform::Cp1252ToUtf8(shownCaption) + ": " + platform::Cp1252ToUtf8(shownText) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return answer;
}

namespace platform::test {

void RecordMessageBoxes(bool record) {
    std::lock_guard guard(Hooks().lock);
    Hooks().recording = record;
}

std::vector<RecordedMessageBox> RecordedMessageBoxes() {
    std::lock_guard guard(Hooks().lock);
    return Hooks().boxes;
}

void ClearRecordedMessageBoxes() {
    std::lock_guard guard(Hooks().lock);
    Hooks().boxes.clear();
}

void SetMessageBoxAnswer(int answer) {
    std::lock_guard guard(Hooks().lock);
    Hooks().answer = answer;
}

} // namespace platform::test
