#include "platform/printing/printers.h"

#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/printing/cups_printers.h"
#include "platform/printing/printing.h"
#include "platform/profile/profile.h"

namespace platform {
namespace {

constexpr const char* PDF_PRINTER = "PDF";
constexpr const char* FOLDER_PREFIX = "file:";

std::string PrinterSetting() {
    const char* value = std::getenv("ZORV_PRINTER");
    return value != nullptr ? value : "";
}

// Paper of the user's LC_PAPER: Letter where the locale's paper is 216 mm wide, else A4.
bool LocaleUsesLetter() {
    locale_t paper = newlocale(LC_PAPER_MASK, "", static_cast<locale_t>(0));
    if (paper == static_cast<locale_t>(0)) return false;
    const char* width = nl_langinfo_l(_NL_PAPER_WIDTH, paper);
    bool letter = reinterpret_cast<intptr_t>(width) == 216;
    freelocale(paper);
    return letter;
}

int MillimetresToDots(int tenthsOfMillimetre) {
    return (tenthsOfMillimetre * PRINTER_DPI + 127) / 254;
}

} // namespace

std::vector<std::string> PrinterNames() {
    std::vector<std::string> names;
    std::string setting = PrinterSetting();
    if (setting.rfind(FOLDER_PREFIX, 0) == 0) names.push_back(setting);
    for (const CupsDestination& destination : CupsDestinations())
        names.insert(destination.isDefault ? names.begin() : names.end(), destination.name);
    names.emplace_back(PDF_PRINTER);
    std::string preferred = DefaultPrinterName();
    auto found = std::find(names.begin(), names.end(), preferred);
    if (found != names.end()) std::rotate(names.begin(), found, found + 1);
    return names;
}

std::string DefaultPrinterName() {
    std::string setting = PrinterSetting();
    if (setting == "none") return "";
    PrinterInfo printer;
    if (!setting.empty() && FindPrinter(setting, printer)) return setting;
    for (const CupsDestination& destination : CupsDestinations())
        if (destination.isDefault) return destination.name;
    return PDF_PRINTER;
}

bool FindPrinter(const std::string& name, PrinterInfo& printer) {
    if (name == PDF_PRINTER) {
        printer = PrinterInfo{name, PrinterKind::Pdf, ""};
        return true;
    }
    std::string setting = PrinterSetting();
    if (name == setting && setting.rfind(FOLDER_PREFIX, 0) == 0 &&
        setting.size() > std::strlen(FOLDER_PREFIX)) {
        printer =
            PrinterInfo{name, PrinterKind::Folder, setting.substr(std::strlen(FOLDER_PREFIX))};
        return true;
    }
    for (const CupsDestination& destination : CupsDestinations()) {
        if (destination.name == name) {
            printer = PrinterInfo{name, PrinterKind::Cups, ""};
            return true;
        }
    }
    return false;
}

std::string MediaName(const DEVMODEA* setup) {
    if (setup == nullptr || !(setup->dmFields & DM_PAPERSIZE)) return "";
    if (setup->dmPaperSize == DMPAPER_LETTER) return "na_letter_8.5x11in";
    if (setup->dmPaperSize == DMPAPER_A4) return "iso_a4_210x297mm";
    return "";
}

PageGeometry PaperFor(const PrinterInfo& printer, const DEVMODEA* setup) {
    bool letter = LocaleUsesLetter();
    bool landscape = false;
    if (setup != nullptr) {
        if ((setup->dmFields & DM_PAPERSIZE) && setup->dmPaperSize == DMPAPER_LETTER) letter = true;
        if ((setup->dmFields & DM_PAPERSIZE) && setup->dmPaperSize == DMPAPER_A4) letter = false;
        landscape =
            (setup->dmFields & DM_ORIENTATION) && setup->dmOrientation == DMORIENT_LANDSCAPE;
    }
    PageGeometry page;
    page.widthPoints = letter ? 612 : 2100 * 72 / 254.0;
    page.heightPoints = letter ? 792 : 2970 * 72 / 254.0;
    page.width = letter ? PRINTER_DPI * 17 / 2 : MillimetresToDots(2100);
    page.height = letter ? PRINTER_DPI * 11 : MillimetresToDots(2970);
    page.offsetX = page.offsetY = PRINTER_DPI / 4;
    // A desktop printer's own paper and margins, unless the set-up chose a paper.
    PageGeometry own;
    if (printer.kind == PrinterKind::Cups && MediaName(setup).empty() &&
        CupsPaper(printer.name, own))
        page = own;
    if (landscape) {
        std::swap(page.width, page.height);
        std::swap(page.widthPoints, page.heightPoints);
        std::swap(page.offsetX, page.offsetY);
    }
    return page;
}

} // namespace platform

DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR returned,
                        DWORD size) {
    if (section != nullptr && key != nullptr && strcasecmp(section, "windows") == 0 &&
        strcasecmp(key, "device") == 0) {
        std::string name = platform::DefaultPrinterName();
        std::string entry = name.empty() ? std::string(defaultValue != nullptr ? defaultValue : "")
                                         : name + ",zorv," + (name == "PDF" ? "PDF:" : "ZORV:");
        if (returned == nullptr || size == 0) return 0;
        size_t length = std::min<size_t>(entry.size(), size - 1);
        std::memcpy(returned, entry.data(), length);
        returned[length] = '\0';
        return static_cast<DWORD>(length);
    }
    return GetPrivateProfileStringA(section, key, defaultValue, returned, size, "win.ini");
}
