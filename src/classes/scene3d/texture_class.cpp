#include "classes/scene3d/texture_class.h"

#include <cstdio>
#include <memory>
#include <new>

#include "classes/scene3d/script_number.h"
#include "classes/scene3d/world_class.h"
#include "classes/surface/surface_class.h"
#include "classes/surface/texture_copy.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "foundation/memory/result_codes.h"
#include "foundation/streams/file_in_stream.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/surfaces/surface.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "script/interpreter/interpretor.h"
#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"
#include "script/runtime/load_image_to_surface.h"

namespace {

using T = CITexture;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "Texture", 0, 0},
    {0x01, "Load", 0, 0},
    {0x02, "SetTiling", 0, 0},
    {0x03, "SetOffset", 0, 0},
    {0x04, "GetTilingX", 0, 0},
    {0x05, "GetTilingY", 0, 0},
    {0x06, "GetOffsetX", 0, 0},
    {0x07, "GetOffsetY", 0, 0},
    {0x08, "GetName", 0, 0},
    {0x09, "SetName", 0, 0},
    {0x0A, "GetFileName", 0, 0},
    {0x0B, "GetSurface", 0, 0},
    {0, nullptr, 0, 0},
};

const uint32_t kDependents[] = {0};

CIBaseClassImpl* NewTexture(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CITexture(&interpreter, record);
}

const ScriptClassInfo kTextureClass = {kNameTable, NewTexture,  0x0C,   nullptr,
                                       0,          kDependents, nullptr};

// The name without folders and extension.
std::string BaseName(const std::string& file) {
    const size_t slash = file.find_last_of("\\/:");
    std::string base = slash == std::string::npos ? file : file.substr(slash + 1);
    const size_t dot = base.find_last_of('.');
    if (dot != std::string::npos) base.resize(dot);
    return base;
}

// The image element of the current entry so named, its data locked while it lives.
class LockedImage {
public:
    LockedImage(CInterpretor& interpreter, const char* name) {
        interpreter.SelectProjectEntry();
        CValue value(&interpreter, 0);
        value.SetString(name, 0);
        CElement* found = interpreter.GetElementFromValue(value, project_format::kImageBank, 1);
        if (found == nullptr || found->bank == nullptr) return;
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

    const CImageElement* Element() const { return element_; }
    cSurface* Surface() const { return element_ != nullptr ? element_->GetSurface() : nullptr; }

private:
    CImageElement* element_ = nullptr;
};

// The stream of an image file: through the project reader when one is open (a packed
// file of that name, else the file), else the file itself.
std::unique_ptr<CInStream> OpenImageFile(CInterpretor& interpreter, const char* name) {
    if (interpreter.projectFile != nullptr)
        return std::unique_ptr<CInStream>(interpreter.projectFile->FindElementByName(name, 1, 1));
    auto stream = std::make_unique<CFileInStream>();
    if (stream->OpenFile(name) != kResultOk) return nullptr;
    return stream;
}

} // namespace

int DecodeTextureImage(CInterpretor& interpreter, LTexture& texture, const std::string& element,
                       const char* file, int32_t depth) {
    SurfaceHandle decoded;
    if (!element.empty()) {
        LockedImage image(interpreter, element.c_str());
        if (cSurface* picture = image.Surface()) {
            SurfaceHandle* prototype = GetPrototypeForDepth(picture->GetDepth());
            if (prototype == nullptr) return 0;
            decoded.Create(picture->GetWidth(), picture->GetHeight(), prototype);
            if (!decoded.IsValid()) return 0;
            if (picture->GetDepth() == 8) decoded.SetPalette(picture->GetPalette(), 0);
            picture->BlitTo(decoded.GetImpl(), 0, 0, 0, 0, picture->GetWidth(),
                            picture->GetHeight(), 0, 0, 0, 0);
        }
    }
    if (!decoded.IsValid()) {
        if (file == nullptr || file[0] == 0 || interpreter.imageFileManager == nullptr) return 0;
        std::unique_ptr<CInStream> stream = OpenImageFile(interpreter, file);
        if (stream == nullptr) return 0;
        cImageSurface* image = cImageSurface::Create(32, 32, 32);
        if (image == nullptr) return 0;
        decoded.Attach(image);
        if (!LoadImageToSurface(interpreter.imageFileManager, *stream, image, 0, nullptr)) return 0;
    }
    if (CopySurfaceToImage(decoded, texture, depth) == 0) return 0;
    texture.SetFileName(file != nullptr && file[0] != 0 ? file : element.c_str());
    return 1;
}

const ScriptMethod<CITexture> CITexture::kMethods[0x0C] = {
    nullptr,        &T::Load,       &T::SetTiling, &T::SetOffset, &T::GetTilingX,  &T::GetTilingY,
    &T::GetOffsetX, &T::GetOffsetY, &T::GetName,   &T::SetName,   &T::GetFileName, &T::GetSurface,
};

CITexture::CITexture(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), surfaceRef_(interpreter, 0) {}

CITexture::~CITexture() {
    if (texture_ != nullptr && texture_->GetCLBKObject() == this) texture_->SetCLBKObject(nullptr);
}

void CITexture::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

bool CITexture::UsedBeyondMaterials(const LTexture* texture) const {
    for (uint32_t position = interpreter->GetFirstObjectPos(CISurface::kClassId); position != 0;) {
        auto* surface =
            static_cast<CISurface*>(interpreter->GetNextObject(CISurface::kClassId, position));
        if (surface == nullptr) continue;
        for (const CISurface::Overlay& overlay : surface->overlays3D)
            if (overlay.texture == texture) return true;
    }
    L3DWorld* scene = world_ != nullptr ? world_->GetEngineWorld() : nullptr;
    if (scene == nullptr) return false;
    for (LListNode* node = scene->objects.GetHead(); node != nullptr; node = node->next)
        if (static_cast<L3DObject*>(node->item)->GetShadowTexture() == texture) return true;
    return false;
}

void CITexture::Destroy(int flag) {
    Unbind();
    LTexture* texture = texture_;
    texture_ = nullptr;
    L3DWorld* scene = world_ != nullptr ? world_->GetEngineWorld() : nullptr;
    if (texture != nullptr) {
        texture->SetCLBKObject(nullptr);
        // A sprite's picture over a view or an object's shadow keeps its texture: only the
        // materials let go of theirs.
        if (flag == 0 && scene != nullptr && !UsedBeyondMaterials(texture)) {
            scene->textures.RemoveTexture(texture);
            RefreshViews();
        }
    }
    world_ = nullptr;
    CIBaseClassImpl::Destroy(flag);
    delete this;
}

int CITexture::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object == nullptr) return 0;
    if (surface_ != nullptr && object == surface_) {
        Unbind();
        return 0;
    }
    if (world_ == nullptr || object != world_) return 0;
    if (texture_ != nullptr && texture_->GetCLBKObject() == this) texture_->SetCLBKObject(nullptr);
    texture_ = nullptr;
    world_ = nullptr;
    Unbind();
    MarkDeleted();
    return 1;
}

void CITexture::EngineObjectDestroyed() {
    if (texture_ == nullptr) return;
    texture_ = nullptr;
    if (interpreter->deleteWrappers != 0) interpreter->DeleteObject(this);
}

void CITexture::RefreshViews() {
    if (world_ != nullptr) world_->RefreshCameras();
}

int32_t CITexture::Depth() const {
    L3DWorld* scene = world_ != nullptr ? world_->GetEngineWorld() : nullptr;
    return scene != nullptr ? int32_t(scene->GetColorDepth()) : interpreter->surfaceDepth;
}

CITexture* CITexture::GetWrapper(CInterpretor& interpreter, CIWorld* world, LTexture* texture) {
    if (texture == nullptr) return nullptr;
    if (auto* link = dynamic_cast<CITexture*>(texture->GetCLBKObject())) return link;
    auto* wrapper =
        new (std::nothrow) CITexture(&interpreter, interpreter.GetClassRecord(kClassId));
    if (wrapper == nullptr) interpreter.RaiseError(15);
    wrapper->world_ = world;
    wrapper->texture_ = texture;
    wrapper->sourceFile_ = texture->FileName();
    texture->SetCLBKObject(wrapper);
    wrapper->Register();
    return wrapper;
}

CITexture* CITexture::MakeFromSurface(CInterpretor& interpreter, CIWorld* world,
                                      CISurface* surface) {
    auto* texture =
        new (std::nothrow) CITexture(&interpreter, interpreter.GetClassRecord(kClassId));
    if (texture == nullptr) interpreter.RaiseError(15);
    std::unique_ptr<CITexture> pending(texture);
    texture->world_ = world;
    texture->FromSurface(surface);
    texture->Register();
    return pending.release();
}

CITexture* CITexture::MakeFromFile(CInterpretor& interpreter, CIWorld* world, const char* file) {
    auto* texture =
        new (std::nothrow) CITexture(&interpreter, interpreter.GetClassRecord(kClassId));
    if (texture == nullptr) interpreter.RaiseError(15);
    std::unique_ptr<CITexture> pending(texture);
    texture->world_ = world;
    texture->FromFile(file);
    texture->Register();
    return pending.release();
}

void CITexture::Create() {
    CInterpretor& in = *interpreter;
    CISurface* surface = nullptr;
    const char* file = nullptr;
    const char* name = nullptr;
    int32_t sizes[2] = {kDefaultWidth, kDefaultHeight};
    int numbers = 0;
    for (int32_t i = 0; i < in.GetArgCount(); ++i) {
        const CValue* value = in.GetArg(uint32_t(i));
        if (value->IsDefault()) continue;
        if (value->IsObjectOfClass(CIWorld::kClassId)) {
            world_ = static_cast<CIWorld*>(value->GetObject());
        } else if (value->IsObjectOfClass(CISurface::kClassId)) {
            surface = static_cast<CISurface*>(value->GetObject());
        } else if (value->GetType() == kValueObject) {
            in.RaiseError(14);
        } else if (value->GetType() == kValueString) {
            if (numbers == 0)
                file = value->GetString();
            else
                name = value->GetString();
        } else if (IsNumber(*value)) {
            if (numbers < 2) sizes[numbers] = value->GetInt();
            ++numbers;
        }
    }
    if (world_ == nullptr) in.RaiseError(50);
    if (world_->GetEngineWorld() == nullptr) in.RaiseError(55);
    if (surface != nullptr)
        FromSurface(surface);
    else if (file == nullptr)
        Blank(sizes[0], sizes[1], name);
    else
        FromFile(file);
    Register();
}

void CITexture::MakeEngineTexture(const char* name) {
    L3DWorld* scene = world_ != nullptr ? world_->GetEngineWorld() : nullptr;
    if (scene == nullptr) interpreter->RaiseError(55);
    LAPICLBK* device = scene->GetAPI();
    texture_ = device != nullptr ? device->CreateTexture(scene, name, this) : nullptr;
    if (texture_ == nullptr) interpreter->RaiseError(15);
}

void CITexture::FromSurface(CISurface* surface) {
    L3DWorld* scene = world_ != nullptr ? world_->GetEngineWorld() : nullptr;
    if (scene == nullptr) interpreter->RaiseError(55);
    char name[32];
    std::snprintf(name, sizeof name, "Texture %u", scene->textures.list.GetCount());
    MakeEngineTexture(name);
    if (Depth() != interpreter->surfaceDepth) interpreter->SetSurfaceDepth(Depth());
    Bind(surface);
    CopySurface();
    scene->textures.AddTexture(texture_);
}

void CITexture::FromFile(const char* file) {
    std::string path = file != nullptr ? file : "";
    std::string name = BaseName(path);
    {
        LockedImage element(*interpreter, name.c_str());
        if (element.Element() != nullptr) name = element.Element()->GetNameText();
    }
    if (name.empty() || path.empty()) interpreter->RaiseError(29);
    MakeEngineTexture(name.c_str());
    if (LoadImage(path.c_str()) == 0) {
        L3DWorld* scene = world_->GetEngineWorld();
        LTexture* texture = texture_;
        texture_ = nullptr;
        texture->SetCLBKObject(nullptr);
        scene->GetAPI()->DeleteTexture(texture);
        interpreter->RaiseError(58);
    }
    sourceFile_ = path;
    world_->GetEngineWorld()->textures.AddTexture(texture_);
}

void CITexture::Blank(int32_t width, int32_t height, const char* name) {
    // Sizes past what a texture can hold are refused before any memory is asked for.
    if (width < 1 || height < 1 || uint32_t(width) > LTexture::kMaxSide ||
        uint32_t(height) > LTexture::kMaxSide)
        interpreter->RaiseError(14);
    L3DWorld* scene = world_->GetEngineWorld();
    char numbered[32];
    std::snprintf(numbered, sizeof numbered, "Texture %u", scene->textures.list.GetCount());
    auto* surface =
        new (std::nothrow) CISurface(interpreter, interpreter->GetClassRecord(CISurface::kClassId));
    if (surface == nullptr) interpreter->RaiseError(15);
    int32_t error = 0;
    if (!surface->CreateSurface(width, height, Depth(), 0, error)) {
        delete surface;
        interpreter->RaiseError(15);
    }
    surface->ResetDrawingState();
    surface->mainSurface->FillRectAll(surface->backgroundColor);
    surface->Register();
    surfaceRef_.SetObject(surface, 0);
    MakeEngineTexture(name != nullptr ? name : numbered);
    Bind(surface);
    CopySurface();
    scene->textures.AddTexture(texture_);
    RefreshViews();
    surface->InvalidateAll();
}

void CITexture::Bind(CISurface* surface) {
    if (surface == surface_) return;
    Unbind();
    if (surface == nullptr) return;
    // A surface feeds one texture: the one it fed before lets go of it.
    if (surface->texture3D != nullptr && surface->texture3D != this)
        surface->texture3D->SurfaceDestroyed(surface);
    surface_ = surface;
    surface->texture3D = this;
}

void CITexture::Unbind() {
    if (surface_ == nullptr) return;
    if (surface_->texture3D == this) surface_->texture3D = nullptr;
    surface_ = nullptr;
}

int CITexture::CopySurface() {
    if (surface_ == nullptr || surface_->mainSurface == nullptr || texture_ == nullptr) return 0;
    return CopySurfaceToImage(*surface_->mainSurface, *texture_, Depth());
}

int CITexture::LoadImage(const char* file) {
    if (texture_ == nullptr || file == nullptr || file[0] == 0) return 0;
    return DecodeTextureImage(*interpreter, *texture_, BaseName(file), file, Depth());
}

void CITexture::SurfaceRefreshed(CISurface* surface) {
    if (surface != surface_ || texture_ == nullptr) return;
    CopySurface();
    L3DWorld* scene = world_ != nullptr ? world_->GetEngineWorld() : nullptr;
    if (scene != nullptr) scene->materials.OnTextureRemoved(texture_);
    RefreshViews();
}

void CITexture::SurfaceDestroyed(CISurface* surface) {
    if (surface == surface_) Unbind();
}

void CITexture::UpdateFromSurface() {
    RefreshViews();
    if (surface_ != nullptr) {
        surface_->InvalidateAll();
        surface_->Refresh();
    }
}

void CITexture::LoadFrom(const CValue& source) {
    if (source.IsDefault()) interpreter->RaiseError(14);
    if (source.IsObjectOfClass(CISurface::kClassId)) {
        if (Depth() != interpreter->surfaceDepth) interpreter->SetSurfaceDepth(Depth());
        Unbind();
        Bind(static_cast<CISurface*>(source.GetObject()));
        CopySurface();
        sourceFile_.clear();
    } else {
        if (source.GetType() != kValueString) interpreter->RaiseError(29);
        const std::string file = source.GetString();
        if (LoadImage(file.c_str()) == 0) interpreter->RaiseError(44);
        sourceFile_ = file;
        Unbind();
    }
    L3DWorld* scene = world_ != nullptr ? world_->GetEngineWorld() : nullptr;
    if (scene != nullptr && texture_ != nullptr) scene->materials.OnTextureRemoved(texture_);
    RefreshViews();
}

// ---- Methods -----------------------------------------------------------------------------

void CITexture::Load() {
    if (interpreter->GetArgCount() == 0) interpreter->RaiseError(14);
    LoadFrom(*interpreter->GetArg(0));
}

void CITexture::SetPair(bool tiling) {
    if (texture_ == nullptr) return;
    float pair[2] = {tiling ? texture_->tiling[0] : texture_->offset[0],
                     tiling ? texture_->tiling[1] : texture_->offset[1]};
    for (uint32_t i = 0; i < 2; ++i) {
        const CValue* value = interpreter->GetArg(i);
        if (!IsNumber(*value) || value->GetDouble() == kMissingDouble) continue;
        pair[i] = float(value->GetDouble());
    }
    if (tiling)
        texture_->SetTiling(pair[0], pair[1]);
    else
        texture_->SetOffset(pair[0], pair[1]);
    RefreshViews();
    if (surface_ != nullptr) surface_->InvalidateAll();
}

void CITexture::SetTiling() {
    SetPair(true);
}

void CITexture::SetOffset() {
    SetPair(false);
}

void CITexture::GetTilingX() {
    interpreter->GetResultSlot()->SetFloat(texture_ != nullptr ? texture_->tiling[0] : 0.0);
}

void CITexture::GetTilingY() {
    interpreter->GetResultSlot()->SetFloat(texture_ != nullptr ? texture_->tiling[1] : 0.0);
}

void CITexture::GetOffsetX() {
    interpreter->GetResultSlot()->SetFloat(texture_ != nullptr ? texture_->offset[0] : 0.0);
}

void CITexture::GetOffsetY() {
    interpreter->GetResultSlot()->SetFloat(texture_ != nullptr ? texture_->offset[1] : 0.0);
}

void CITexture::GetName() {
    interpreter->GetResultSlot()->SetString(texture_ != nullptr ? texture_->Name() : "", 0);
}

void CITexture::SetName() {
    const CValue* value = interpreter->GetArg(0);
    if (texture_ == nullptr || value->GetType() != kValueString) return;
    texture_->SetName(value->GetString());
}

void CITexture::GetFileName() {
    interpreter->GetResultSlot()->SetString(texture_ != nullptr ? texture_->FileName() : "", 0);
}

void CITexture::GetSurface() {
    if (surface_ != nullptr)
        interpreter->GetResultSlot()->SetObject(surface_, 0);
    else
        interpreter->GetResultSlot()->SetInt(0);
}

const ScriptClassInfo* GetTextureClassInfo() {
    return &kTextureClass;
}
