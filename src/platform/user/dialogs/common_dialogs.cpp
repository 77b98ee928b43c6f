#include "platform/user/dialogs/common_dialogs.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/controls/dialogs/drawn_dialog.h"
#include "platform/controls/dialogs/drawn_dialogs.h"
#include "platform/files/files.h"
#include "platform/printing/printing.h"

namespace {

std::mutex providerMutex;
std::shared_ptr<platform::CommonDialogProvider> provider;
thread_local DWORD lastDialogError = 0;

std::shared_ptr<platform::CommonDialogProvider> CurrentProvider() {
    {
        std::lock_guard lock(providerMutex);
        if (provider != nullptr) return provider;
    }
    return platform::DrawsDialogs() ? platform::DrawnCommonDialogs() : nullptr;
}

BOOL Fail(DWORD error) {
    lastDialogError = error;
    return FALSE;
}

std::string TextOf(const char* text, size_t limit = MAX_PATH) {
    if (text == nullptr) return "";
    return std::string(text, strnlen(text, limit));
}

// The folder and name of a Windows path, split at its last separator.
void SplitPath(const std::string& path, std::string& folder, std::string& name) {
    size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos) {
        folder.clear();
        name = path;
        return;
    }
    folder = path.substr(0, separator == 2 && path[1] == ':' ? 3 : separator);
    name = path.substr(separator + 1);
}

std::string Joined(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '\\' || folder.back() == '/' ? folder + name : folder + "\\" + name;
}

// What the caller's buffer receives for an answer: one path, or the folder and the names.
std::string ChoiceText(const platform::FileDialogAnswer& answer, bool many) {
    std::string text;
    if (many && answer.names.size() > 1) {
        text = answer.folder;
        text.push_back('\0');
        for (const std::string& name : answer.names) {
            text += name;
            text.push_back('\0');
        }
    } else {
        text = Joined(answer.folder, answer.names.front());
        text.push_back('\0');
    }
    text.push_back('\0');
    return text;
}

BOOL RunFileDialog(OPENFILENAMEA* request, bool save) {
    lastDialogError = 0;
    if (request == nullptr || request->lStructSize != sizeof(OPENFILENAMEA))
        return Fail(CDERR_STRUCTSIZE);
    if (request->lpstrFile == nullptr || request->nMaxFile == 0) return Fail(CDERR_INITIALIZATION);
    platform::FileDialogRequest asked;
    asked.owner = request->hwndOwner;
    asked.save = save;
    asked.title = TextOf(request->lpstrTitle);
    asked.filters = platform::SplitFilterText(request->lpstrFilter, 65536);
    asked.filterIndex = std::max<DWORD>(request->nFilterIndex, 1);
    asked.initialName = TextOf(request->lpstrFile, request->nMaxFile);
    asked.initialFolder = TextOf(request->lpstrInitialDir);
    asked.defaultExtension = TextOf(request->lpstrDefExt, 3);
    asked.flags = request->Flags;
    std::shared_ptr<platform::CommonDialogProvider> current = CurrentProvider();
    platform::FileDialogAnswer answer;
    if (current == nullptr || !current->ChooseFile(asked, answer)) return FALSE;
    if (answer.names.empty() || answer.names.front().empty()) return Fail(FNERR_INVALIDFILENAME);

    bool many = (request->Flags & OFN_ALLOWMULTISELECT) != 0;
    if (!many) answer.names.resize(1);
    std::string text = ChoiceText(answer, many);
    // The caller's buffer holds the text less its second final zero for a single path.
    size_t needed = answer.names.size() > 1 ? text.size() : text.size() - 1;
    if (needed > request->nMaxFile) {
        if (request->nMaxFile >= 2) {
            WORD size = static_cast<WORD>(std::min<size_t>(needed, 0xFFFF));
            std::memcpy(request->lpstrFile, &size, sizeof size);
        }
        return Fail(FNERR_BUFFERTOOSMALL);
    }
    std::memcpy(request->lpstrFile, text.data(), needed);
    std::string first = Joined(answer.folder, answer.names.front());
    std::string folder;
    std::string name;
    SplitPath(first, folder, name);
    request->nFileOffset = static_cast<WORD>(answer.names.size() > 1 ? answer.folder.size() + 1
                                                                     : first.size() - name.size());
    size_t dot = name.find_last_of('.');
    request->nFileExtension = answer.names.size() > 1 || dot == std::string::npos
                                  ? 0
                                  : static_cast<WORD>(first.size() - name.size() + dot + 1);
    request->nFilterIndex = answer.filterIndex;
    if (request->lpstrFileTitle != nullptr && request->nMaxFileTitle > 0) {
        size_t length = std::min<size_t>(name.size(), request->nMaxFileTitle - 1);
        std::memcpy(request->lpstrFileTitle, name.data(), length);
        request->lpstrFileTitle[length] = '\0';
    }
    if (!(request->Flags & OFN_NOCHANGEDIR)) {
        std::string chosenFolder = answer.names.size() > 1 ? answer.folder : folder;
        if (!chosenFolder.empty()) SetCurrentDirectoryA(chosenFolder.c_str());
    }
    return TRUE;
}

} // namespace

BOOL GetOpenFileNameA(OPENFILENAMEA* request) {
    return RunFileDialog(request, false);
}

BOOL GetSaveFileNameA(OPENFILENAMEA* request) {
    return RunFileDialog(request, true);
}

BOOL ChooseColorA(CHOOSECOLORA* request) {
    lastDialogError = 0;
    if (request == nullptr || request->lStructSize != sizeof(CHOOSECOLORA))
        return Fail(CDERR_STRUCTSIZE);
    if (request->lpCustColors == nullptr) return Fail(CDERR_INITIALIZATION);
    platform::ColorDialogRequest asked;
    asked.owner = request->hwndOwner;
    asked.initial = (request->Flags & CC_RGBINIT) ? request->rgbResult & 0xFFFFFF : 0;
    std::copy_n(request->lpCustColors, 16, asked.custom);
    asked.flags = request->Flags;
    std::shared_ptr<platform::CommonDialogProvider> current = CurrentProvider();
    platform::ColorDialogAnswer answer;
    std::copy_n(asked.custom, 16, answer.custom);
    if (current == nullptr || !current->ChooseColor(asked, answer)) return FALSE;
    request->rgbResult = answer.color & 0xFFFFFF;
    std::copy_n(answer.custom, 16, request->lpCustColors);
    return TRUE;
}

BOOL ChooseFontA(CHOOSEFONTA* request) {
    lastDialogError = 0;
    if (request == nullptr || request->lStructSize != sizeof(CHOOSEFONTA))
        return Fail(CDERR_STRUCTSIZE);
    if (request->lpLogFont == nullptr) return Fail(CDERR_INITIALIZATION);
    platform::FontDialogRequest asked;
    asked.owner = request->hwndOwner;
    if (request->Flags & CF_INITTOLOGFONTSTRUCT) {
        asked.initial = *request->lpLogFont;
        asked.initial.lfFaceName[LF_FACESIZE - 1] = '\0';
    }
    asked.color = (request->Flags & CF_EFFECTS) ? request->rgbColors & 0xFFFFFF : 0;
    asked.flags = request->Flags;
    std::shared_ptr<platform::CommonDialogProvider> current = CurrentProvider();
    platform::FontDialogAnswer answer;
    if (current == nullptr || !current->ChooseFont(asked, answer)) return FALSE;
    answer.font.lfFaceName[LF_FACESIZE - 1] = '\0';
    if (!(request->Flags & CF_EFFECTS)) {
        answer.font.lfUnderline = 0;
        answer.font.lfStrikeOut = 0;
    } else {
        request->rgbColors = answer.color & 0xFFFFFF;
    }
    *request->lpLogFont = answer.font;
    request->iPointSize = answer.pointSize;
    return TRUE;
}

BOOL PrintDlgA(PRINTDLGA* request) {
    lastDialogError = 0;
    if (request == nullptr || request->lStructSize != sizeof(PRINTDLGA))
        return Fail(CDERR_STRUCTSIZE);
    platform::PrintDialogRequest asked;
    asked.owner = request->hwndOwner;
    asked.flags = request->Flags;
    asked.fromPage = request->nFromPage;
    asked.toPage = request->nToPage;
    asked.minPage = request->nMinPage;
    asked.maxPage = request->nMaxPage;
    asked.copies = std::max<WORD>(request->nCopies, 1);
    asked.printers = platform::PrinterNames();
    std::string defaultPrinter = platform::DefaultPrinterName();
    if (defaultPrinter.empty()) return Fail(PDERR_NODEFAULTPRN);
    std::shared_ptr<platform::CommonDialogProvider> current = CurrentProvider();
    platform::PrintDialogAnswer answer;
    answer.printer = defaultPrinter;
    if (current == nullptr || !current->ChoosePrinter(asked, answer)) return FALSE;
    if (std::find(asked.printers.begin(), asked.printers.end(), answer.printer) ==
        asked.printers.end())
        return Fail(PDERR_PRINTERNOTFOUND);
    bool toFile = answer.toFile && !(request->Flags & PD_DISABLEPRINTTOFILE);
    if (request->Flags & PD_RETURNDC) {
        DEVMODEA setup{};
        std::strncpy(setup.dmDeviceName, answer.printer.c_str(), sizeof setup.dmDeviceName - 1);
        setup.dmSize = sizeof setup;
        setup.dmFields = DM_ORIENTATION | DM_COPIES | (answer.paper != 0 ? DM_PAPERSIZE : 0);
        setup.dmOrientation = answer.orientation;
        setup.dmPaperSize = answer.paper;
        setup.dmCopies = static_cast<short>(answer.copies);
        HDC dc = CreateDCA(nullptr, answer.printer.c_str(), toFile ? "FILE:" : nullptr, &setup);
        if (dc == 0) return Fail(PDERR_CREATEICFAILURE);
        request->hDC = dc;
    }
    if (!(request->Flags & PD_PRINTSETUP)) {
        DWORD range = answer.range & (PD_SELECTION | PD_PAGENUMS);
        request->Flags = (request->Flags & ~(PD_SELECTION | PD_PAGENUMS | PD_PRINTTOFILE)) | range |
                         (toFile ? PD_PRINTTOFILE : 0);
        if (range == PD_PAGENUMS) {
            request->nFromPage = answer.fromPage;
            request->nToPage = answer.toPage;
        }
        request->nCopies = std::max<WORD>(answer.copies, 1);
    }
    return TRUE;
}

DWORD CommDlgExtendedError() {
    return lastDialogError;
}

namespace platform {

void SetCommonDialogProvider(std::shared_ptr<CommonDialogProvider> newProvider) {
    std::lock_guard lock(providerMutex);
    provider = std::move(newProvider);
}

std::vector<std::pair<std::string, std::string>> SplitFilterText(const char* filter, size_t limit) {
    std::vector<std::pair<std::string, std::string>> filters;
    if (filter == nullptr) return filters;
    size_t at = 0;
    auto next = [&](std::string& text) {
        size_t length = strnlen(filter + at, limit - at);
        text.assign(filter + at, length);
        at += length;
        if (at < limit) ++at; // the zero
        return length > 0;
    };
    while (at < limit) {
        std::string description;
        std::string pattern;
        if (!next(description)) break;
        if (at >= limit || !next(pattern)) break;
        filters.emplace_back(std::move(description), std::move(pattern));
    }
    return filters;
}

} // namespace platform
