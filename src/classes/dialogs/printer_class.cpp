#include "classes/dialogs/printer_class.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "classes/dialogs/selector_class.h"
#include "classes/window/controls/rich_edit_class.h"
#include "classes/window/window_class.h"
#include "classes/window/window_surface.h"
#include "graphics2d/drawing/surface_handle.h"
#include "platform/controls/rich_edit/rich_edit.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text/text_out.h"
#include "platform/kernel/string_table.h"
#include "platform/printing/printing.h"
#include "platform/user/input/cursor.h"
#include "platform/user/window_geometry.h"
#include "script/interpreter/interpretor.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CIPrinter::kClassId, "Printer", 0, 0},
    {CIPrinter::kGetPrinterSurface, "GetPrinterSurface", 0, 0},
    {CIPrinter::kNewPage, "NewPage", 0, 0},
    {CIPrinter::kEndPage, "EndPage", 0, 0},
    {CIPrinter::kInitDocument, "InitDocument", 0, 0},
    {CIPrinter::kSendDocument, "SendDocument", 0, 0},
    {CIPrinter::kGetScreenDotPerInchX, "GetScreenDotPerInchX", 0, 0},
    {CIPrinter::kGetScreenDotPerInchY, "GetScreenDotPerInchY", 0, 0},
    {CIPrinter::kGetPrinterDotPerInchX, "GetPrinterDotPerInchX", 0, 0},
    {CIPrinter::kGetPrinterDotPerInchY, "GetPrinterDotPerInchY", 0, 0},
    {CIPrinter::kGetPrinterWidth, "GetPrinterWidth", 0, 0},
    {CIPrinter::kGetPrinterHeight, "GetPrinterHeight", 0, 0},
    {CIPrinter::kAbortDocument, "AbortDocument", 0, 0},
    {CIPrinter::kPrintScreen, "PrintScreen", 0, 0},
    {CIPrinter::kPrint, "Print", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewPrinter(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIPrinter(&interpreter, record);
}

// Printed text: 10 points of Arial with half an inch of margin inside the printable area.
constexpr int kTextPoints = 10;
constexpr int kTextMarginHalfInches = 1;

int ScreenCaps(int index) {
    HDC screen = GetDC(0);
    int value = GetDeviceCaps(screen, index);
    ReleaseDC(0, screen);
    return value;
}

// The default printer's DC, from the "device" entry of the user's profile.
HDC DefaultPrinterDC() {
    char entry[128] = {};
    GetProfileStringA("windows", "device", "", entry, sizeof entry);
    std::string parts[3];
    size_t part = 0;
    for (const char* c = entry; *c != '\0' && part < 3; ++c) {
        if (*c == ',') {
            ++part;
        } else {
            parts[part].push_back(*c);
        }
    }
    if (parts[0].empty()) return 0;
    return CreateDCA(parts[1].c_str(), parts[0].c_str(), parts[2].c_str(), nullptr);
}

// A surface's whole picture stretched over `width` x `height` at the DC's origin.
void DrawSurface(HDC dc, SurfaceHandle* surface, int width, int height) {
    if (surface == nullptr || surface->IsValid() == 0) return;
    int32_t depth = surface->GetDepth();
    int64_t headerSize = GetDIBInfoSize(depth);
    int64_t total = surface->GetPackedDIBSize();
    if (headerSize <= 0 || total <= headerSize) return;
    std::vector<uint8_t> header(size_t(headerSize), 0);
    std::vector<uint8_t> pixels(size_t(total - headerSize), 0);
    if (!surface->ExportDIB(header.data(), header.size(), pixels.data(), pixels.size(), 0)) return;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, width, height, 0, 0, surface->GetWidth(), surface->GetHeight(),
                  pixels.data(), reinterpret_cast<const BITMAPINFO*>(header.data()), DIB_RGB_COLORS,
                  SRCCOPY);
}

} // namespace

const ScriptMethod<CIPrinter> CIPrinter::kMethods[kMethodCount] = {
    nullptr,
    &CIPrinter::GetPrinterSurface,
    &CIPrinter::NewPage,
    &CIPrinter::EndPage,
    &CIPrinter::InitDocument,
    &CIPrinter::SendDocument,
    &CIPrinter::GetScreenDotPerInchX,
    &CIPrinter::GetScreenDotPerInchY,
    &CIPrinter::GetPrinterDotPerInchX,
    &CIPrinter::GetPrinterDotPerInchY,
    &CIPrinter::GetPrinterWidth,
    &CIPrinter::GetPrinterHeight,
    &CIPrinter::AbortDocument,
    &CIPrinter::PrintScreen,
    &CIPrinter::Print,
};

CIPrinter::CIPrinter(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), pageSurface_(interpreter) {}

CIPrinter::~CIPrinter() {
    // A document still open goes unprinted: the printer context's last holder discards it.
    if (documentOpen_ && context_ != nullptr) AbortDoc(context_->Get());
}

void CIPrinter::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIPrinter::Destroy(int) {
    pageSurface_.SetInt(0);
    delete this;
}

bool CIPrinter::BeginDocument(CISelector* selector, const std::string& name) {
    if (documentOpen_) {
        ++nesting_;
        return true;
    }
    SharedPrinterContext context = selector != nullptr ? selector->GetPrinterContext() : nullptr;
    if (context == nullptr) {
        HDC dc = DefaultPrinterDC();
        if (dc == 0) return false;
        context = std::make_shared<PrinterContext>(dc);
    }
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = name.c_str();
    if (StartDocA(context->Get(), &info) <= 0) return false;
    context_ = std::move(context);
    documentOpen_ = true;
    pageOpen_ = false;
    nesting_ = 1;
    return true;
}

void CIPrinter::FinishDocument(bool abort) {
    if (nesting_ == 0) return;
    if (nesting_ > 1) {
        --nesting_;
        return;
    }
    if (pageOpen_ && !abort) return;
    if (abort) {
        AbortDoc(context_->Get());
    } else {
        EndDoc(context_->Get());
    }
    nesting_ = 0;
    documentOpen_ = false;
    pageOpen_ = false;
    context_.reset();
    pageSurface_.SetInt(0);
    interpreter->CollectGarbage();
}

int32_t CIPrinter::PrinterCaps(int index) const {
    return documentOpen_ ? GetDeviceCaps(context_->Get(), index) : 0;
}

void CIPrinter::GetPrinterSurface() {
    CValue* result = interpreter->GetResultSlot();
    if (!documentOpen_) {
        result->SetInt(0);
        return;
    }
    if (pageSurface_.GetType() != kValueObject) {
        CWindowSurface* surface =
            MakeWindowSurface(*interpreter, PrinterCaps(HORZRES), PrinterCaps(VERTRES), 32, 0);
        if (surface == nullptr) interpreter->RaiseError(15);
        // Paper is white: a page starts as blank paper, not as a black picture.
        surface->SetBackgroundColorValue(0xFFFFFF);
        surface->EraseRect(0, 0, PrinterCaps(HORZRES), PrinterCaps(VERTRES), 0);
        pageSurface_.SetObject(surface->GetSurfaceObject(), 1);
    }
    result->SetObject(pageSurface_.GetObject(), 1);
}

void CIPrinter::NewPage() {
    if (!documentOpen_ || pageOpen_) return;
    if (StartPage(context_->Get()) > 0) pageOpen_ = true;
}

void CIPrinter::EndPage() {
    if (!pageOpen_) return;
    HDC dc = context_->Get();
    if (pageSurface_.GetType() == kValueObject) {
        if (CWindowSurface* surface = AsWindowSurface(pageSurface_.GetObject()))
            DrawSurface(dc, surface->GetSurfaceHandle(), GetDeviceCaps(dc, HORZRES),
                        GetDeviceCaps(dc, VERTRES));
    }
    ::EndPage(dc);
    pageOpen_ = false;
}

void CIPrinter::InitDocument() {
    CInterpretor& in = *interpreter;
    CISelector* selector = nullptr;
    std::string name;
    bool named = false;
    for (int32_t i = 0; i < in.GetArgCount(); ++i) {
        const CValue* argument = in.GetArg(uint32_t(i));
        if (argument->IsDefault()) continue;
        if (argument->IsObjectOfClass(CISelector::kClassId)) {
            if (selector != nullptr) in.RaiseError(14);
            selector = static_cast<CISelector*>(argument->GetObject());
        } else if (argument->GetType() == kValueString) {
            if (named) in.RaiseError(14);
            name = argument->GetString();
            named = true;
        } else {
            in.RaiseError(14);
        }
    }
    BeginDocument(selector, name);
}

void CIPrinter::SendDocument() {
    FinishDocument(false);
}

void CIPrinter::AbortDocument() {
    FinishDocument(true);
}

void CIPrinter::GetScreenDotPerInchX() {
    interpreter->GetResultSlot()->SetInt(ScreenCaps(LOGPIXELSX));
}

void CIPrinter::GetScreenDotPerInchY() {
    interpreter->GetResultSlot()->SetInt(ScreenCaps(LOGPIXELSY));
}

void CIPrinter::GetPrinterDotPerInchX() {
    interpreter->GetResultSlot()->SetInt(PrinterCaps(LOGPIXELSX));
}

void CIPrinter::GetPrinterDotPerInchY() {
    interpreter->GetResultSlot()->SetInt(PrinterCaps(LOGPIXELSY));
}

void CIPrinter::GetPrinterWidth() {
    interpreter->GetResultSlot()->SetInt(PrinterCaps(HORZRES));
}

void CIPrinter::GetPrinterHeight() {
    interpreter->GetResultSlot()->SetInt(PrinterCaps(VERTRES));
}

void CIPrinter::PrintScreen() {
    if (pageOpen_ || !BeginDocument(nullptr, "")) return;
    HDC dc = context_->Get();
    if (StartPage(dc) > 0) {
        HDC screen = GetDC(0);
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), screen, 0, 0,
                   GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES), SRCCOPY);
        ReleaseDC(0, screen);
        ::EndPage(dc);
    }
    FinishDocument(false);
}

void CIPrinter::PrintText(const std::string& text) {
    HDC dc = context_->Get();
    int width = GetDeviceCaps(dc, HORZRES);
    int height = GetDeviceCaps(dc, VERTRES);
    int margin = GetDeviceCaps(dc, LOGPIXELSX) * kTextMarginHalfInches / 2;
    LOGFONTA logFont{};
    logFont.lfHeight = -(kTextPoints * GetDeviceCaps(dc, LOGPIXELSY) + 36) / 72;
    logFont.lfWeight = 400;
    std::snprintf(logFont.lfFaceName, LF_FACESIZE, "%s", "Arial");
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const UINT format = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
    int lineHeight = std::max<int>(1, metrics.tmHeight);
    int linesPerPage = std::max(1, (height - 2 * margin) / lineHeight);
    int pageHeight = linesPerPage * lineHeight;
    // The whole text is laid out once; each page shows the lines that fall on it, so a
    // line is never cut between two pages.
    RECT measured{margin, 0, width - margin, 0};
    int total = DrawTextExA(dc, const_cast<char*>(text.c_str()), int(text.size()), &measured,
                            format | DT_CALCRECT, nullptr);
    int pages = std::max(1, (total + pageHeight - 1) / pageHeight);
    for (int page = 0; page < pages; ++page) {
        if (StartPage(dc) <= 0) break;
        RECT area{margin, margin, width - margin, margin + pageHeight};
        HRGN clip = CreateRectRgn(area.left, area.top, area.right, area.bottom);
        SelectClipRgn(dc, clip);
        DeleteObject(clip);
        RECT shifted{margin, margin - page * pageHeight, width - margin,
                     margin - page * pageHeight + total};
        DrawTextExA(dc, const_cast<char*>(text.c_str()), int(text.size()), &shifted,
                    format | DT_NOCLIP, nullptr);
        SelectClipRgn(dc, 0);
        ::EndPage(dc);
    }
    SelectObject(dc, previous);
    DeleteObject(font);
}

void CIPrinter::PrintRichEdit(HWND edit) {
    HDC dc = context_->Get();
    int dpiX = std::max(GetDeviceCaps(dc, LOGPIXELSX), 1);
    int dpiY = std::max(GetDeviceCaps(dc, LOGPIXELSY), 1);
    auto twipsX = [dpiX](int64_t dots) { return static_cast<LONG>(dots * 1440 / dpiX); };
    auto twipsY = [dpiY](int64_t dots) { return static_cast<LONG>(dots * 1440 / dpiY); };
    POINT paper{};
    if (Escape(dc, GETPHYSPAGESIZE, 0, nullptr, &paper) <= 0) {
        paper.x = GetDeviceCaps(dc, HORZRES);
        paper.y = GetDeviceCaps(dc, VERTRES);
    }
    // The text goes inside the printable area, with the margins printed texts have.
    int margin = dpiX * kTextMarginHalfInches / 2;
    int width = GetDeviceCaps(dc, HORZRES);
    int height = GetDeviceCaps(dc, VERTRES);
    FORMATRANGE range{};
    range.hdc = dc;
    range.hdcTarget = dc;
    range.rcPage = {0, 0, twipsX(paper.x), twipsY(paper.y)};
    range.rc = {twipsX(margin), twipsY(margin), twipsX(std::max(width - margin, margin + 1)),
                twipsY(std::max(height - margin, margin + 1))};
    range.chrg = {0, -1};
    HCURSOR previous = SetCursor(LoadCursorA(0, IDC_WAIT));
    SetBkMode(dc, TRANSPARENT);
    auto format = [&](BOOL render) {
        return SendMessageA(edit, EM_FORMATRANGE, static_cast<WPARAM>(render),
                            reinterpret_cast<LPARAM>(&range));
    };
    // Each page is measured before it is started, so the text's end gives no blank page; an
    // empty text still prints its one page.
    for (bool first = true;; first = false) {
        LRESULT next = format(FALSE);
        if (!first && next <= range.chrg.cpMin) break;
        if (StartPage(dc) <= 0) break;
        format(TRUE);
        ::EndPage(dc);
        // A line taller than the page never fits: the rest cannot be printed, and asking
        // again would give the same page for ever.
        if (next <= range.chrg.cpMin) break;
        range.chrg.cpMin = static_cast<LONG>(next);
    }
    SendMessageA(edit, EM_FORMATRANGE, FALSE, 0);
    SetCursor(previous);
}

void CIPrinter::Print() {
    CInterpretor& in = *interpreter;
    std::string name;
    if (in.IsArgDefault(0)) {
        char text[64] = {};
        LoadStringA(0, 43472, text, sizeof text);
        name = text;
    } else if (in.GetArg(0)->GetType() == kValueString) {
        name = in.GetArgString(0);
    } else {
        in.RaiseError(14);
    }
    const CValue* content = in.GetArg(1);
    bool fit = !in.IsArgDefault(2) && in.GetArgInt(2) != 0;
    bool isText = content->GetType() == kValueString;
    std::string text;
    if (isText) {
        text = content->GetString();
    } else if (!content->IsObjectOfClass(CIWindow::kClassId) &&
               !content->IsObjectOfClass(CIRichEdit::kClassId) &&
               (content->GetType() != kValueObject ||
                AsWindowSurface(content->GetObject()) == nullptr)) {
        in.RaiseError(14);
    }
    // The printer may ask for a file first, and event handlers run while it asks: the
    // content is held, and forgotten should a handler delete it.
    CValue held(interpreter);
    if (!isText) held.Assign(*content);
    if (!BeginDocument(nullptr, name)) return;
    HDC dc = context_->Get();
    HWND window = 0;
    HWND richEdit = 0;
    CWindowSurface* surface = nullptr;
    if (held.IsObjectOfClass(CIRichEdit::kClassId)) {
        richEdit = static_cast<CIRichEdit*>(held.GetObject())->hwnd;
    } else if (held.IsObjectOfClass(CIWindow::kClassId)) {
        window = static_cast<CIWindow*>(held.GetObject())->hwnd;
    } else if (held.GetType() == kValueObject) {
        surface = AsWindowSurface(held.GetObject());
    }
    if (isText) {
        PrintText(text);
    } else if (held.IsObjectOfClass(CIRichEdit::kClassId)) {
        if (richEdit != 0) PrintRichEdit(richEdit);
    } else if (StartPage(dc) > 0) {
        int pageWidth = GetDeviceCaps(dc, HORZRES);
        int pageHeight = GetDeviceCaps(dc, VERTRES);
        RECT frame{};
        int width = 0;
        int height = 0;
        if (window != 0 && GetWindowRect(window, &frame)) {
            width = frame.right - frame.left;
            height = frame.bottom - frame.top;
        } else if (surface != nullptr && surface->GetSurfaceHandle() != nullptr) {
            width = surface->GetSurfaceHandle()->GetWidth();
            height = surface->GetSurfaceHandle()->GetHeight();
        }
        int drawnWidth =
            fit ? pageWidth : width * GetDeviceCaps(dc, LOGPIXELSX) / ScreenCaps(LOGPIXELSX);
        int drawnHeight =
            fit ? pageHeight : height * GetDeviceCaps(dc, LOGPIXELSY) / ScreenCaps(LOGPIXELSY);
        if (window != 0 && width > 0 && height > 0) {
            HDC source = GetWindowDC(window);
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, 0, 0, drawnWidth, drawnHeight, source, 0, 0, width, height, SRCCOPY);
            ReleaseDC(window, source);
        } else if (surface != nullptr) {
            DrawSurface(dc, surface->GetSurfaceHandle(), drawnWidth, drawnHeight);
        }
        ::EndPage(dc);
    }
    FinishDocument(false);
}

const ScriptClassInfo* GetPrinterClassInfo() {
    static const ScriptClassInfo info{kNameTable, &NewPrinter, 0, nullptr, 0, nullptr, nullptr};
    return &info;
}
