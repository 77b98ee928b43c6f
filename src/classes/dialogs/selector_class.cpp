#include "classes/dialogs/selector_class.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "classes/window/font_class.h"
#include "classes/window/font_container.h"
#include "classes/window/window_class.h"
#include "foundation/dialogs/folder_browser.h"
#include "platform/files/files.h"
#include "platform/gdi/text/font_families.h"
#include "platform/kernel/string_table.h"
#include "platform/user/dialogs/common_dialogs.h"
#include "platform/user/windows.h"
#include "script/interpreter/interpretor.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CISelector::kClassId, "Selector", 0, 0},
    {CISelector::kChooseColorDialog, "ChooseColorDialog", 0, 0},
    {CISelector::kGetChosenColor, "GetChosenColor", 0, 0},
    {CISelector::kSaveFileDialog, "SaveFileDialog", 0, 0},
    {CISelector::kOpenFileDialog, "OpenFileDialog", 0, 0},
    {CISelector::kChooseFontDialog, "ChooseFontDialog", 0, 0},
    {CISelector::kPrintDialog, "PrintDialog", 0, 0},
    {CISelector::kGetOneFile, "GetOneFile", 0, 0},
    {CISelector::kGetFiles, "GetFiles", 0, 0},
    {CISelector::kHasManyFiles, "HasManyFiles", 0, 0},
    {CISelector::kGetSelectedFont, "GetSelectedFont", 0, 0},
    {CISelector::kGetSelectedFontColor, "GetSelectedFontColor", 0, 0},
    {CISelector::kPrintSetupDialog, "PrintSetupDialog", 0, 0},
    {CISelector::kGetFromPage, "GetFromPage", 0, 0},
    {CISelector::kGetToPage, "GetToPage", 0, 0},
    {CISelector::kGetCopyCount, "GetCopyCount", 0, 0},
    {CISelector::kGetFontList, "GetFontList", 0, 0},
    {CISelector::kGetNFonts, "GetNFonts", 0, 0},
    {CISelector::kChooseDirectory, "ChooseDirectory", 0, 0},
    {CISelector::kFirstClassLevelId + 1, "ALLOWMULTISELECT", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 2, "CREATEPROMPT", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 3, "FILEMUSTEXIST", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 4, "HIDEREADONLY", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 5, "NOCHANGEDIR", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 6, "NODEREFERENCELINKS", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 7, "NONETWORKBUTTON", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 8, "OVERWRITEPROMPT", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 9, "PATHMUSTEXIST", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 10, "ALLPAGES", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 11, "DISABLEPRINTTOFILE", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 12, "HIDEPRINTTOFILE", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 13, "NOPAGENUMS", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 14, "NOSELECTION", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 15, "NOWARNING", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 16, "PAGENUMS", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 17, "PRINTTOFILE", 0, kRowConstant},
    {CISelector::kFirstClassLevelId + 18, "SELECTION", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <int32_t Value> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Value);
}

const ClassLevelHandler kConstants[] = {
    &Constant<OFN_ALLOWMULTISELECT>,  &Constant<OFN_CREATEPROMPT>,
    &Constant<OFN_FILEMUSTEXIST>,     &Constant<OFN_HIDEREADONLY>,
    &Constant<OFN_NOCHANGEDIR>,       &Constant<OFN_NODEREFERENCELINKS>,
    &Constant<OFN_NONETWORKBUTTON>,   &Constant<OFN_OVERWRITEPROMPT>,
    &Constant<OFN_PATHMUSTEXIST>,     &Constant<PD_ALLPAGES>,
    &Constant<PD_DISABLEPRINTTOFILE>, &Constant<PD_HIDEPRINTTOFILE>,
    &Constant<PD_NOPAGENUMS>,         &Constant<PD_NOSELECTION>,
    &Constant<PD_NOWARNING>,          &Constant<PD_PAGENUMS>,
    &Constant<PD_PRINTTOFILE>,        &Constant<PD_SELECTION>,
};

constexpr uint32_t kConstantCount = sizeof kConstants / sizeof kConstants[0];

CIBaseClassImpl* NewSelector(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CISelector(&interpreter, record);
}

// 0xRRGGBB <-> COLORREF.
uint32_t Swapped(uint32_t color) {
    return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

// Argument i as a text, or `fallback` when it was not given.
std::string TextArg(CInterpretor& in, uint32_t i, const std::string& fallback = "") {
    return in.IsArgDefault(i) ? fallback : std::string(in.GetArgString(i));
}

int32_t IntArg(CInterpretor& in, uint32_t i, int32_t fallback) {
    return in.IsArgDefault(i) ? fallback : in.GetArgInt(i);
}

// Every argument from `first` on, ORed together.
uint32_t FlagArgs(CInterpretor& in, uint32_t first) {
    uint32_t flags = 0;
    for (int32_t i = int32_t(first); i < in.GetArgCount(); ++i)
        if (!in.IsArgDefault(uint32_t(i))) flags |= uint32_t(in.GetArgInt(uint32_t(i)));
    return flags;
}

std::string AllFilesText() {
    char text[64];
    if (LoadStringA(0, 43471, text, sizeof text) == 0) return "*.*";
    return text;
}

int ReportFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) {
    reinterpret_cast<std::vector<std::string>*>(data)->emplace_back(font->lfFaceName);
    return 1;
}

std::vector<std::string> ScreenFontFamilies() {
    std::vector<std::string> names;
    LOGFONTA wanted{};
    wanted.lfCharSet = ANSI_CHARSET;
    HDC screen = GetDC(0);
    EnumFontFamiliesExA(screen, &wanted, &ReportFamily, reinterpret_cast<LPARAM>(&names), 0);
    ReleaseDC(0, screen);
    return names;
}

} // namespace

const ScriptMethod<CISelector> CISelector::kMethods[kMethodCount] = {
    nullptr,
    &CISelector::ChooseColorDialog,
    &CISelector::GetChosenColor,
    &CISelector::SaveFileDialog,
    &CISelector::OpenFileDialog,
    &CISelector::ChooseFontDialog,
    &CISelector::PrintDialog,
    &CISelector::GetOneFile,
    &CISelector::GetFiles,
    &CISelector::HasManyFiles,
    &CISelector::GetSelectedFont,
    &CISelector::GetSelectedFontColor,
    &CISelector::PrintSetupDialog,
    &CISelector::GetFromPage,
    &CISelector::GetToPage,
    &CISelector::GetCopyCount,
    &CISelector::GetFontList,
    &CISelector::GetNFonts,
    &CISelector::ChooseDirectory,
};

CISelector::CISelector(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), selectedFont_(interpreter) {}

void CISelector::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CISelector::Destroy(int) {
    selectedFont_.SetInt(0);
    delete this;
}

HWND CISelector::OwnerArgument(uint32_t& first) {
    first = 0;
    const CValue* argument = interpreter->GetArg(0);
    if (argument->IsObjectOfClass(CIWindow::kClassId)) {
        first = 1;
        HWND window = static_cast<CIWindow*>(argument->GetObject())->hwnd;
        if (window != 0 && IsWindow(window)) return window;
        return 0;
    }
    return interpreter->mainWindowHandle != 0 && IsWindow(interpreter->mainWindowHandle)
               ? interpreter->mainWindowHandle
               : 0;
}

void CISelector::ChooseColorDialog() {
    uint32_t first = 0;
    HWND owner = OwnerArgument(first);
    uint32_t start = uint32_t(IntArg(*interpreter, first, 0));
    CHOOSECOLORA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.rgbResult = Swapped(start & 0xFFFFFF);
    request.lpCustColors = reinterpret_cast<COLORREF*>(customColors_);
    request.Flags = CC_RGBINIT;
    int chosen = ChooseColorA(&request) ? 1 : 0;
    if (chosen) {
        chosenColor_ = Swapped(request.rgbResult);
        colorChosen_ = true;
    }
    interpreter->GetResultSlot()->SetInt(chosen);
}

void CISelector::GetChosenColor() {
    interpreter->GetResultSlot()->SetInt(int32_t(colorChosen_ ? chosenColor_ : 0));
}

void CISelector::FileDialog(bool save) {
    CInterpretor& in = *interpreter;
    uint32_t first = 0;
    HWND owner = OwnerArgument(first);
    std::string title = TextArg(in, first);
    bool hasFilter = !in.IsArgDefault(first + 1);
    std::string filter = hasFilter ? selector::DialogFilter(in.GetArgString(first + 1))
                                   : selector::DialogFilter(AllFilesText() + "|*.*|");
    int32_t filterIndex = IntArg(in, first + 2, 0);
    bool hasName = !in.IsArgDefault(first + 3);
    std::string name = TextArg(in, first + 3);
    std::string folder = TextArg(in, first + 4);
    std::string extension = TextArg(in, first + 5);
    uint32_t flags = FlagArgs(in, first + 6) | OFN_EXPLORER | OFN_ENABLEHOOK;

    char earlier[selector::kFileBufferSize];
    std::memcpy(earlier, files_, sizeof files_);
    if (hasName) {
        std::memset(files_, 0, sizeof files_);
        std::memcpy(files_, name.data(), std::min(name.size(), sizeof files_ - 2));
    }
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = DWORD(filterIndex);
    request.lpstrFile = files_;
    request.nMaxFile = sizeof files_;
    request.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    request.lpstrTitle = title.empty() ? nullptr : title.c_str();
    request.Flags = flags;
    request.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    BOOL confirmed = save ? GetSaveFileNameA(&request) : GetOpenFileNameA(&request);
    if (confirmed) {
        fileChosen_ = true;
    } else {
        std::memcpy(files_, earlier, sizeof files_);
    }
    in.GetResultSlot()->SetInt(confirmed ? 1 : 0);
}

void CISelector::SaveFileDialog() {
    FileDialog(true);
}

void CISelector::OpenFileDialog() {
    FileDialog(false);
}

void CISelector::GetOneFile() {
    std::string path = fileChosen_ ? selector::FirstFile(files_, sizeof files_) : "";
    interpreter->GetResultSlot()->SetString(path.c_str(), 0);
}

void CISelector::GetFiles() {
    CValue* result = interpreter->GetResultSlot();
    if (!fileChosen_) {
        result->SetInt(1);
        return;
    }
    std::vector<std::string> paths = selector::AllFiles(files_, sizeof files_);
    // Several items (a folder and names) make an array, whatever their count, as
    // HasManyFiles says.
    if (!selector::HasManyFiles(files_, sizeof files_)) {
        result->SetString(paths.empty() ? "" : paths.front().c_str(), 0);
        return;
    }
    result->MakeArray();
    for (size_t i = 0; i < paths.size(); ++i)
        result->SetArrayItemString(int32_t(i), paths[i].c_str());
}

void CISelector::HasManyFiles() {
    interpreter->GetResultSlot()->SetInt(
        fileChosen_ && selector::HasManyFiles(files_, sizeof files_) ? 1 : 0);
}

void CISelector::ChooseFontDialog() {
    CInterpretor& in = *interpreter;
    uint32_t first = 0;
    HWND owner = OwnerArgument(first);
    LOGFONTA start{};
    uint32_t color = 0;
    const CValue* fontArgument = in.GetArg(first);
    if (fontArgument->IsObjectOfClass(CIFont::kClassId)) {
        start = static_cast<CIFont*>(fontArgument->GetObject())->logFont;
    } else {
        std::string face = TextArg(in, first, "Arial");
        start.lfWeight = IntArg(in, first + 1, 400);
        start.lfHeight = -IntArg(in, first + 2, 16);
        start.lfItalic = IntArg(in, first + 3, 0) != 0 ? 1 : 0;
        start.lfUnderline = IntArg(in, first + 4, 0) != 0 ? 1 : 0;
        start.lfStrikeOut = IntArg(in, first + 5, 0) != 0 ? 1 : 0;
        color = uint32_t(IntArg(in, first + 6, 0));
        start.lfOutPrecision = 3;
        start.lfClipPrecision = 2;
        start.lfQuality = 1;
        start.lfPitchAndFamily = 0x22;
        std::snprintf(start.lfFaceName, LF_FACESIZE, "%s", face.c_str());
    }
    LOGFONTA font = start;
    CHOOSEFONTA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpLogFont = &font;
    request.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    request.rgbColors = Swapped(color & 0xFFFFFF);
    int chosen = ChooseFontA(&request) ? 1 : 0;
    if (chosen) {
        logFont_ = font;
        fontColor_ = Swapped(request.rgbColors);
        fontChosen_ = true;
        selectedFont_.SetInt(0);
    }
    in.GetResultSlot()->SetInt(chosen);
}

void CISelector::GetSelectedFont() {
    CInterpretor& in = *interpreter;
    if (!fontChosen_) {
        in.GetResultSlot()->SetObject(GetDefaultFont(interpreter), 1);
        return;
    }
    if (!selectedFont_.IsObjectOfClass(CIFont::kClassId)) {
        auto* font = new (std::nothrow) CIFont(interpreter, in.GetClassRecord(CIFont::kClassId));
        if (font == nullptr) in.RaiseError(15);
        font->SetLogFont(logFont_);
        selectedFont_.SetObject(font, 1);
    }
    in.GetResultSlot()->SetObject(selectedFont_.GetObject(), 1);
}

void CISelector::GetSelectedFontColor() {
    interpreter->GetResultSlot()->SetInt(int32_t(fontColor_));
}

void CISelector::RunPrintDialog(uint32_t extraFlags) {
    CInterpretor& in = *interpreter;
    uint32_t first = 0;
    HWND owner = OwnerArgument(first);
    int32_t from = IntArg(in, first, 0);
    int32_t to = IntArg(in, first + 1, 0);
    int32_t minimum = IntArg(in, first + 2, 0);
    int32_t maximum = IntArg(in, first + 3, 0);
    int32_t copies = IntArg(in, first + 4, 1);
    uint32_t flags = FlagArgs(in, first + 5) | extraFlags | PD_RETURNDC;

    // Page numbers are 16-bit.
    WORD minPage = WORD(minimum) == 0 ? 1 : WORD(minimum);
    WORD maxPage = std::max<WORD>({WORD(maximum), 1, minPage});
    WORD fromPage = std::max<WORD>(WORD(from), minPage);
    WORD toPage = std::min<WORD>(WORD(to), maxPage);

    printerContext_.reset();
    PRINTDLGA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.Flags = flags;
    request.nFromPage = fromPage;
    request.nToPage = toPage;
    request.nMinPage = minPage;
    request.nMaxPage = maxPage;
    request.nCopies = WORD(copies);
    int confirmed = PrintDlgA(&request) ? 1 : 0;
    if (confirmed) {
        printChosen_ = true;
        printerContext_ =
            request.hDC != 0 ? std::make_shared<PrinterContext>(request.hDC) : nullptr;
        bool pages = (request.Flags & PD_PAGENUMS) != 0;
        fromPage_ = pages ? request.nFromPage : request.nMinPage;
        toPage_ = pages ? request.nToPage : request.nMaxPage;
        copies_ = request.nCopies;
        printToFile_ = (request.Flags & PD_PRINTTOFILE) != 0;
    }
    in.GetResultSlot()->SetInt(confirmed);
}

void CISelector::PrintDialog() {
    RunPrintDialog(0);
}

void CISelector::PrintSetupDialog() {
    RunPrintDialog(PD_PRINTSETUP);
}

void CISelector::GetFromPage() {
    interpreter->GetResultSlot()->SetInt(printChosen_ ? fromPage_ : 0);
}

void CISelector::GetToPage() {
    interpreter->GetResultSlot()->SetInt(printChosen_ ? toPage_ : 0);
}

void CISelector::GetCopyCount() {
    interpreter->GetResultSlot()->SetInt(printChosen_ ? copies_ : 0);
}

void CISelector::GetFontList() {
    std::vector<std::string> names = ScreenFontFamilies();
    CValue* result = interpreter->GetResultSlot();
    result->MakeArray();
    for (size_t i = 0; i < names.size(); ++i)
        result->SetArrayItemString(int32_t(i), names[i].c_str());
}

void CISelector::GetNFonts() {
    interpreter->GetResultSlot()->SetInt(int32_t(ScreenFontFamilies().size()));
}

void CISelector::ChooseDirectory() {
    CInterpretor& in = *interpreter;
    std::string start;
    if (in.IsArgDefault(0)) {
        char current[MAX_PATH + 1] = {};
        DWORD length = GetCurrentDirectoryA(sizeof current, current);
        if (length > 0 && length < sizeof current) start = current;
    } else {
        start = in.GetArgString(0);
    }
    std::string title = TextArg(in, 1, "Choisissez un r\xE9pertoire");
    HWND owner =
        in.mainWindowHandle != 0 && IsWindow(in.mainWindowHandle) ? in.mainWindowHandle : 0;
    CFolderBrowser browser(start.c_str(), owner);
    std::string chosen = browser.BrowseForFolder(title.c_str()) == 1 ? browser.GetPath() : "";
    in.GetResultSlot()->SetString(chosen.c_str(), 0);
}

const ScriptClassInfo* GetSelectorClassInfo() {
    static const ScriptClassInfo info{
        kNameTable, &NewSelector, CISelector::kFirstClassLevelId, kConstants, kConstantCount,
        nullptr,    nullptr,
    };
    return &info;
}
