#include "classes/window/controls/edit_operations.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "foundation/file_in_stream.h"
#include "foundation/file_layer.h"
#include "platform/controls/edit.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/screen_dc.h"
#include "platform/gdi/text/text_out.h"
#include "script/interpreter/interpretor.h"
#include "script/project/project_file.h"

namespace {

// The longest line EM_GETLINE can copy: its size word counts 16 bits.
constexpr int32_t kLongestGetLine = 0xFFFF;
// GetInt and GetFloat read this many characters of the text.
constexpr int kNumberTextLength = 61;
// A call takes at most this many arguments.
constexpr uint32_t kMostArguments = 16;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(window, message, wParam, lParam);
}

int32_t IntOr(CInterpretor& in, uint32_t i, int32_t fallback) {
    return in.IsArgDefault(i) ? fallback : in.GetArgInt(i);
}

void SetIntResult(CInterpretor& in, LRESULT value) {
    in.GetResultSlot()->SetInt(static_cast<int32_t>(value));
}

void SetFlagResult(CInterpretor& in, LRESULT value) {
    in.GetResultSlot()->SetInt(value != 0 ? 1 : 0);
}

// The whole text of the window; empty when there is none.
std::string WholeText(HWND window) {
    LRESULT length = Send(window, WM_GETTEXTLENGTH);
    if (length <= 0) return {};
    std::string text(size_t(length) + 1, '\0');
    LRESULT copied =
        Send(window, WM_GETTEXT, WPARAM(text.size()), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 && size_t(copied) < text.size() ? size_t(copied) : 0);
    return text;
}

void GetSelection(CInterpretor& in, HWND window) {
    DWORD start = 0, end = 0;
    Send(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::string text;
    if (end > start) {
        text = WholeText(window);
        text = start < text.size() ? text.substr(start, std::min<size_t>(end, text.size()) - start)
                                   : std::string();
    }
    in.GetResultSlot()->SetString(text.c_str(), 0);
}

void GetSelectionBound(CInterpretor& in, HWND window, bool end) {
    DWORD first = 0, last = 0;
    Send(window, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    in.GetResultSlot()->SetInt(static_cast<int32_t>(end ? last : first));
}

void ReplaceSelection(CInterpretor& in, HWND window) {
    const char* text = "";
    int32_t canUndo = 1;
    for (uint32_t i = 0; i < 2 && i < uint32_t(in.GetArgCount()); ++i) {
        const CValue* argument = in.GetArg(i);
        if (argument->IsDefault()) continue;
        if (argument->GetType() == kValueString) {
            const char* given = argument->GetString();
            text = given != nullptr ? given : "";
        } else {
            int32_t value = argument->GetInt();
            // One given first goes as it is; one given second as a flag.
            canUndo = i == 0 ? value : value != 0 ? 1 : 0;
        }
    }
    Send(window, EM_REPLACESEL, WPARAM(canUndo), reinterpret_cast<LPARAM>(text));
}

void InsertText(CInterpretor& in, HWND window) {
    const char* text = nullptr;
    uint32_t flags = 0;
    for (uint32_t i = 0; i < uint32_t(in.GetArgCount()); ++i) {
        const CValue* argument = in.GetArg(i);
        if (argument->GetType() == kValueString) {
            if (text != nullptr) in.RaiseError(14);
            const char* given = argument->GetString();
            text = given != nullptr && given != CValue::kDefaultString ? given : "";
            continue;
        }
        if (argument->IsDefault()) continue;
        uint32_t flag = static_cast<uint32_t>(argument->GetInt());
        if ((flag & 0xFFFF0000u) != (kInsertCanUndo & 0xFFFF0000u)) in.RaiseError(14);
        flags |= flag;
    }
    if (flags == 0) flags = kInsertCanUndo;
    if (text == nullptr) text = "";
    DWORD start = 0;
    Send(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    Send(window, EM_SETSEL, WPARAM(-1), LPARAM(start));
    Send(window, EM_REPLACESEL, (flags & kInsertCanUndo) == kInsertCanUndo ? 1 : 0,
         reinterpret_cast<LPARAM>(text));
}

// The average character width of the control's font in pixels, else the dialog base unit.
LONG TabUnit(HWND window) {
    LONG unit = LOWORD(GetDialogBaseUnits());
    HGDIOBJ font = static_cast<HGDIOBJ>(Send(window, WM_GETFONT));
    if (font == 0) return unit;
    HDC dc = GetDC(window);
    if (dc == 0) return unit;
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    if (GetTextMetricsA(dc, &metrics)) unit = metrics.tmAveCharWidth;
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return unit;
}

void SetTabStops(CInterpretor& in, HWND window) {
    uint32_t count = uint32_t(in.GetArgCount());
    if (count == 0) in.RaiseError(21);
    LONG unit = TabUnit(window);
    if (unit == 0) return;
    int stops[kMostArguments] = {};
    int n = 0;
    for (uint32_t i = 0; i < count && i < kMostArguments; ++i) {
        if (in.IsArgDefault(i)) continue;
        stops[n++] = int(uint32_t(in.GetArgInt(i)) * 4u / uint32_t(unit));
    }
    Send(window, EM_SETTABSTOPS, WPARAM(n), reinterpret_cast<LPARAM>(stops));
}

void GetLineContent(CInterpretor& in, HWND window) {
    in.GetResultSlot()->SetString(GetEditLine(window, IntOr(in, 0, 0)).c_str(), 0);
}

void GetNumber(CInterpretor& in, HWND window, bool floating) {
    char text[kNumberTextLength + 1] = {};
    GetWindowTextA(window, text, kNumberTextLength + 1);
    if (floating) {
        in.GetResultSlot()->SetFloat(std::strtod(text, nullptr));
        return;
    }
    // atoi keeps to the integer range as strtol does on a 32-bit system.
    long long value = std::strtoll(text, nullptr, 10);
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    in.GetResultSlot()->SetInt(static_cast<int32_t>(value));
}

// A bank element of that name, else the file of that path; null when neither opens.
CInStream* OpenNamed(CInterpretor& in, const char* name) {
    if (in.projectFile != nullptr) return in.projectFile->FindElementByName(name, 1, 1);
    auto* stream = new (std::nothrow) CFileInStream;
    if (stream != nullptr && stream->OpenFile(name) != kResultOk) {
        delete stream;
        return nullptr;
    }
    return stream;
}

// Only a text that fits the control's limit is loaded; anything else leaves the text as
// it was.
int LoadText(CInterpretor& in, HWND window) {
    if (in.IsArgDefault(0)) return 0;
    std::unique_ptr<CInStream> stream(OpenNamed(in, in.GetArgString(0)));
    if (stream == nullptr) return 0;
    uint64_t length = stream->GetLength();
    uint64_t limit = uint64_t(uint32_t(Send(window, EM_GETLIMITTEXT)));
    if (length == 0 || length > limit) return 0;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[length + 1]);
    if (buffer == nullptr) return 0;
    ResultCode result = stream->Read(buffer.get(), uint32_t(length));
    if (result != kResultOk && result != kResultEndOfData) return 0;
    buffer[length] = '\0';
    return SetWindowTextA(window, buffer.get()) ? 1 : 0;
}

int SaveText(CInterpretor& in, HWND window) {
    if (in.IsArgDefault(0)) return 0;
    HANDLE file = FileCreate(in.GetArgString(0));
    if (file == INVALID_HANDLE_VALUE || file == 0) return 0;
    int length = GetWindowTextLengthA(window);
    int saved = 1;
    if (length > 0) {
        std::unique_ptr<char[]> buffer(new (std::nothrow) char[size_t(length) + 1]);
        int copied = buffer != nullptr ? GetWindowTextA(window, buffer.get(), length + 1) : -1;
        saved = copied >= 0 && FileWrite(file, buffer.get(), uint32_t(copied)) == kResultOk ? 1 : 0;
    }
    FileClose(file);
    return saved;
}

} // namespace

std::string GetEditLine(HWND window, int32_t line) {
    LRESULT start = Send(window, EM_LINEINDEX, WPARAM(line));
    LRESULT length = Send(window, EM_LINELENGTH, WPARAM(start));
    if (length <= 0) return {};
    if (length > kLongestGetLine) {
        if (start < 0) return {};
        std::string text = WholeText(window);
        if (size_t(start) >= text.size()) return {};
        return text.substr(size_t(start), size_t(length));
    }
    // Room for the size word even when the line is shorter than it.
    std::string text(size_t(length) + 3, '\0');
    WORD size = WORD(length);
    std::memcpy(text.data(), &size, sizeof size);
    LRESULT copied = Send(window, EM_GETLINE, WPARAM(line), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 && copied <= length ? size_t(copied) : 0);
    return text;
}

void RunEditOperation(CInterpretor& in, HWND window, EditOperation operation) {
    switch (operation) {
    case EditOperation::Copy:
        Send(window, WM_COPY);
        break;
    case EditOperation::Cut:
        Send(window, WM_CUT);
        break;
    case EditOperation::Paste:
        Send(window, WM_PASTE);
        break;
    case EditOperation::Undo:
        Send(window, WM_UNDO);
        break;
    case EditOperation::SetModified:
        Send(window, EM_SETMODIFY, WPARAM(IntOr(in, 0, 1)));
        break;
    case EditOperation::GetSelection:
        GetSelection(in, window);
        break;
    case EditOperation::SetSelection:
        Send(window, EM_SETSEL, WPARAM(IntOr(in, 0, -1)), LPARAM(IntOr(in, 1, -1)));
        break;
    case EditOperation::DeleteSelection:
        Send(window, EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(""));
        break;
    case EditOperation::ClearUndoBuffer:
        Send(window, EM_EMPTYUNDOBUFFER);
        break;
    case EditOperation::SetMaxSize:
        Send(window, EM_LIMITTEXT, WPARAM(IntOr(in, 0, -1)));
        break;
    case EditOperation::GetMaxSize:
        SetIntResult(in, Send(window, EM_GETLIMITTEXT));
        break;
    case EditOperation::CanUndo:
        SetFlagResult(in, Send(window, EM_CANUNDO));
        break;
    case EditOperation::GetFirstVisibleLine:
        SetIntResult(in, Send(window, EM_GETFIRSTVISIBLELINE));
        break;
    case EditOperation::GetLineContent:
        GetLineContent(in, window);
        break;
    case EditOperation::GetLineCount:
        SetIntResult(in, Send(window, EM_GETLINECOUNT));
        break;
    case EditOperation::IsModified:
        SetFlagResult(in, Send(window, EM_GETMODIFY));
        break;
    case EditOperation::GetStartSelection:
        GetSelectionBound(in, window, false);
        break;
    case EditOperation::GetLineLength:
        SetIntResult(in, Send(window, EM_LINELENGTH,
                              WPARAM(Send(window, EM_LINEINDEX, WPARAM(IntOr(in, 0, 0))))));
        break;
    case EditOperation::Scroll:
        Send(window, EM_LINESCROLL, WPARAM(IntOr(in, 0, 0)), LPARAM(IntOr(in, 1, 0)));
        break;
    case EditOperation::ScrollDownOneLine:
        Send(window, EM_SCROLL, SB_LINEDOWN);
        break;
    case EditOperation::ScrollUpOneLine:
        Send(window, EM_SCROLL, SB_LINEUP);
        break;
    case EditOperation::ScrollDownOnePage:
        Send(window, EM_SCROLL, SB_PAGEDOWN);
        break;
    case EditOperation::ScrollUpOnePage:
        Send(window, EM_SCROLL, SB_PAGEUP);
        break;
    case EditOperation::SetReadOnly:
        Send(window, EM_SETREADONLY, IntOr(in, 0, 1) != 0 ? 1 : 0);
        break;
    case EditOperation::SetTabStops:
        SetTabStops(in, window);
        break;
    case EditOperation::GetEndSelection:
        GetSelectionBound(in, window, true);
        break;
    case EditOperation::ReplaceSelection:
        ReplaceSelection(in, window);
        break;
    case EditOperation::GetLineIndexFromCharIndex:
        SetIntResult(in, Send(window, EM_LINEFROMCHAR, WPARAM(IntOr(in, 0, 0))));
        break;
    case EditOperation::GetCharIndexFromLineIndex:
        SetIntResult(in, Send(window, EM_LINEINDEX, WPARAM(IntOr(in, 0, 0))));
        break;
    case EditOperation::GetInt:
        GetNumber(in, window, false);
        break;
    case EditOperation::GetFloat:
        GetNumber(in, window, true);
        break;
    case EditOperation::LoadText:
        in.GetResultSlot()->SetInt(LoadText(in, window));
        break;
    case EditOperation::SaveText:
        in.GetResultSlot()->SetInt(SaveText(in, window));
        break;
    case EditOperation::InsertText:
        InsertText(in, window);
        break;
    }
}
