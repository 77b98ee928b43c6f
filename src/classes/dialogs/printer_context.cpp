#include "classes/dialogs/printer_context.h"

#include "platform/gdi/dc_state.h"

PrinterContext::~PrinterContext() {
    if (dc_ != 0) DeleteDC(dc_);
}
