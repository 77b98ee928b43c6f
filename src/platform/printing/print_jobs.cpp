#include <fcntl.h>
#include <unistd.h>

#include <strings.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files/drives.h"
#include "platform/gdi/dc.h"
#include "platform/kernel/errors.h"
#include "platform/printing/cups_printers.h"
#include "platform/printing/printers.h"
#include "platform/printing/printing.h"

namespace platform {
namespace {

// A printer's DC device: the PDF it draws and where the document goes.
class PrinterDevice : public PdfDevice {
public:
    PrinterDevice(PageGeometry page, PrinterInfo printer, bool askForFile, int copies,
                  std::string media)
        : PdfDevice(page), printer(std::move(printer)), askForFile(askForFile), copies(copies),
          media(std::move(media)) {}

    const PrinterInfo printer;
    const bool askForFile;
    const int copies;
    const std::string media; // the set-up's paper for CUPS, "" for the printer's own
    // Linux path of the open document's file; "" for a numbered one or a CUPS job.
    std::string output;
    std::string title;
};

std::atomic<int> jobsStarted{0};

std::shared_ptr<PrinterDevice> PrinterOf(HDC dc) {
    std::shared_ptr<DeviceContext> context = LookupDC(dc);
    if (!context || context->kind != DcKind::Printer) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return std::static_pointer_cast<PrinterDevice>(context->device);
}

// The save dialog's answer for a document, as a Linux path; false when cancelled.
bool AskForFile(const char* documentName, std::string& path) {
    std::vector<char> name(MAX_PATH + 1, '\0');
    if (documentName != nullptr && *documentName != '\0') {
        std::snprintf(name.data(), name.size(), "%s.pdf", documentName);
        // A name holding a folder separator or a drive is no file name to offer.
        if (std::strpbrk(name.data(), "\\/:") != nullptr) name[0] = '\0';
    }
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.lpstrFilter = "PDF\0*.pdf\0";
    request.nFilterIndex = 1;
    request.lpstrFile = name.data();
    request.nMaxFile = static_cast<DWORD>(name.size());
    request.lpstrDefExt = "pdf";
    request.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!GetSaveFileNameA(&request)) return false;
    return MapPath(name.data(), path);
}

bool WriteAll(int descriptor, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written <= 0) return false;
        done += static_cast<size_t>(written);
    }
    return ::fsync(descriptor) == 0;
}

// Writes a new file beside `path` and renames it to `path`.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string temporary = path + ".partial";
    int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) return false;
    bool written = WriteAll(descriptor, bytes);
    written = ::close(descriptor) == 0 && written;
    if (written && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
    ::unlink(temporary.c_str());
    return false;
}

// The next free "print-N.pdf" of the folder, taken at once so that no other document
// gets it.
bool ReserveNumberedFile(const std::string& folder, std::string& path) {
    for (int number = 1; number < 100000; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "/print-%04d.pdf", number);
        std::string candidate = folder + name;
        int descriptor = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (descriptor >= 0) {
            ::close(descriptor);
            path = candidate;
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

// Hands the document to CUPS through a temporary file of its own.
bool SubmitToCups(const PrinterDevice& printer, const std::vector<uint8_t>& pdf) {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern =
        std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/zorv-print-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int descriptor = ::mkstemp(name.data());
    if (descriptor < 0) {
        SetLastError(ERROR_WRITE_FAULT);
        return false;
    }
    bool written = WriteAll(descriptor, pdf);
    written = ::close(descriptor) == 0 && written;
    bool submitted = written && CupsSubmit(printer.printer.name, name.data(), printer.title,
                                           printer.copies, printer.media);
    ::unlink(name.data());
    if (!submitted) SetLastError(ERROR_WRITE_FAULT);
    return submitted;
}

} // namespace
} // namespace platform

using platform::PrinterDevice;

HDC CreateDCA(LPCSTR, LPCSTR device, LPCSTR port, const DEVMODEA* setup) {
    std::string name =
        device != nullptr && *device != '\0' ? device : platform::DefaultPrinterName();
    platform::PrinterInfo printer;
    if (name.empty() || !platform::FindPrinter(name, printer)) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return 0;
    }
    bool toFile = port != nullptr && strcasecmp(port, "FILE:") == 0;
    bool ask = printer.kind == platform::PrinterKind::Pdf || toFile;
    int copies = setup != nullptr && (setup->dmFields & DM_COPIES) ? setup->dmCopies : 1;
    platform::PageGeometry page = platform::PaperFor(printer, setup);
    return platform::RegisterDC(platform::DcKind::Printer, std::make_shared<PrinterDevice>(
                                                               page, std::move(printer), ask,
                                                               copies, platform::MediaName(setup)));
}

int StartDocA(HDC dc, const DOCINFOA* info) {
    std::shared_ptr<PrinterDevice> printer = platform::PrinterOf(dc);
    if (!printer) return SP_ERROR;
    if (printer->DocumentOpen()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SP_ERROR;
    }
    std::string output;
    const char* given = info != nullptr ? info->lpszOutput : nullptr;
    if (given != nullptr && *given != '\0' && strcasecmp(given, "FILE:") != 0) {
        if (!platform::MapPath(given, output)) return SP_ERROR;
    } else if (printer->askForFile || (given != nullptr && strcasecmp(given, "FILE:") == 0)) {
        if (!platform::AskForFile(info != nullptr ? info->lpszDocName : nullptr, output)) {
            SetLastError(ERROR_CANCELLED);
            return SP_ERROR;
        }
    }
    if (!printer->BeginDocument()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return SP_ERROR;
    }
    printer->output = output;
    printer->title = info != nullptr && info->lpszDocName != nullptr ? info->lpszDocName : "";
    return ++platform::jobsStarted;
}

int StartPage(HDC dc) {
    std::shared_ptr<PrinterDevice> printer = platform::PrinterOf(dc);
    return printer && printer->BeginPage() ? 1 : SP_ERROR;
}

int EndPage(HDC dc) {
    std::shared_ptr<PrinterDevice> printer = platform::PrinterOf(dc);
    return printer && printer->FinishPage() ? 1 : SP_ERROR;
}

int EndDoc(HDC dc) {
    std::shared_ptr<PrinterDevice> printer = platform::PrinterOf(dc);
    if (!printer) return SP_ERROR;
    std::vector<uint8_t> pdf;
    if (!printer->FinishDocument(pdf)) return SP_ERROR;
    std::string path = printer->output;
    printer->output.clear();
    if (path.empty() && printer->printer.kind == platform::PrinterKind::Cups)
        return platform::SubmitToCups(*printer, pdf) ? 1 : SP_ERROR;
    if (path.empty() && !platform::ReserveNumberedFile(printer->printer.folder, path)) {
        SetLastError(ERROR_WRITE_FAULT);
        return SP_ERROR;
    }
    if (!platform::WriteFileAtomically(path, pdf)) {
        SetLastError(ERROR_WRITE_FAULT);
        return SP_ERROR;
    }
    return 1;
}

int AbortDoc(HDC dc) {
    std::shared_ptr<PrinterDevice> printer = platform::PrinterOf(dc);
    if (!printer) return SP_ERROR;
    printer->Discard();
    printer->output.clear();
    return 1;
}

int Escape(HDC dc, int escape, int, LPCSTR, LPVOID out) {
    std::shared_ptr<PrinterDevice> printer = platform::PrinterOf(dc);
    if (!printer || escape != GETPHYSPAGESIZE || out == nullptr) return 0;
    POINT size{printer->Page().width, printer->Page().height};
    std::memcpy(out, &size, sizeof size);
    return 1;
}
