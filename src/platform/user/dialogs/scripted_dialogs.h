// A common-dialog provider for tests: each kind of dialog takes the next of its queued
// answers (nothing queued, or an empty answer, is a cancel) and records what it was asked.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "platform/user/dialogs/common_dialogs.h"

namespace platform::test {

class ScriptedDialogs : public CommonDialogProvider {
public:
    bool ChooseFile(const FileDialogRequest& request, FileDialogAnswer& answer) override;
    bool ChooseColor(const ColorDialogRequest& request, ColorDialogAnswer& answer) override;
    bool ChooseFont(const FontDialogRequest& request, FontDialogAnswer& answer) override;
    bool ChoosePrinter(const PrintDialogRequest& request, PrintDialogAnswer& answer) override;

    std::deque<std::optional<FileDialogAnswer>> files;
    std::deque<std::optional<ColorDialogAnswer>> colors;
    std::deque<std::optional<FontDialogAnswer>> fonts;
    std::deque<std::optional<PrintDialogAnswer>> printers;

    std::vector<FileDialogRequest> fileRequests;
    std::vector<ColorDialogRequest> colorRequests;
    std::vector<FontDialogRequest> fontRequests;
    std::vector<PrintDialogRequest> printRequests;
};

} // namespace platform::test
