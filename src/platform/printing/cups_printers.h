// The desktop's printers: CUPS destinations, their paper and their print jobs. Internal to
// printing/.
#pragma once

#include <string>
#include <vector>

#include "platform/printing/pdf_device.h"

namespace platform {

struct CupsDestination {
    std::string name;
    bool isDefault = false;
};

// Empty when no CUPS server answers.
std::vector<CupsDestination> CupsDestinations();
// The destination's default paper and its margins, in dots; false when it does not say.
bool CupsPaper(const std::string& name, PageGeometry& page);
// Prints a PDF file as a job of the destination, with the copies and the media ("" for the
// destination's own); false unless CUPS gave a job number.
bool CupsSubmit(const std::string& name, const std::string& file, const std::string& title,
                int copies, const std::string& media);

} // namespace platform
