#include "platform/user/dialogs/scripted_dialogs.h"

namespace platform::test {
namespace {

template <typename Answer> bool Next(std::deque<std::optional<Answer>>& queue, Answer& answer) {
    if (queue.empty()) return false;
    std::optional<Answer> next = std::move(queue.front());
    queue.pop_front();
    if (!next) return false;
    answer = std::move(*next);
    return true;
}

} // namespace

bool ScriptedDialogs::ChooseFile(const FileDialogRequest& request, FileDialogAnswer& answer) {
    fileRequests.push_back(request);
    return Next(files, answer);
}

bool ScriptedDialogs::ChooseColor(const ColorDialogRequest& request, ColorDialogAnswer& answer) {
    colorRequests.push_back(request);
    return Next(colors, answer);
}

bool ScriptedDialogs::ChooseFont(const FontDialogRequest& request, FontDialogAnswer& answer) {
    fontRequests.push_back(request);
    return Next(fonts, answer);
}

bool ScriptedDialogs::ChoosePrinter(const PrintDialogRequest& request, PrintDialogAnswer& answer) {
    printRequests.push_back(request);
    return Next(printers, answer);
}

} // namespace platform::test
