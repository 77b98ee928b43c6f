// The Printer class: a print document on the default printer or on the one chosen in a
// Selector's print dialog, a page Surface to draw on, pages and the document sent, and
// whole documents printed from a text, a Window or a Surface.
#pragma once

#include <cstdint>
#include <string>

#include "classes/dialogs/printer_context.h"
#include "script/classes/base_class.h"
#include "script/values/value.h"

class CISelector;

class CIPrinter : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 5;

    enum : uint16_t {
        kGetPrinterSurface = 1,
        kNewPage,
        kEndPage,
        kInitDocument,
        kSendDocument,
        kGetScreenDotPerInchX,
        kGetScreenDotPerInchY,
        kGetPrinterDotPerInchX,
        kGetPrinterDotPerInchY,
        kGetPrinterWidth,
        kGetPrinterHeight,
        kAbortDocument,
        kPrintScreen,
        kPrint,
        kMethodCount,
    };

    CIPrinter(CInterpretor* interpreter, const CClassRecord* record);
    ~CIPrinter() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;

private:
    void GetPrinterSurface();
    void NewPage();
    void EndPage();
    void InitDocument();
    void SendDocument();
    void GetScreenDotPerInchX();
    void GetScreenDotPerInchY();
    void GetPrinterDotPerInchX();
    void GetPrinterDotPerInchY();
    void GetPrinterWidth();
    void GetPrinterHeight();
    void AbortDocument();
    void PrintScreen();
    void Print();

    // Adds a level; the outermost one opens the document on the Selector's printer (null:
    // the default one). False, with no level added, when no document could be opened.
    bool BeginDocument(CISelector* selector, const std::string& name);
    // Removes a level; the outermost one sends (or aborts) the document and lets go of the
    // printer. Sending with a page open does nothing at all.
    void FinishDocument(bool abort);
    int32_t PrinterCaps(int index) const;
    // Prints `text` word-wrapped over as many pages as it needs.
    void PrintText(const std::string& text);
    // Prints the whole text of a rich edit page after page, as the control lays it out.
    void PrintRichEdit(HWND edit);

    static const ScriptMethod<CIPrinter> kMethods[kMethodCount];

    CValue pageSurface_; // the page Surface, holding one use; integer 0 until asked for
    bool documentOpen_ = false;
    bool pageOpen_ = false;
    SharedPrinterContext context_;
    int32_t nesting_ = 0;
};

const ScriptClassInfo* GetPrinterClassInfo();
