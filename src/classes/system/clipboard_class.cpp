#include "classes/system/clipboard_class.h"

#include <cstring>
#include <new>

#include "classes/surface/surface_class.h"
#include "classes/system/binary_class.h"
#include "platform/clipboard/clipboard.h"
#include "platform/kernel/memory.h"
#include "script/interpreter/interpretor.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CIClipboard::kClassId, "Clipboard", 0, 0},   {CIClipboard::kHasText, "HasText", 0, 0},
    {CIClipboard::kHasImage, "HasImage", 0, 0},   {CIClipboard::kGetText, "GetText", 0, 0},
    {CIClipboard::kGetImage, "GetImage", 0, 0},   {CIClipboard::kPutData, "PutData", 0, 0},
    {CIClipboard::kHasSound, "HasSound", 0, 0},   {CIClipboard::kGetSound, "GetSound", 0, 0},
    {CIClipboard::kHasBinary, "HasBinary", 0, 0}, {CIClipboard::kGetBinary, "GetBinary", 0, 0},
    {CIClipboard::kCleanup, "Cleanup", 0, 0},     {0, nullptr, 0, 0},
};

constexpr UINT kBlockFlags = GMEM_MOVEABLE | GMEM_DDESHARE;

const ClipboardSoundHooks* soundHooks = nullptr;

CIBaseClassImpl* NewClipboard(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIClipboard(&interpreter, record);
}

// The clipboard open for one method, closed on every way out, errors included.
class OpenClipboardScope {
public:
    OpenClipboardScope() : open_(OpenClipboard(0) != 0) {}
    ~OpenClipboardScope() {
        if (open_) CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// A global block locked for reading, with its size.
class LockedBlock {
public:
    explicit LockedBlock(HANDLE block)
        : block_(block), bytes_(static_cast<const uint8_t*>(GlobalLock(block))),
          size_(bytes_ != nullptr ? GlobalSize(block) : 0) {}
    ~LockedBlock() {
        if (bytes_ != nullptr) GlobalUnlock(block_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    const uint8_t* Bytes() const { return bytes_; }
    size_t Size() const { return size_; }

private:
    HANDLE block_;
    const uint8_t* bytes_;
    size_t size_;
};

// A new block holding `size` bytes from `bytes`, or 0.
HGLOBAL CopyToBlock(const void* bytes, size_t size) {
    HGLOBAL block = GlobalAlloc(kBlockFlags, size);
    void* at = GlobalLock(block);
    if (at == nullptr) {
        GlobalFree(block);
        return 0;
    }
    if (size != 0) std::memcpy(at, bytes, size);
    GlobalUnlock(block);
    return block;
}

// The picture of a Surface as a packed bitmap in a new block, or 0.
HGLOBAL SurfaceBlock(SurfaceHandle* surface) {
    const int64_t size = surface->GetPackedDIBSize();
    if (size <= 0) return 0;
    HGLOBAL block = GlobalAlloc(kBlockFlags, size_t(size));
    void* at = GlobalLock(block);
    if (at == nullptr) {
        GlobalFree(block);
        return 0;
    }
    const int done = surface->ExportDIB(at, size_t(size), nullptr, 0, 0);
    GlobalUnlock(block);
    if (!done) {
        GlobalFree(block);
        return 0;
    }
    return block;
}

} // namespace

void SetClipboardSoundHooks(const ClipboardSoundHooks* hooks) {
    soundHooks = hooks;
}

const ScriptMethod<CIClipboard> CIClipboard::kMethods[kMethodCount] = {
    nullptr,
    &CIClipboard::HasText,
    &CIClipboard::HasImage,
    &CIClipboard::GetText,
    &CIClipboard::GetImage,
    &CIClipboard::PutData,
    &CIClipboard::HasSound,
    &CIClipboard::GetSound,
    &CIClipboard::HasBinary,
    &CIClipboard::GetBinary,
    &CIClipboard::Cleanup,
};

CIClipboard::CIClipboard(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

void CIClipboard::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIClipboard::Destroy(int) {
    delete this;
}

uint32_t CIClipboard::FormatArg(uint32_t i) {
    CInterpretor& in = *interpreter;
    if (in.IsArgDefault(i) || in.GetArg(i)->GetType() != kValueString) in.RaiseError(14);
    return RegisterClipboardFormatA(in.GetArg(i)->GetString());
}

void CIClipboard::HasText() {
    interpreter->GetResultSlot()->SetInt(IsClipboardFormatAvailable(CF_TEXT) ? 1 : 0);
}

void CIClipboard::HasImage() {
    const bool both = IsClipboardFormatAvailable(CF_DIB) && IsClipboardFormatAvailable(CF_BITMAP);
    interpreter->GetResultSlot()->SetInt(both ? 1 : 0);
}

void CIClipboard::HasSound() {
    interpreter->GetResultSlot()->SetInt(IsClipboardFormatAvailable(CF_WAVE) ? 1 : 0);
}

void CIClipboard::HasBinary() {
    const uint32_t format = FormatArg(0);
    interpreter->GetResultSlot()->SetInt(format != 0 && IsClipboardFormatAvailable(format) ? 1 : 0);
}

void CIClipboard::GetText() {
    std::string text;
    {
        OpenClipboardScope clipboard;
        if (clipboard.IsOpen()) {
            LockedBlock block(GetClipboardData(CF_TEXT));
            if (block.Bytes() != nullptr) {
                const void* end = std::memchr(block.Bytes(), 0, block.Size());
                const size_t length = end != nullptr
                                          ? size_t(static_cast<const uint8_t*>(end) - block.Bytes())
                                          : block.Size();
                text.assign(reinterpret_cast<const char*>(block.Bytes()), length);
            }
        }
    }
    char* buffer = interpreter->GetResultSlot()->SetStringBuffer(int32_t(text.size() + 1));
    if (buffer != nullptr) std::memcpy(buffer, text.c_str(), text.size() + 1);
}

void CIClipboard::GetImage() {
    CInterpretor& in = *interpreter;
    CValue* result = in.GetResultSlot();
    result->SetInt(0);
    OpenClipboardScope clipboard;
    if (!clipboard.IsOpen()) return;
    // CF_DIB is made from a lone CF_BITMAP by the clipboard itself.
    LockedBlock block(GetClipboardData(CF_DIB));
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
    if (!platform::PackedDibShape(block.Bytes(), block.Size(), width, height, depth)) return;
    auto* surface = new (std::nothrow) CISurface(&in, in.GetClassRecord(CISurface::kClassId));
    if (surface == nullptr) in.RaiseError(15);
    int32_t error = 0;
    if (!surface->CreateSurface(width, height < 0 ? -height : height, depth, 0, error)) {
        surface->Destroy(0);
        in.RaiseError(15);
    }
    surface->ResetDrawingState();
    // An 8-bit picture keeps its own colours: the Surface takes the bitmap's palette.
    const uint32_t flags = depth == 8 ? kImportAdoptPalette : 0;
    if (!surface->mainSurface->CreateFromDIB(block.Bytes(), block.Size(), nullptr, 0, flags)) {
        surface->Destroy(0);
        return;
    }
    surface->Register();
    ++in.creations;
    result->SetObject(surface, 1);
}

void CIClipboard::GetSound() {
    CInterpretor& in = *interpreter;
    CValue* result = in.GetResultSlot();
    result->SetInt(0);
    if (soundHooks == nullptr) return;
    OpenClipboardScope clipboard;
    if (!clipboard.IsOpen()) return;
    LockedBlock block(GetClipboardData(CF_WAVE));
    if (block.Bytes() == nullptr) return;
    CIBaseClassImpl* sound = soundHooks->fromWav(in, block.Bytes(), block.Size());
    if (sound != nullptr) result->SetObject(sound, 1);
}

void CIClipboard::GetBinary() {
    CInterpretor& in = *interpreter;
    const uint32_t format = FormatArg(0);
    CValue* result = in.GetResultSlot();
    result->SetInt(0);
    if (format == 0) return;
    OpenClipboardScope clipboard;
    if (!clipboard.IsOpen()) return;
    LockedBlock block(GetClipboardData(format));
    if (block.Bytes() == nullptr) return;
    CIBinary* binary = MakeBinary(in);
    if (binary == nullptr) in.RaiseError(15);
    result->SetObject(binary, 1);
    if (block.Size() > 0xFFFFFFF0u || !binary->Allocate(int64_t(block.Size()))) in.RaiseError(15);
    if (block.Size() != 0) std::memcpy(binary->Data(), block.Bytes(), block.Size());
}

void CIClipboard::Cleanup() {
    OpenClipboardScope clipboard;
    if (clipboard.IsOpen()) EmptyClipboard();
}

void CIClipboard::PutData() {
    CInterpretor& in = *interpreter;
    const int32_t count = in.GetArgCount();
    if (count < 1 || count > 2) in.RaiseError(21);
    const CValue* value = in.GetArg(0);
    // Everything is checked and the block made before the clipboard is emptied: a wrong
    // argument leaves it as it was.
    UINT format = CF_TEXT;
    HGLOBAL block = 0;
    if (value->GetType() == kValueObject) {
        CIBaseClassImpl* object = value->GetObject();
        if (value->IsObjectOfClass(CISurface::kClassId)) {
            format = CF_DIB;
            block = SurfaceBlock(static_cast<CISurface*>(object)->mainSurface);
        } else if (value->IsObjectOfClass(CIBinary::kClassId)) {
            format = FormatArg(1);
            auto* binary = static_cast<CIBinary*>(object);
            if (format != 0) block = CopyToBlock(binary->Data(), binary->Size());
        } else if (soundHooks != nullptr && value->IsObjectOfClass(soundHooks->soundClassId)) {
            format = CF_WAVE;
            std::vector<uint8_t> wav;
            if (soundHooks->toWav(*object, wav)) block = CopyToBlock(wav.data(), wav.size());
        } else {
            in.RaiseError(14);
        }
    } else {
        const char* text = value->GetString();
        block = CopyToBlock(text, std::strlen(text) + 1);
    }
    if (block == 0) return;
    OpenClipboardScope clipboard;
    if (!clipboard.IsOpen() || !EmptyClipboard() || SetClipboardData(format, block) == 0)
        GlobalFree(block);
}

const ScriptClassInfo* GetClipboardClassInfo() {
    static const ScriptClassInfo info{
        kNameTable, &NewClipboard, 0, nullptr, 0, nullptr, nullptr,
    };
    return &info;
}
