#include "platform/user/dialogs/message_box.h"

#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/display/display_backend.h"
#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"
#include "platform/user/dialogs/message_box_test_hooks.h"
#include "platform/user/dialogs/message_box_window.h"
#include "platform/user/test_hooks.h"

namespace {

struct BoxHooks {
    std::mutex lock;
    bool recording = false;
    std::vector<platform::test::RecordedMessageBox> boxes;
    int answer = 0;
    bool asWindows = false;
    std::function<void(HWND)> shown;
};

BoxHooks& Hooks() {
    static auto* hooks = new BoxHooks;
    return *hooks;
}

} // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    // A box nobody can click takes the button its author chose as the safe one.
    int answer = platform::MessageBoxDefaultAnswer(type);
    if (answer == 0) {
        SetLastError(ERROR_INVALID_MSGBOX_STYLE);
        return 0;
    }
    std::string shownText = text ? text : "";
    std::string shownCaption = caption ? caption : "Error";
    BoxHooks& hooks = Hooks();
    bool asWindows;
    int preset;
    std::function<void(HWND)> shown;
    {
        std::lock_guard guard(hooks.lock);
        if (hooks.recording) {
            hooks.boxes.push_back({owner, shownCaption, shownText, type});
            return hooks.answer != 0 ? hooks.answer : answer;
        }
        asWindows = hooks.asWindows;
        preset = hooks.answer;
        shown = hooks.shown;
    }
    if (asWindows || (preset == 0 && platform::ActiveDisplay().ShowsWindows())) {
        int chosen = platform::RunMessageBoxWindow(owner, shownText, shownCaption, type, shown);
        if (chosen != 0) return chosen;
    }
    // A box whose window could not be made still reaches someone.
    if (preset != 0) answer = preset;
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

void ShowMessageBoxesAsWindows(bool show) {
    std::lock_guard guard(Hooks().lock);
    Hooks().asWindows = show;
}

void SetMessageBoxShownHook(std::function<void(HWND)> hook) {
    std::lock_guard guard(Hooks().lock);
    Hooks().shown = std::move(hook);
}

} // namespace platform::test
