// The printers this layer knows and the paper their pages take. Internal to printing/.
#pragma once

#include <string>

#include "platform/printing/pdf_device.h"
#include "platform/user/dialogs/common_dialogs.h"

namespace platform {

enum class PrinterKind {
    Pdf,    // asks for each document's file
    Folder, // numbered files in a folder
};

struct PrinterInfo {
    std::string name;
    PrinterKind kind = PrinterKind::Pdf;
    std::string folder; // Linux path, Folder only
};

// The printer of that name (case as given); false when there is none.
bool FindPrinter(const std::string& name, PrinterInfo& printer);
// The paper of a set-up (null: the locale's paper, portrait) with a quarter-inch margin.
PageGeometry PaperFor(const DEVMODEA* setup);

} // namespace platform
