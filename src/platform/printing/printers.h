// The printers this layer knows and the paper their pages take. Internal to printing/.
#pragma once

#include <string>

#include "platform/printing/pdf_device.h"
#include "platform/user/dialogs/common_dialogs.h"

namespace platform {

enum class PrinterKind {
    Pdf,    // asks for each document's file
    Folder, // numbered files in a folder
    Cups,   // a destination of the desktop's CUPS server
};

struct PrinterInfo {
    std::string name;
    PrinterKind kind = PrinterKind::Pdf;
    std::string folder; // Linux path, Folder only
};

// The printer of that name (case as given); false when there is none.
bool FindPrinter(const std::string& name, PrinterInfo& printer);
// The paper of a set-up (null: the printer's default paper, else the locale's, portrait):
// a CUPS destination's with its margins, else with a quarter-inch margin.
PageGeometry PaperFor(const PrinterInfo& printer, const DEVMODEA* setup);
// The CUPS name of the set-up's paper, "" when it chose none.
std::string MediaName(const DEVMODEA* setup);

} // namespace platform
