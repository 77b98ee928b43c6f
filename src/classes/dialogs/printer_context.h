// A printer DC shared by whoever uses it: the Selector whose print dialog made it and the
// Printer printing a document on it. The DC is deleted when the last holder lets it go, so
// a new print dialog or a deleted Selector leaves an open document's DC alive.
#pragma once

#include <memory>

#include "platform/gdi/screen_dc.h"

class PrinterContext {
public:
    explicit PrinterContext(HDC dc) : dc_(dc) {}
    ~PrinterContext();
    PrinterContext(const PrinterContext&) = delete;
    PrinterContext& operator=(const PrinterContext&) = delete;

    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

using SharedPrinterContext = std::shared_ptr<PrinterContext>;
