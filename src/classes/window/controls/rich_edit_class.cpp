#include "classes/window/controls/rich_edit_class.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "classes/window/controls/control_table.h"
#include "classes/window/controls/edit_operations.h"
#include "classes/window/window_class.h"
#include "classes/window/window_surface.h"
#include "foundation/memory/result_codes.h"
#include "foundation/streams/file_in_stream.h"
#include "foundation/streams/in_stream.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/surfaces/surface.h"
#include "platform/files/files.h"
#include "platform/gdi/screen_dc.h"
#include "platform/gdi/text/text_out.h"
#include "platform/user/paint/update_region.h"
#include "script/interpreter/interpretor.h"
#include "script/project/project_file.h"
#include "script/runtime/run_application.h"

namespace {

// The own attribute table (id base 0xAAD00000): indexes 0-9 the style, 10-12 flags A.
const uint32_t kRichEditAttributes[] = {ES_DISABLENOSCROLL,
                                        ES_SUNKEN,
                                        ES_NOHIDESEL,
                                        ES_CENTER,
                                        ES_LEFT,
                                        ES_RIGHT,
                                        ES_AUTOHSCROLL,
                                        ES_AUTOVSCROLL,
                                        ES_READONLY,
                                        ES_PASSWORD,
                                        CIRichEdit::kAutoUrlDetect,
                                        CIRichEdit::kHideDisabledState,
                                        CIRichEdit::kMultiLevelUndo,
                                        CIChildWindow::kTableEnd};

constexpr uint32_t kSurfaceClassId = 9;

CIRichEdit* RichEditOf(HWND hwnd) {
    CIBaseClassImpl* object = GetWindowObject(hwnd, kWindowObjectProperty);
    if (object == nullptr || object->classIndex != CIRichEdit::kClassId) return nullptr;
    return static_cast<CIRichEdit*>(object);
}

// The streams of the streaming methods, each the cookie of its callback.
DWORD ReadInStream(DWORD_PTR cookie, BYTE* buffer, LONG count, LONG* done) {
    auto* stream = reinterpret_cast<CInStream*>(cookie);
    // Some streams read all that is asked or nothing: never ask past the end.
    uint32_t length = stream->GetLength(), at = stream->Tell();
    uint32_t wanted = std::min(static_cast<uint32_t>(count), length > at ? length - at : 0);
    *done = 0;
    if (wanted == 0) return 0;
    uint32_t read = 0;
    ResultCode result = stream->ReadCounted(buffer, wanted, &read);
    *done = static_cast<LONG>(read);
    if (result == kResultOk || result == kResultEndOfData || read > 0) return 0;
    return 1;
}

DWORD WriteFileStream(DWORD_PTR cookie, BYTE* buffer, LONG count, LONG* done) {
    DWORD written = 0;
    if (!WriteFile(static_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(count), &written,
                   nullptr))
        written = 0;
    *done = static_cast<LONG>(written);
    return 0;
}

struct Memory {
    const char* data;
    size_t size;
};
DWORD ReadMemory(DWORD_PTR cookie, BYTE* buffer, LONG count, LONG* done) {
    auto* memory = reinterpret_cast<Memory*>(cookie);
    size_t n = std::min(memory->size, static_cast<size_t>(count));
    std::memcpy(buffer, memory->data, n);
    memory->data += n;
    memory->size -= n;
    *done = static_cast<LONG>(n);
    return 0;
}

DWORD CountBytes(DWORD_PTR cookie, BYTE*, LONG count, LONG* done) {
    *reinterpret_cast<size_t*>(cookie) += static_cast<size_t>(count);
    *done = count;
    return 0;
}

struct Buffer {
    char* data;
    size_t room;
    size_t used;
};
DWORD WriteMemory(DWORD_PTR cookie, BYTE* bytes, LONG count, LONG* done) {
    auto* buffer = reinterpret_cast<Buffer*>(cookie);
    size_t n = std::min(buffer->room - buffer->used, static_cast<size_t>(count));
    std::memcpy(buffer->data + buffer->used, bytes, n);
    buffer->used += n;
    *done = count;
    return 0;
}

} // namespace

CIRichEdit::CIRichEdit(CInterpretor* interpreter, const CClassRecord* record)
    : CIChildWindow(interpreter, record) {
    SetCreateParams(10, 10, 200, 200, WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER, 0);
    AddAttributeTable(kRichEditAttributes, kOwnTableBase);
}

void CIRichEdit::CallMethod(uint16_t methodId) {
    if (methodId >= 1 && methodId < kFirstOwnControlMethod) {
        CallSharedControlMethod(*this, methodId);
        return;
    }
    ScriptMethod<CIRichEdit> method = methodId >= kFirstOwnControlMethod && methodId < kMethodCount
                                          ? kOwnMethods[methodId - kFirstOwnControlMethod]
                                          : nullptr;
    if (method == nullptr) RaiseNoSuchMethod(*this);
    (this->*method)();
}

void CIRichEdit::Destroy(int flag) {
    if (hwnd != 0 && savedWindowProc != nullptr)
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedWindowProc));
    savedWindowProc = nullptr;
    RemoveParentHandler(*this, &CIRichEdit::ParentHandler, flag);
    CIChildWindow::Destroy(flag);
}

void CIRichEdit::Create() {
    ParseCreateArgs(0x400005AF, nullptr, 0, uint32_t(interpreter->GetArgCount()));
    Register();
}

void CIRichEdit::Register() {
    const char* text = caption;
    caption = "";
    if (flagsA & kHideDisabledState) hideDisabledState = 1;
    style |= ES_MULTILINE;
    if (CreateControl(kRichEditClass, 0, this, 0, kCreateChild | kCreateProperty) != 0) {
        Send(EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
        if (version2) {
            WPARAM mode = TM_RICHTEXT | TM_MULTICODEPAGE;
            if (flagsA & kMultiLevelUndo) {
                mode |= TM_MULTILEVELUNDO;
                multiLevelUndo = 1;
                undoLimit = 100;
            } else {
                mode |= TM_SINGLELEVELUNDO;
            }
            Send(EM_SETTEXTMODE, mode);
            if (multiLevelUndo) Send(EM_SETUNDOLIMIT, static_cast<WPARAM>(undoLimit));
            if (flagsA & kAutoUrlDetect) Send(EM_AUTOURLDETECT, TRUE);
        }
        savedWindowProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CIRichEdit::WindowProc)));
        AddParentHandler(*this, &CIRichEdit::ParentHandler);
        Send(EM_SETEVENTMASK, 0, static_cast<LPARAM>(0xFFFFFFFFu));
        CIChildWindow::Register();
        if (text != nullptr) SetWindowTextA(hwnd, text);
    } else {
        CIChildWindow::Register();
    }
}

int CIRichEdit::KeepsTabKey() {
    return CanTakeFocus() ? 0 : 1;
}

LRESULT CIRichEdit::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return hwnd != 0 ? SendMessageA(hwnd, message, wParam, lParam) : 0;
}

void CIRichEdit::SetInt(int32_t value) {
    interpreter->GetResultSlot()->SetInt(value);
}

LRESULT CIRichEdit::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CIRichEdit* edit = RichEditOf(hwnd);
    if (edit == nullptr || edit->savedWindowProc == nullptr)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    WNDPROC saved = edit->savedWindowProc;
    auto post = [&](const BlockRecord* handler, int32_t button) {
        if (handler == nullptr) return;
        CInterpretor& interpreter = *edit->interpreter;
        CValue source(edit);
        CValue x(&interpreter, int32_t(static_cast<short>(LOWORD(lParam))));
        CValue y(&interpreter, int32_t(static_cast<short>(HIWORD(lParam))));
        CValue which(&interpreter, button);
        interpreter.PostEvent(handler, &source, &x, &y, &which);
    };
    switch (message) {
    case WM_LBUTTONDOWN:
        post(edit->onMouseDown, kLeftButton);
        break;
    case WM_RBUTTONDOWN:
        post(edit->onMouseDown, kRightButton);
        break;
    case WM_MBUTTONDOWN:
        post(edit->onMouseDown, kMiddleButton);
        break;
    case WM_LBUTTONUP:
        post(edit->onMouseUp, kLeftButton);
        break;
    case WM_RBUTTONUP:
        post(edit->onMouseUp, kRightButton);
        break;
    case WM_MBUTTONUP:
        post(edit->onMouseUp, kMiddleButton);
        break;
    case WM_LBUTTONDBLCLK:
        post(edit->onDblClick, kLeftButton);
        break;
    case WM_RBUTTONDBLCLK:
        post(edit->onDblClick, kRightButton);
        break;
    case WM_MBUTTONDBLCLK:
        post(edit->onDblClick, kMiddleButton);
        break;
    case WM_PAINT:
    case WM_ERASEBKGND:
        // Painted as enabled once; the layer's EnableWindow only invalidates, so the
        // window is validated and no paint loop follows.
        if (edit->hideDisabledState != 0 && !IsWindowEnabled(hwnd)) {
            EnableWindow(hwnd, TRUE);
            LRESULT result = CallWindowProcA(saved, hwnd, message, wParam, lParam);
            EnableWindow(hwnd, FALSE);
            if (message == WM_PAINT) ValidateRect(hwnd, nullptr);
            return result;
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(saved, hwnd, message, wParam, lParam);
}

LRESULT CIRichEdit::ParentHandler(BOOL& handled, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        CIRichEdit* edit = header != nullptr ? RichEditOf(header->hwndFrom) : nullptr;
        if (edit == nullptr || !edit->version2) return 0;
        handled = TRUE;
        if (edit->onLink == nullptr || header->code != EN_LINK) return 0;
        const auto* link = reinterpret_cast<const ENLINK*>(lParam);
        if (link->msg != WM_LBUTTONUP) return 0;
        CHARRANGE range = link->chrg;
        int32_t length = static_cast<int32_t>(SendMessageA(edit->hwnd, WM_GETTEXTLENGTH, 0, 0));
        int32_t last = range.cpMax < 0 ? length : range.cpMax;
        std::string text(static_cast<size_t>(std::max(last - range.cpMin, 0)) + 1, '\0');
        TEXTRANGEA request{range, text.data()};
        text.resize(static_cast<size_t>(
            SendMessageA(edit->hwnd, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&request))));
        CInterpretor& interpreter = *edit->interpreter;
        CValue source(edit);
        CValue shown(&interpreter, text.c_str(), 0);
        CValue first(&interpreter, int32_t(range.cpMin));
        CValue lastValue(&interpreter, int32_t(range.cpMax));
        interpreter.PostEvent(edit->onLink, &source, &shown, &first, &lastValue);
        return 0;
    }
    if (message != WM_COMMAND) return 0;
    CIRichEdit* edit = RichEditOf(static_cast<HWND>(lParam));
    if (edit == nullptr) return 0;
    if (PostEditNotification(*edit, HIWORD(wParam),
                             {edit->onSetFocus, edit->onKillFocus, edit->onTextChanged,
                              edit->onMaxTextReached, edit->onHorizontalScroll,
                              edit->onVerticalScroll}))
        handled = TRUE;
    return 0;
}

// ---- Events ------------------------------------------------------------------------------

void CIRichEdit::OnTextChanged() {
    ReadHandler(onTextChanged);
}
void CIRichEdit::OnSetFocusEvent() {
    ReadHandler(onSetFocus);
}
void CIRichEdit::OnKillFocusEvent() {
    ReadHandler(onKillFocus);
}
void CIRichEdit::OnMaxTextReached() {
    ReadHandler(onMaxTextReached);
}
void CIRichEdit::OnHorizontalScroll() {
    ReadHandler(onHorizontalScroll);
}
void CIRichEdit::OnVerticalScroll() {
    ReadHandler(onVerticalScroll);
}
void CIRichEdit::OnMouseDown() {
    ReadHandler(onMouseDown);
}
void CIRichEdit::OnMouseUp() {
    ReadHandler(onMouseUp);
}
void CIRichEdit::OnDblClick() {
    ReadHandler(onDblClick);
}
void CIRichEdit::OnLink() {
    ReadHandler(onLink);
}

// ---- What the Edit does too --------------------------------------------------------------

void CIRichEdit::Edit(EditOperation operation) {
    RunEditOperation(*interpreter, hwnd, operation);
}
void CIRichEdit::CanUndo() {
    Edit(EditOperation::CanUndo);
}
void CIRichEdit::ClearUndoBuffer() {
    Edit(EditOperation::ClearUndoBuffer);
}
void CIRichEdit::GetFirstVisibleLine() {
    Edit(EditOperation::GetFirstVisibleLine);
}
void CIRichEdit::GetMaxSize() {
    Edit(EditOperation::GetMaxSize);
}
void CIRichEdit::GetLineCount() {
    Edit(EditOperation::GetLineCount);
}
void CIRichEdit::IsModified() {
    Edit(EditOperation::IsModified);
}
void CIRichEdit::Copy() {
    Edit(EditOperation::Copy);
}
void CIRichEdit::Cut() {
    Edit(EditOperation::Cut);
}
void CIRichEdit::Paste() {
    Edit(EditOperation::Paste);
}
void CIRichEdit::DeleteSelection() {
    Edit(EditOperation::DeleteSelection);
}
void CIRichEdit::SetModified() {
    Edit(EditOperation::SetModified);
}
void CIRichEdit::SetReadOnly() {
    Edit(EditOperation::SetReadOnly);
}
void CIRichEdit::ScrollDownOneLine() {
    Edit(EditOperation::ScrollDownOneLine);
}
void CIRichEdit::ScrollUpOneLine() {
    Edit(EditOperation::ScrollUpOneLine);
}
void CIRichEdit::ScrollDownOnePage() {
    Edit(EditOperation::ScrollDownOnePage);
}
void CIRichEdit::ScrollUpOnePage() {
    Edit(EditOperation::ScrollUpOnePage);
}
void CIRichEdit::GetLineLength() {
    Edit(EditOperation::GetLineLength);
}
void CIRichEdit::Scroll() {
    Edit(EditOperation::Scroll);
}
void CIRichEdit::GetCharIndexFromLineIndex() {
    Edit(EditOperation::GetCharIndexFromLineIndex);
}
void CIRichEdit::GetLineContent() {
    Edit(EditOperation::GetLineContent);
}
void CIRichEdit::SetTabStops() {
    Edit(EditOperation::SetTabStops);
}
void CIRichEdit::GetInt() {
    Edit(EditOperation::GetInt);
}
void CIRichEdit::GetFloat() {
    Edit(EditOperation::GetFloat);
}

// ---- One message each ----------------------------------------------------------------------

void CIRichEdit::GetStartSelection() {
    CHARRANGE range{0, 0};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SetInt(range.cpMin);
}
void CIRichEdit::GetEndSelection() {
    CHARRANGE range{0, 0};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SetInt(range.cpMax);
}
void CIRichEdit::SetSelection() {
    CHARRANGE range{interpreter->IsArgDefault(0) ? -1 : interpreter->GetArgInt(0),
                    interpreter->IsArgDefault(1) ? -1 : interpreter->GetArgInt(1)};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}
void CIRichEdit::SetMaxSize() {
    Send(EM_EXLIMITTEXT, 0, interpreter->IsArgDefault(0) ? 0x7FFFFFFF : interpreter->GetArgInt(0));
}
void CIRichEdit::GetLineIndexFromCharIndex() {
    SetInt(static_cast<int32_t>(
        Send(EM_EXLINEFROMCHAR, 0, interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0))));
}
void CIRichEdit::SetLeftMargin() {
    int32_t n = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    Send(EM_SETMARGINS, EC_LEFTMARGIN, static_cast<LPARAM>(static_cast<uint32_t>(n) & 0xFFFF));
}
void CIRichEdit::SetRightMargin() {
    int32_t n = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    Send(EM_SETMARGINS, EC_RIGHTMARGIN, static_cast<LPARAM>(static_cast<uint32_t>(n) << 16));
}
void CIRichEdit::CanPaste() {
    SetInt(Send(EM_CANPASTE) != 0 ? 1 : 0);
}
void CIRichEdit::Undo() {
    Send(EM_UNDO);
}
void CIRichEdit::HideSelection() {
    Send(EM_HIDESELECTION, TRUE);
}
void CIRichEdit::ShowSelection() {
    Send(EM_HIDESELECTION, FALSE);
}
void CIRichEdit::IsTextSelected() {
    LRESULT type = Send(EM_SELECTIONTYPE);
    SetInt(type == SEL_TEXT || type == (SEL_TEXT | SEL_MULTICHAR) ? 1 : 0);
}
void CIRichEdit::SetBackGround() {
    if (interpreter->IsArgDefault(0)) {
        Send(EM_SETBKGNDCOLOR, 1, 0);
        return;
    }
    auto rgb = static_cast<uint32_t>(interpreter->GetArgInt(0));
    COLORREF color = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    Send(EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(color));
}
void CIRichEdit::Redo() {
    if (multiLevelUndo) Send(EM_REDO);
}
void CIRichEdit::CanRedo() {
    SetInt(multiLevelUndo && Send(EM_CANREDO) != 0 ? 1 : 0);
}
void CIRichEdit::SetUndoLevelCount() {
    if (!multiLevelUndo) return;
    undoLimit = interpreter->IsArgDefault(0) ? 100 : interpreter->GetArgInt(0);
    Send(EM_SETUNDOLIMIT, static_cast<WPARAM>(std::max(undoLimit, 0)));
}
void CIRichEdit::HasLinkSupport() {
    SetInt(version2 ? 1 : 0);
}
void CIRichEdit::HasMultiLevelUndoSupport() {
    SetInt(static_cast<int32_t>(multiLevelUndo));
}
void CIRichEdit::GetUndoLevelCount() {
    SetInt(undoLimit);
}

// ---- Character formats -----------------------------------------------------------------------

int32_t CIRichEdit::TwipsPerPixel() {
    HDC screen = GetDC(0);
    int dpi = screen != 0 ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != 0) ReleaseDC(0, screen);
    return 1440 / std::max(dpi, 1);
}

void CIRichEdit::SetCharFormat(uint32_t mask, uint32_t effects, const CHARFORMATA* base) {
    CHARFORMATA format{};
    if (base != nullptr) format = *base;
    format.cbSize = sizeof(format);
    format.dwMask = mask;
    format.dwEffects = effects;
    Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

CHARFORMATA CIRichEdit::GetCharFormat() {
    CHARFORMATA format{};
    format.cbSize = sizeof(format);
    Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

void CIRichEdit::SetEffect(uint32_t mask) {
    int32_t flag = interpreter->IsArgDefault(0) ? 1 : interpreter->GetArgInt(0);
    SetCharFormat(mask, flag != 0 ? mask : 0);
}

void CIRichEdit::IsEffect(uint32_t mask) {
    SetInt((GetCharFormat().dwEffects & mask) != 0 ? 1 : 0);
}

void CIRichEdit::SetCharFaceName() {
    if (interpreter->IsArgDefault(0)) return;
    const char* name = interpreter->GetArgString(0);
    if (name == nullptr || name[0] == '\0') return;
    CHARFORMATA format{};
    std::strncpy(format.szFaceName, name, sizeof(format.szFaceName) - 1);
    SetCharFormat(CFM_FACE, 0, &format);
}
void CIRichEdit::SetCharBold() {
    SetEffect(CFM_BOLD);
}
void CIRichEdit::SetCharItalic() {
    SetEffect(CFM_ITALIC);
}
void CIRichEdit::SetCharUnderline() {
    SetEffect(CFM_UNDERLINE);
}
void CIRichEdit::SetCharStrikeOut() {
    SetEffect(CFM_STRIKEOUT);
}
void CIRichEdit::SetCharLink() {
    if (version2) SetEffect(CFM_LINK);
}
void CIRichEdit::SetCharColor() {
    auto rgb = static_cast<uint32_t>(interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0));
    CHARFORMATA format{};
    format.crTextColor = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    SetCharFormat(CFM_COLOR, 0, &format);
}
void CIRichEdit::SetCharHeight() {
    int32_t pixels = interpreter->IsArgDefault(0) ? 16 : interpreter->GetArgInt(0);
    CHARFORMATA format{};
    format.yHeight = TwipsPerPixel() * pixels;
    SetCharFormat(CFM_SIZE, 0, &format);
}
void CIRichEdit::GetCharFaceName() {
    CHARFORMATA format = GetCharFormat();
    format.szFaceName[sizeof(format.szFaceName) - 1] = '\0';
    interpreter->GetResultSlot()->SetString(format.szFaceName, 0);
}
void CIRichEdit::IsCharBold() {
    IsEffect(CFE_BOLD);
}
void CIRichEdit::IsCharItalic() {
    IsEffect(CFE_ITALIC);
}
void CIRichEdit::IsCharUnderline() {
    IsEffect(CFE_UNDERLINE);
}
void CIRichEdit::IsCharStrikeOut() {
    IsEffect(CFE_STRIKEOUT);
}
void CIRichEdit::GetCharColor() {
    CHARFORMATA format = GetCharFormat();
    COLORREF color =
        (format.dwEffects & CFE_AUTOCOLOR) ? GetSysColor(COLOR_WINDOWTEXT) : format.crTextColor;
    SetInt(static_cast<int32_t>((color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF)));
}
void CIRichEdit::GetCharHeight() {
    SetInt(GetCharFormat().yHeight / std::max(TwipsPerPixel(), 1));
}

// ---- Search and text ranges -----------------------------------------------------------------

void CIRichEdit::FindText() {
    if (interpreter->IsArgDefault(0) || interpreter->GetArg(0)->GetType() != kValueString) {
        SetInt(-1);
        return;
    }
    std::string what = interpreter->GetArgString(0);
    uint32_t flags = FR_DOWN;
    int32_t start = static_cast<int32_t>(0x80000000u);
    bool startGiven = false;
    for (int32_t i = 1; i < interpreter->GetArgCount(); ++i) {
        if (interpreter->IsArgDefault(uint32_t(i))) continue;
        int32_t value = interpreter->GetArgInt(uint32_t(i));
        if (value < 0) {
            flags |= static_cast<uint32_t>(value) & 0x7FFFFFFFu;
        } else if (!startGiven) {
            start = value;
            startGiven = true;
        }
    }
    FINDTEXTA find{{start, -1}, what.c_str()};
    SetInt(static_cast<int32_t>(Send(EM_FINDTEXT, flags, reinterpret_cast<LPARAM>(&find))));
}

void CIRichEdit::GetTextRange() {
    // Positions count a paragraph end once: the length in positions is the whole range's.
    CHARRANGE all{0, -1};
    std::string whole(static_cast<size_t>(std::max<LRESULT>(Send(WM_GETTEXTLENGTH), 0)) + 1, '\0');
    TEXTRANGEA everything{all, whole.data()};
    auto size =
        static_cast<int32_t>(Send(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&everything)));
    int32_t first = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    int32_t last = interpreter->IsArgDefault(1) ? -1 : interpreter->GetArgInt(1);
    first = std::clamp(first, 0, size);
    last = last == -1 ? size : std::clamp(last, 0, size);
    if (last <= first) {
        interpreter->GetResultSlot()->SetString("", 0);
        return;
    }
    std::string text(static_cast<size_t>(last - first) + 1, '\0');
    TEXTRANGEA range{{first, last}, text.data()};
    text.resize(static_cast<size_t>(Send(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
    interpreter->GetResultSlot()->SetString(text.c_str(), 0);
}

// ---- Streams ---------------------------------------------------------------------------------

int32_t CIRichEdit::Load(uint32_t format) {
    if (interpreter->IsArgDefault(0) || hwnd == 0) return 0;
    const char* name = interpreter->GetArgString(0);
    std::unique_ptr<CInStream> stream;
    if (interpreter->projectFile != nullptr)
        stream.reset(interpreter->projectFile->FindElementByName(name, 1, 1));
    if (!stream) {
        auto* file = new (std::nothrow) CFileInStream;
        if (file != nullptr && file->OpenFile(name) == kResultOk)
            stream.reset(file);
        else
            delete file;
    }
    if (!stream) return 0;
    EDITSTREAM editStream{reinterpret_cast<DWORD_PTR>(stream.get()), 0, &ReadInStream};
    Send(EM_STREAMIN, format, reinterpret_cast<LPARAM>(&editStream));
    return editStream.dwError == 0 ? 1 : 0;
}

int32_t CIRichEdit::Save(uint32_t format) {
    if (interpreter->IsArgDefault(0) || hwnd == 0) return 0;
    HANDLE file = CreateFileA(interpreter->GetArgString(0), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE) return 0;
    EDITSTREAM editStream{static_cast<DWORD_PTR>(file), 0, &WriteFileStream};
    Send(EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&editStream));
    CloseHandle(file);
    return editStream.dwError == 0 ? 1 : 0;
}

void CIRichEdit::LoadText() {
    SetInt(Load(SF_TEXT));
}
void CIRichEdit::LoadRTF() {
    SetInt(Load(SF_RTF));
}
void CIRichEdit::SaveText() {
    SetInt(Save(SF_TEXT));
}
void CIRichEdit::SaveRTF() {
    SetInt(Save(SF_RTF));
}

void CIRichEdit::GetSelection() {
    uint32_t flags = 0;
    for (int32_t i = 0; i < interpreter->GetArgCount(); ++i) {
        if (interpreter->IsArgDefault(uint32_t(i))) continue;
        auto value = static_cast<uint32_t>(interpreter->GetArgInt(uint32_t(i)));
        if ((value & kTagMask) != kFormatTag) interpreter->RaiseError(14);
        flags |= value;
    }
    if (flags == 0) flags = kText;
    WPARAM format = ((flags & kText) == kText ? SF_TEXT : SF_RTF) | SFF_SELECTION;
    size_t size = 0;
    EDITSTREAM count{reinterpret_cast<DWORD_PTR>(&size), 0, &CountBytes};
    Send(EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&count));
    if (size == 0) {
        interpreter->GetResultSlot()->SetString("", 0);
        return;
    }
    std::string text(size + 1, '\0');
    Buffer buffer{text.data(), size, 0};
    EDITSTREAM copy{reinterpret_cast<DWORD_PTR>(&buffer), 0, &WriteMemory};
    Send(EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&copy));
    // A shorter second pass ends the text where it stopped.
    text.resize(buffer.used);
    interpreter->GetResultSlot()->SetString(text.c_str(), 0);
}

void CIRichEdit::StreamArguments(bool collapse) {
    const char* text = nullptr;
    uint32_t flags = 0;
    for (int32_t i = 0; i < interpreter->GetArgCount(); ++i) {
        const CValue* argument = interpreter->GetArg(uint32_t(i));
        switch (argument->GetType()) {
        case kValueDefault:
            break;
        case kValueString:
            if (text != nullptr) interpreter->RaiseError(14);
            text = argument->GetString();
            break;
        case kValueInt:
        case kValueDouble: {
            auto value = static_cast<uint32_t>(argument->GetInt());
            if ((value & kTagMask) != kFormatTag) interpreter->RaiseError(14);
            flags |= value;
            break;
        }
        default:
            interpreter->RaiseError(14);
        }
    }
    if (text == nullptr) text = "";
    if (collapse) {
        CHARRANGE range{0, 0};
        Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARRANGE collapsed{-1, range.cpMin};
        Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&collapsed));
    }
    bool plain = (flags & kText) == kText || (flags & ~kTagMask) == 0;
    Memory memory{text, std::strlen(text)};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&memory), 0, &ReadMemory};
    Send(EM_STREAMIN, (plain ? SF_TEXT : SF_RTF) | SFF_SELECTION,
         reinterpret_cast<LPARAM>(&stream));
}

void CIRichEdit::InsertText() {
    StreamArguments(true);
}
void CIRichEdit::ReplaceSelection() {
    StreamArguments(false);
}

// ---- Drawing into a Surface ------------------------------------------------------------------

void CIRichEdit::Draw() {
    CIBaseClassImpl* object = interpreter->GetArg(0)->IsObjectOfClass(kSurfaceClassId)
                                  ? interpreter->GetArg(0)->GetObject()
                                  : nullptr;
    CWindowSurface* surface = object != nullptr ? AsWindowSurface(object) : nullptr;
    if (surface == nullptr) interpreter->RaiseError(127);
    SurfaceHandle* handle = surface->GetSurfaceHandle();
    if (handle == nullptr || hwnd == 0) return;
    int32_t area[4] = {0, 0, handle->GetWidth(), handle->GetHeight()};
    surface->GetPenPosition(area[0], area[1]);
    for (uint32_t i = 0; i < 4; ++i)
        if (!interpreter->IsArgDefault(i + 1)) area[i] = interpreter->GetArgInt(i + 1);
    int32_t left = area[0], top = area[1], right = left + area[2], bottom = top + area[3];
    surface->MarkChanged(left, top, right, bottom);
    HDC dc = handle->GetImpl()->GetDC();
    if (dc == 0) return;
    int dpiX = std::max(GetDeviceCaps(dc, LOGPIXELSX), 1);
    int dpiY = std::max(GetDeviceCaps(dc, LOGPIXELSY), 1);
    auto twips = [](int32_t value, int dpi) {
        return static_cast<LONG>(static_cast<int64_t>(value) * 1440 / dpi);
    };
    LRESULT firstLine = Send(EM_GETFIRSTVISIBLELINE);
    FORMATRANGE range{
        dc,
        dc,
        {twips(left, dpiX), twips(top, dpiY), twips(right, dpiX), twips(bottom, dpiY)},
        {0, 0, 0, 0},
        {static_cast<LONG>(Send(EM_LINEINDEX, static_cast<WPARAM>(firstLine))), -1}};
    Send(EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    handle->GetImpl()->ReleaseDC(dc);
}
