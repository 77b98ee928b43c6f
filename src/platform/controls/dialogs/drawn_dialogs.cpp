#include "platform/controls/dialogs/drawn_dialogs.h"

#include "platform/controls/dialogs/color_dialog.h"
#include "platform/controls/dialogs/file_dialog.h"
#include "platform/controls/dialogs/folder_dialog.h"
#include "platform/controls/dialogs/font_dialog.h"
#include "platform/controls/dialogs/print_dialog.h"

namespace platform {
namespace {

class DrawnCommon : public CommonDialogProvider {
public:
    bool ChooseFile(const FileDialogRequest& request, FileDialogAnswer& answer) override {
        return RunFileDialog(request, answer);
    }
    bool ChooseColor(const ColorDialogRequest& request, ColorDialogAnswer& answer) override {
        return RunColorDialog(request, answer);
    }
    bool ChooseFont(const FontDialogRequest& request, FontDialogAnswer& answer) override {
        return RunFontDialog(request, answer);
    }
    bool ChoosePrinter(const PrintDialogRequest& request, PrintDialogAnswer& answer) override {
        return RunPrintDialog(request, answer);
    }
};

class DrawnPicker : public FolderPickerProvider {
public:
    bool Browse(FolderPickerDialog& picker, std::string& folder) override {
        return RunFolderDialog(picker, folder);
    }
};

} // namespace

std::shared_ptr<CommonDialogProvider> DrawnCommonDialogs() {
    static const auto provider = std::make_shared<DrawnCommon>();
    return provider;
}

std::shared_ptr<FolderPickerProvider> DrawnFolderPicker() {
    static const auto provider = std::make_shared<DrawnPicker>();
    return provider;
}

} // namespace platform
