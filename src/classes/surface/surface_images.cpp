// Images in and out of a Surface: creation from the New arguments (size, depth, flags or
// an image), LoadImage, SaveImage, copies from other Surfaces and captures of the screen.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "classes/surface/surface_class.h"
#include "classes/surface/view3d.h"
#include "classes/window/window_class.h"
#include "engine3d/scene/materials/texture.h"
#include "foundation/memory/result_codes.h"
#include "foundation/streams/file_in_stream.h"
#include "graphics2d/formats/image_file_manager.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/gdi/device.h"
#include "platform/gdi/screen_dc.h"
#include "platform/user/window_geometry.h"
#include "script/interpreter/interpretor.h"
#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"
#include "script/runtime/load_image_to_surface.h"

namespace {

int32_t ArgOr(CInterpretor& interpreter, uint32_t i, int32_t missing) {
    return interpreter.IsArgDefault(i) ? missing : interpreter.GetArgInt(i);
}

bool IsFlag(const CValue& value) {
    return value.GetType() == kValueInt &&
           (uint32_t(value.GetInt()) & 0xFFFF0000u) == CISurface::kFlagTag;
}

// A locked image element of the current entry's image banks; unlocked when it goes.
class LockedImage {
public:
    LockedImage(CInterpretor& interpreter, const CValue& value) {
        interpreter.SelectProjectEntry();
        CElement* found = interpreter.GetElementFromValue(value, project_format::kImageBank, 1);
        if (found == nullptr || found->bank == nullptr) return;
        // The data is read on first use; the lock keeps it while the picture is copied.
        if (!found->bank->LoadElementData(found->index, 0) ||
            !found->bank->LockElementData(found->index))
            return;
        element_ = static_cast<CImageElement*>(found);
    }
    ~LockedImage() {
        if (element_ != nullptr) element_->bank->UnlockElementData(element_->index);
    }
    LockedImage(const LockedImage&) = delete;
    LockedImage& operator=(const LockedImage&) = delete;

    cSurface* Surface() const { return element_ != nullptr ? element_->GetSurface() : nullptr; }

private:
    CImageElement* element_ = nullptr;
};

// The stream of an image file named by the script: through the project reader (a packed
// file of that name, else the file), else the file itself. Null when none opens.
std::unique_ptr<CInStream> OpenImageFile(CInterpretor& interpreter, const char* name) {
    if (interpreter.projectFile != nullptr)
        return std::unique_ptr<CInStream>(interpreter.projectFile->FindElementByName(name, 1, 1));
    auto stream = std::make_unique<CFileInStream>();
    if (stream->OpenFile(name) != kResultOk) return nullptr;
    return stream;
}

} // namespace

// An image decoded into a handle of its own: from an image element (its surface copied),
// else from a file. `options` are LoadImageToSurface's; `depth` the depth it is loaded
// for and `palette` the palette an 8-bit one is matched to. 0 with nothing made when the
// image cannot be had.
int CISurface::DecodeImage(const CValue& source, uint32_t options, int32_t loadDepth,
                           PaletteRecord* palette, SurfaceHandle& decoded) {
    LockedImage element(*interpreter, source);
    if (cSurface* picture = element.Surface()) {
        SurfaceHandle* prototype = GetPrototypeForDepth(picture->GetDepth());
        if (prototype == nullptr) return 0;
        decoded.Create(picture->GetWidth(), picture->GetHeight(), prototype);
        if (!decoded.IsValid()) return 0;
        if (picture->GetDepth() == 8) decoded.SetPalette(picture->GetPalette(), 0);
        picture->BlitTo(decoded.GetImpl(), 0, 0, 0, 0, picture->GetWidth(), picture->GetHeight(), 0,
                        0, 0, 0);
        return 1;
    }
    if (source.GetType() != kValueString || interpreter->imageFileManager == nullptr) return 0;
    std::unique_ptr<CInStream> stream = OpenImageFile(*interpreter, source.GetString());
    if (stream == nullptr) return 0;
    cImageSurface* image = cImageSurface::Create(32, 32, loadDepth);
    if (image == nullptr) return 0;
    decoded.Attach(image);
    if (loadDepth == 8 && palette != nullptr) image->AttachPalette(palette);
    return LoadImageToSurface(interpreter->imageFileManager, *stream, image, options, nullptr);
}

// The picture of a texture: its image copied, rows top down, into a new surface of its
// size and depth, which the texture is then copied from. Error 104 when the image cannot
// be had.
void CISurface::CreateFromTexture(CISurfaceTexture* texture, uint32_t flags) {
    LTexture* engine = texture->GetImageTexture();
    if (engine == nullptr || engine->pixels == nullptr) interpreter->RaiseError(104);
    int32_t error = 0;
    if (!CreateSurface(int32_t(engine->width), int32_t(engine->height),
                       int32_t(engine->bitsPerPixel), flags, error))
        interpreter->RaiseError(error);
    ResetDrawingState();
    if (depth == 8) {
        PaletteRecord* palette = GetInterpreterPalette(*interpreter);
        mainSurface->SetPalette(palette, 0);
        Palette_Release(palette);
    }
    const size_t rowBytes = size_t(engine->pitch);
    std::vector<uint8_t> rows(rowBytes * engine->height);
    uint8_t* pixels = mainSurface->Lock();
    if (pixels == nullptr || engine->CopyPixels(rows.data(), engine->pitch, engine->height) != 0) {
        if (pixels != nullptr) mainSurface->Unlock();
        interpreter->RaiseError(104);
    }
    const SurfaceBits* bits = mainSurface->GetImpl()->GetBits();
    const size_t copied = std::min(rowBytes, size_t(bits->width) * size_t(bits->bytesPerPixel));
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(pixels + ptrdiff_t(y) * bits->signedPitch, rows.data() + size_t(y) * rowBytes,
                    copied);
    mainSurface->Unlock();
    texture->BindSurface(this);
}

void CISurface::Create() {
    CISurfaceTexture* texture = nullptr;
    const CValue* image = nullptr;
    uint32_t flags = 0;
    int32_t sizes[3] = {0, 0, 0};
    int numbers = 0;
    for (uint32_t i = 0; i < uint32_t(interpreter->GetArgCount()); ++i) {
        const CValue* value = interpreter->GetArg(i);
        if (value->IsDefault()) continue;
        if (value->IsObjectOfClass(CISurfaceTexture::kClassId)) {
            texture = dynamic_cast<CISurfaceTexture*>(value->GetObject());
        } else if (value->GetType() == kValueString) {
            image = value;
        } else if (IsFlag(*value)) {
            flags |= uint32_t(value->GetInt()) & 0xFFFF;
        } else {
            if (numbers == 3) interpreter->RaiseError(13);
            sizes[numbers++] = value->GetInt();
        }
    }
    int32_t error = 0;
    if (texture != nullptr) {
        CreateFromTexture(texture, flags);
    } else if (image != nullptr) {
        if (image->GetString()[0] == '\0') interpreter->RaiseError(29);
        uint32_t mode = 3;
        if ((flags & kUseImageDepth) != 0) mode &= ~kLoadKeepDepth;
        if ((flags & kUseImagePalette) != 0) mode &= ~kLoadMatchPalette;
        PaletteRecord* palette = GetInterpreterPalette(*interpreter);
        SurfaceHandle decoded;
        int loaded = DecodeImage(*image, mode, interpreter->surfaceDepth, palette, decoded);
        Palette_Release(palette);
        if (!loaded) interpreter->RaiseError(9);
        if (!CreateSurface(decoded.GetWidth(), decoded.GetHeight(), decoded.GetDepth(), flags,
                           error))
            interpreter->RaiseError(error);
        if (decoded.IsPaletted()) mainSurface->SetPalette(decoded.GetPalette(), 0);
        decoded.Blit(mainSurface, 0, 0, 0, 0, width, height, 0, 0, 0, 0);
        ResetDrawingState();
    } else {
        if (!CreateSurface(sizes[0], sizes[1], sizes[2], flags, error))
            interpreter->RaiseError(error);
        ResetDrawingState();
        mainSurface->FillRectAll(backgroundColor);
    }
    Register();
    InvalidateAll();
}

void CISurface::LoadImage() {
    const CValue* source = nullptr;
    uint32_t flags = 0;
    int32_t numbers[5] = {};
    int count = 0;
    for (uint32_t i = 0; i < uint32_t(interpreter->GetArgCount()); ++i) {
        const CValue* value = interpreter->GetArg(i);
        if (i == 0) {
            source = value;
        } else if (IsFlag(*value)) {
            flags |= uint32_t(value->GetInt()) & 0xFFFF;
        } else if (!value->IsDefault()) {
            if (count == 5) interpreter->RaiseError(21);
            numbers[count++] = value->GetInt();
        }
    }
    if (count != 0 && count != 2 && count != 4 && count != 5) interpreter->RaiseError(21);
    if (source == nullptr || source->IsDefault() ||
        (source->GetType() == kValueString && source->GetString()[0] == '\0'))
        interpreter->RaiseError(29);
    uint32_t mode = 3;
    if ((flags & kUseImagePalette) != 0) mode = 1;
    if ((flags & kUseImageDepth) != 0) mode &= ~kLoadKeepDepth;
    SurfaceHandle decoded;
    PaletteRecord* palette = mainSurface != nullptr ? mainSurface->GetPalette() : nullptr;
    if (!DecodeImage(*source, mode, depth, palette, decoded)) interpreter->RaiseError(9);
    if (mainSurface == nullptr) {
        interpreter->GetResultSlot()->SetInt(0);
        return;
    }
    if ((flags & kAutoSize) != 0 && hostWindow == nullptr &&
        (decoded.GetWidth() != width || decoded.GetHeight() != height)) {
        if (!Recreate(decoded.GetWidth(), decoded.GetHeight())) interpreter->RaiseError(15);
    }
    if ((flags & kUseImagePalette) != 0 && decoded.IsPaletted() && mainSurface->IsPaletted())
        mainSurface->SetPalette(decoded.GetPalette(), 0);
    int32_t x = count >= 2 ? numbers[0] : 0;
    int32_t y = count >= 2 ? numbers[1] : 0;
    int done;
    if (count >= 4) {
        MarkChangedWide(x, y, int64_t(x) + numbers[2], int64_t(y) + numbers[3]);
        done = decoded.StretchTo(mainSurface, x, y, numbers[2], numbers[3], 0, 0, 0,
                                 count == 5 ? numbers[4] : 0);
    } else {
        MarkChangedWide(x, y, int64_t(x) + decoded.GetWidth(), int64_t(y) + decoded.GetHeight());
        done = decoded.Blit(mainSurface, x, y, 0, 0, decoded.GetWidth(), decoded.GetHeight(), 0, 0,
                            0, 0);
    }
    interpreter->GetResultSlot()->SetInt(done != 0 ? 1 : 0);
}

void CISurface::SaveImage() {
    if (interpreter->IsArgDefault(0) || interpreter->GetArg(0)->GetType() != kValueString ||
        interpreter->GetArgString(0)[0] == '\0')
        interpreter->RaiseError(29);
    const char* name = interpreter->GetArgString(0);
    auto format = uint32_t(ArgOr(*interpreter, 1, int32_t(MakeFormatId('B', 'M', 'P', ' '))));
    interpreter->GetResultSlot()->SetInt(0);
    if (mainSurface == nullptr || interpreter->imageFileManager == nullptr) return;
    ImageFile file(interpreter->imageFileManager);
    if (!file.SelectFormat(format)) return;
    uint32_t writable = file.GetHandler()->GetWriteDepths();
    auto depthBit = [](int32_t d) -> uint32_t {
        switch (d) {
        case 8:
            return kWriteDepth8;
        case 15:
            return kWriteDepth15;
        case 16:
            return kWriteDepth16;
        case 24:
            return kWriteDepth24;
        case 32:
            return kWriteDepth32;
        default:
            return 0;
        }
    };
    // A depth the format cannot store is written from a converted copy: 24 bits when the
    // format takes them, else 15, else 8.
    int32_t saveDepth = depth;
    if ((writable & depthBit(depth)) == 0) {
        saveDepth = (writable & kWriteDepth24) != 0 ? 24 : (writable & kWriteDepth15) != 0 ? 15 : 8;
    }
    cImageSurface* copy = cImageSurface::Create(width, height, saveDepth);
    if (copy == nullptr) return;
    SurfaceHandle converted;
    converted.Attach(copy);
    if (saveDepth == 8 && depth == 8) copy->AttachPalette(mainSurface->GetPalette());
    if (autoBack != 0) LiftSprites(0, 0, width, height);
    mainSurface->Blit(&converted, 0, 0, 0, 0, width, height, 0, 0, 0, 0);
    if (!copy->Lock()) return;
    const SurfaceBits* bits = copy->GetBits();
    PaletteRecord* palette = copy->GetPalette();
    ImageResult result =
        file.SaveSurface(name, bits->pixels, width, height, saveDepth, bits->pitch, palette, 0);
    copy->Unlock();
    interpreter->GetResultSlot()->SetInt(result == kImageOk ? 1 : 0);
}

// The picture of a Copy or Stretch source: a Surface, or the Surface of a Window.
SurfaceHandle* CISurface::SourcePicture(uint32_t i) {
    const CValue* value = interpreter->GetArg(i);
    CIBaseClassImpl* object = value->GetType() == kValueObject ? value->GetObject() : nullptr;
    if (object != nullptr && object->classIndex == CIWindow::kClassId)
        object = static_cast<CIWindow*>(object)->surface;
    auto* source = object != nullptr && object->classIndex == kClassId
                       ? static_cast<CISurface*>(object)
                       : nullptr;
    if (source == nullptr) interpreter->RaiseError(14);
    if (source != this && source->autoBack != 0)
        source->LiftSprites(0, 0, source->width, source->height);
    return source->mainSurface;
}

void CISurface::Copy() {
    SurfaceHandle* source = SourcePicture(0);
    int32_t count = interpreter->GetArgCount() - 1;
    if (count != 0 && count != 2 && count != 4 && count != 6) interpreter->RaiseError(21);
    if (source == nullptr || mainSurface == nullptr) return;
    int32_t x = count >= 2 ? interpreter->GetArgInt(1) : 0;
    int32_t y = count >= 2 ? interpreter->GetArgInt(2) : 0;
    int32_t w = count >= 4 ? interpreter->GetArgInt(3) : source->GetWidth();
    int32_t h = count >= 4 ? interpreter->GetArgInt(4) : source->GetHeight();
    int32_t sx = count == 6 ? interpreter->GetArgInt(5) : 0;
    int32_t sy = count == 6 ? interpreter->GetArgInt(6) : 0;
    MarkChangedWide(x, y, int64_t(x) + w, int64_t(y) + h);
    source->Blit(mainSurface, x, y, sx, sy, w, h, int32_t(transparentMode), drawMode,
                 uint32_t(drawLevel), 0);
}

void CISurface::Stretch() {
    SurfaceHandle* source = SourcePicture(0);
    int32_t count = interpreter->GetArgCount() - 1;
    if (count > 9 ||
        (count != 0 && count != 1 && count != 4 && count != 5 && count != 8 && count != 9))
        interpreter->RaiseError(21);
    if (source == nullptr || mainSurface == nullptr) return;
    int32_t quality =
        (count == 1 || count == 5 || count == 9) ? interpreter->GetArgInt(uint32_t(count)) : 0;
    int32_t x = 0, y = 0, w = width, h = height;
    int32_t sx = 0, sy = 0, sw = source->GetWidth(), sh = source->GetHeight();
    if (count >= 4) {
        x = interpreter->GetArgInt(1);
        y = interpreter->GetArgInt(2);
        w = interpreter->GetArgInt(3);
        h = interpreter->GetArgInt(4);
    }
    if (count >= 8) {
        sx = interpreter->GetArgInt(5);
        sy = interpreter->GetArgInt(6);
        sw = interpreter->GetArgInt(7);
        sh = interpreter->GetArgInt(8);
    }
    MarkChangedWide(x, y, int64_t(x) + w, int64_t(y) + h);
    source->StretchBlit(mainSurface, x, y, w, h, sx, sy, sw, sh, int32_t(transparentMode), drawMode,
                        uint32_t(drawLevel), quality);
}

// CaptureScreen and CaptureWindow: the source area of `dc` stretched into the surface.
void CISurface::CaptureFrom(HDC dc, uint32_t first, const RECT& defaultSource) {
    int32_t x = ArgOr(*interpreter, first, 0);
    int32_t y = ArgOr(*interpreter, first + 1, 0);
    int32_t w = ArgOr(*interpreter, first + 2, width);
    int32_t h = ArgOr(*interpreter, first + 3, height);
    int32_t sx = ArgOr(*interpreter, first + 4, defaultSource.left);
    int32_t sy = ArgOr(*interpreter, first + 5, defaultSource.top);
    int32_t sw = ArgOr(*interpreter, first + 6, defaultSource.right - defaultSource.left);
    int32_t sh = ArgOr(*interpreter, first + 7, defaultSource.bottom - defaultSource.top);
    interpreter->GetResultSlot()->SetInt(0);
    if (mainSurface == nullptr || dc == 0) return;
    MarkChangedWide(x, y, int64_t(x) + w, int64_t(y) + h);
    int done = mainSurface->GetImpl()->StretchFromDC(x, y, w, h, dc, sx, sy, sw, sh, 0, 0, 0);
    interpreter->GetResultSlot()->SetInt(done != 0 ? 1 : 0);
}

void CISurface::CaptureScreen() {
    HDC dc = GetDC(0);
    RECT screen{0, 0, 0, 0};
    if (dc != 0) {
        screen.right = GetDeviceCaps(dc, HORZRES);
        screen.bottom = GetDeviceCaps(dc, VERTRES);
    }
    CaptureFrom(dc, 0, screen);
    if (dc != 0) ReleaseDC(0, dc);
}

void CISurface::CaptureWindow() {
    CIBaseClassImpl* object = interpreter->GetArgObject(0);
    if (object == nullptr || object->classIndex != CIWindow::kClassId) interpreter->RaiseError(14);
    HWND window = static_cast<CIWindow*>(object)->hwnd;
    RECT frame{};
    GetWindowRect(window, &frame);
    // The window DC's coordinates start at the window's own corner.
    RECT source{0, 0, frame.right - frame.left, frame.bottom - frame.top};
    HDC dc = window != 0 ? GetWindowDC(window) : 0;
    CaptureFrom(dc, 1, source);
    if (dc != 0) ReleaseDC(window, dc);
}
