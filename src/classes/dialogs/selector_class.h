// The Selector class: the common dialogs (colour, open and save file, font, print and
// print set-up, folder), what the user chose in them, and the list of font families.
#pragma once

#include <cstdint>

#include "classes/dialogs/printer_context.h"
#include "classes/dialogs/selector_buffers.h"
#include "platform/gdi/text/font_types.h"
#include "platform/user/hwnd.h"
#include "script/classes/base_class.h"
#include "script/values/value.h"

class CISelector : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 18;

    enum : uint16_t {
        kChooseColorDialog = 1,
        kGetChosenColor,
        kSaveFileDialog,
        kOpenFileDialog,
        kChooseFontDialog,
        kPrintDialog,
        kGetOneFile,
        kGetFiles,
        kHasManyFiles,
        kGetSelectedFont,
        kGetSelectedFontColor,
        kPrintSetupDialog,
        kGetFromPage,
        kGetToPage,
        kGetCopyCount,
        kGetFontList,
        kGetNFonts,
        kChooseDirectory,
        kMethodCount,
    };
    // Constants follow the methods: ALLOWMULTISELECT is 20.
    static constexpr uint32_t kFirstClassLevelId = kMethodCount;

    CISelector(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;

    // The printer context of the last confirmed print dialog (null when none) and whether
    // the user chose printing to a file.
    SharedPrinterContext GetPrinterContext() const { return printerContext_; }
    bool PrintsToFile() const { return printChosen_ && printToFile_; }

private:
    void ChooseColorDialog();
    void GetChosenColor();
    void SaveFileDialog();
    void OpenFileDialog();
    void ChooseFontDialog();
    void PrintDialog();
    void GetOneFile();
    void GetFiles();
    void HasManyFiles();
    void GetSelectedFont();
    void GetSelectedFontColor();
    void PrintSetupDialog();
    void GetFromPage();
    void GetToPage();
    void GetCopyCount();
    void GetFontList();
    void GetNFonts();
    void ChooseDirectory();

    // The owner given as argument 0 (a Window), else the main window; `first` is the index
    // of the first argument after it.
    HWND OwnerArgument(uint32_t& first);
    void FileDialog(bool save);
    void RunPrintDialog(uint32_t extraFlags);

    static const ScriptMethod<CISelector> kMethods[kMethodCount];

    uint32_t chosenColor_ = 0;
    bool colorChosen_ = false;
    uint32_t customColors_[16] = {};
    LOGFONTA logFont_{};
    uint32_t fontColor_ = 0;
    bool fontChosen_ = false;
    // The Font made from the chosen LOGFONT, holding one use; integer 0 until asked for.
    CValue selectedFont_;
    char files_[selector::kFileBufferSize] = {};
    bool fileChosen_ = false;
    bool printChosen_ = false;
    SharedPrinterContext printerContext_;
    int32_t fromPage_ = 0;
    int32_t toPage_ = 0;
    int32_t copies_ = 0;
    bool printToFile_ = false;
};

const ScriptClassInfo* GetSelectorClassInfo();
