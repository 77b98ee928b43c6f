#include "platform/printing/cups_printers.h"

#include <cups/cups.h>

#include <algorithm>
#include <string>

#include "platform/libraries/lazy_library.h"

namespace platform {
namespace {

// Hundredths of a millimetre in dots.
int Dots(int hundredths) {
    return (hundredths * PRINTER_DPI + 1270) / 2540;
}

} // namespace

std::vector<CupsDestination> CupsDestinations() {
    std::vector<CupsDestination> found;
    if (!Require(LazyLibrary::Cups)) return found;
    cups_dest_t* dests = nullptr;
    int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < count; ++i) {
        if (dests[i].instance != nullptr) continue;
        found.push_back(CupsDestination{dests[i].name, dests[i].is_default != 0});
    }
    cupsFreeDests(count, dests);
    return found;
}

bool CupsPaper(const std::string& name, PageGeometry& page) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
    if (dest == nullptr) return false;
    bool known = false;
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        cups_size_t size{};
        if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &size) && size.width > 0 &&
            size.length > 0) {
            page.widthPoints = size.width * 72.0 / 2540;
            page.heightPoints = size.length * 72.0 / 2540;
            page.width = Dots(size.width);
            page.height = Dots(size.length);
            page.offsetX = Dots(std::max(size.left, size.right));
            page.offsetY = Dots(std::max(size.top, size.bottom));
            known = page.PrintableWidth() > 0 && page.PrintableHeight() > 0;
        }
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    return known;
}

bool CupsSubmit(const std::string& name, const std::string& file, const std::string& title,
                int copies, const std::string& media) {
    if (!Require(LazyLibrary::Cups)) return false;
    cups_option_t* options = nullptr;
    int count = 0;
    if (copies > 1)
        count = cupsAddOption("copies", std::to_string(copies).c_str(), count, &options);
    if (!media.empty()) count = cupsAddOption("media", media.c_str(), count, &options);
    int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, name.c_str(), file.c_str(), title.c_str(), count,
                             options);
    cupsFreeOptions(count, options);
    return job > 0;
}

} // namespace platform
