// The file side of the World class: loading world files and 3D bank elements into the
// world, saving it, loading one object, the lookups of its materials and textures, and
// the background image.
#include <cctype>
#include <cstring>
#include <memory>
#include <string>

#include "classes/scene3d/camera_class.h"
#include "classes/scene3d/material_class.h"
#include "classes/scene3d/object_class.h"
#include "classes/scene3d/script_number.h"
#include "classes/scene3d/texture_class.h"
#include "classes/scene3d/world_class.h"
#include "classes/surface/surface_class.h"
#include "engine3d/files/binary_world_file.h"
#include "engine3d/files/file_type.h"
#include "engine3d/files/l3ds_file.h"
#include "engine3d/files/md2_file.h"
#include "engine3d/files/script_world_file.h"
#include "engine3d/scene/blobs/blob.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "foundation/memory/result_codes.h"
#include "foundation/streams/in_stream.h"
#include "script/interpreter/interpretor.h"
#include "script/project/element.h"
#include "script/project/project_format.h"
#include "script/values/value.h"

namespace {

// The selection constants and the mask bits they stand for when loading and saving.
struct Selection {
    uint32_t constant;
    uint32_t loadBit;
    uint32_t saveBit;
};

constexpr Selection kSelections[] = {
    {0x89AF0004u, 0x02, 0x02}, {0x89AF0008u, 0x04, 0x04},    {0x89AF0010u, 0x08, 0x08},
    {0x89AF0020u, 0x10, 0x10}, {0x89AF0040u, 0x20, 0x20},    {0x89AF0080u, 0x40, 0x40},
    {0x89AF0100u, 0x80, 0x80}, {0x89AF0200u, 0x800, 0x1000},
};

constexpr uint32_t kLoadMask = 0xEFE;
constexpr uint32_t kSaveMask = 0x1EFE;

// The selection's mask bit; error 63 for an integer that is no selection constant.
uint32_t SelectionBit(CInterpretor& interpreter, int32_t value, bool save) {
    for (const Selection& selection : kSelections)
        if (selection.constant == uint32_t(value))
            return save ? selection.saveBit : selection.loadBit;
    interpreter.RaiseError(63);
}

// Drive and directory of a file name, without the final separator; the separator's
// place in `end` (0 for a bare name).
std::string FolderOf(const std::string& file, size_t* end = nullptr) {
    const size_t slash = file.find_last_of("\\/:");
    if (end != nullptr) *end = slash == std::string::npos ? 0 : slash + 1;
    if (slash == std::string::npos) return std::string();
    return file.substr(0, file[slash] == ':' ? slash + 1 : slash);
}

// The folder a world saved as `file` keeps its textures in: beside the file, named after
// its base name with "_textures".
std::string TextureFolderFor(const std::string& file) {
    size_t end = 0;
    FolderOf(file, &end);
    std::string base = file.substr(end);
    const size_t dot = base.find_last_of('.');
    if (dot != std::string::npos) base.resize(dot);
    return file.substr(0, end) + base + "_textures";
}

} // namespace

// ---- Loading -----------------------------------------------------------------------------

int CIWorld::LoadTextureImage(void* context, LTexture* texture, const char* fileName) {
    auto* self = static_cast<CIWorld*>(context);
    if (self == nullptr || self->world_ == nullptr || texture == nullptr || fileName == nullptr)
        return 0;
    size_t end = 0;
    FolderOf(fileName, &end);
    std::string file = std::string(fileName).substr(end);
    const size_t dot = file.find_last_of('.');
    const std::string base = dot != std::string::npos ? file.substr(0, dot) : file;
    std::string extension = dot != std::string::npos ? file.substr(dot) : std::string();
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    // The formats the texture images are kept in; any other is looked for as PNG.
    if (extension != ".bmp" && extension != ".jpg" && extension != ".jpeg" && extension != ".png")
        file = base + ".png";
    // The depth the world draws at, as the Texture objects' images have.
    const auto depth = int32_t(self->world_->GetColorDepth());
    if (DecodeTextureImage(*self->interpreter, *texture, base, nullptr, depth) == 1) return 1;
    // A name with its folder, as a texture reloading its image gives it, is read where it is.
    const std::string given = std::string(fileName).substr(0, end) + file;
    if (end != 0 &&
        DecodeTextureImage(*self->interpreter, *texture, std::string(), given.c_str(), depth) == 1)
        return 1;
    std::string path;
    if (self->world_->textures.FindTextureFile(file.c_str(), path) == 0) return 0;
    return DecodeTextureImage(*self->interpreter, *texture, std::string(), path.c_str(), depth);
}

void CIWorld::WrapNewTextures() {
    if (world_ == nullptr) return;
    for (LListNode* node = world_->textures.list.GetHead(); node != nullptr; node = node->next)
        CITexture::GetWrapper(*interpreter, this, static_cast<LTexture*>(node->item));
}

int32_t CIWorld::LoadFile(const char* name, uint32_t mask, const char* folder,
                          const char* objectName, L3DObject** loaded) {
    if (name == nullptr || name[0] == 0 || world_ == nullptr) return 14;
    interpreter->SelectProjectEntry();
    CValue value(interpreter, 0);
    value.SetString(name, 0);
    if (CElement* element = interpreter->GetElementFromValue(value, project_format::k3DBank, 1))
        return LoadElement(element, mask, objectName, loaded);
    const uint32_t type = Detect3DFileType(name, nullptr, 0);
    if (type == kFileTypeUnknown) return 62;
    if (type == kFileTypeMissing) return 17;
    world_->textures.SetFolder(folder != nullptr ? folder : FolderOf(name).c_str());
    if (objectName != nullptr) {
        L3DObject* object = nullptr;
        if (type == kFileTypeZyb)
            object = LBinaryWorldFile().MergeObjectsFile(name, world_, objectName);
        else if (type == kFileTypeYix)
            object = LScriptWorldFile().MergeObjectsFile(name, world_, objectName);
        else
            return 62;
        WrapNewTextures();
        if (object == nullptr) return 51;
        *loaded = object;
        return 0;
    }
    zyb::LoadStatistics record;
    int read = 0;
    if (type == kFileTypeMd2)
        read = CMD2File().LoadFile(world_, name, nullptr, &record);
    else if (type == kFileTypeYix)
        read = LScriptWorldFile().LoadWorldFile(name, world_, mask, &record);
    else if (type == kFileType3ds)
        read = L3dsFile(0).LoadFile(world_, name, nullptr, &record);
    else if (type == kFileTypeZyb)
        read = LBinaryWorldFile().LoadWorldFile(name, world_, mask, &record);
    // What a failing reader added stays, and gets its wrappers as the rest.
    WrapNewTextures();
    return read != 0 ? 0 : 44;
}

int32_t CIWorld::LoadElement(CElement* element, uint32_t mask, const char* objectName,
                             L3DObject** loaded) {
    if (element == nullptr || world_ == nullptr) return 14;
    std::unique_ptr<CInStream> stream(element->OpenStream(1));
    if (stream == nullptr) return 44;
    const uint32_t type = Detect3DFileTypeOfStream(stream.get(), nullptr, 0);
    if (type == kFileTypeUnknown) return 62;
    if (type == kFileTypeMissing) return 17;
    // Elements keep no folder of their own: their textures come from the image bank or
    // the current folder.
    world_->textures.SetFolder("");
    if (objectName != nullptr) {
        L3DObject* object = nullptr;
        if (type == kFileTypeZyb)
            object = LBinaryWorldFile().MergeObjects(stream.get(), world_, objectName);
        else if (type == kFileTypeYix)
            object = LScriptWorldFile().MergeObjects(stream.get(), world_, objectName);
        else
            return 62;
        WrapNewTextures();
        if (object == nullptr) return 51;
        *loaded = object;
        return 0;
    }
    zyb::LoadStatistics record;
    int read = 0;
    if (type == kFileTypeYix)
        read = LScriptWorldFile().LoadWorld(stream.get(), world_, mask, &record);
    else if (type == kFileType3ds)
        read = L3dsFile(0).Load(world_, stream.get(), element->GetNameText(), &record);
    else if (type == kFileTypeZyb)
        read = LBinaryWorldFile().LoadWorld(stream.get(), world_, mask, &record);
    else if (type == kFileTypeMd2)
        read = CMD2File().Load(world_, stream.get(), element->GetNameText(), &record);
    WrapNewTextures();
    return read != 0 ? 0 : 15;
}

void CIWorld::LoadAtCreation(CISurface* surface) {
    const CValue* bankIndex = nullptr;
    const char* file = nullptr;
    for (int32_t i = 0; i < interpreter->GetArgCount(); ++i) {
        const CValue* value = interpreter->GetArg(uint32_t(i));
        if (IsNumber(*value))
            bankIndex = value;
        else if (value->GetType() == kValueString)
            file = value->GetString();
    }
    if (bankIndex != nullptr) {
        interpreter->SelectProjectEntry();
        CElement* element =
            interpreter->GetElementFromValue(*bankIndex, project_format::k3DBank, 1);
        if (element == nullptr) interpreter->RaiseError(33);
        if (LoadElement(element, kLoadMask, nullptr, nullptr) != 0) interpreter->RaiseError(44);
    } else if (file != nullptr) {
        if (const int32_t code = LoadFile(file, kLoadMask, nullptr, nullptr, nullptr))
            interpreter->RaiseError(code);
    }
    // A world made with its file is seen at once, through the file's first camera.
    const LListNode* first = world_->cameras.list.GetHead();
    if (first == nullptr) return;
    auto* camera = static_cast<CICamera*>(WrapperOf(static_cast<L3DCamera*>(first->item)));
    if (camera != nullptr && camera->surface == nullptr) camera->BindTo(surface);
}

void CIWorld::Load() {
    const int32_t before = world_ != nullptr ? int32_t(world_->objectCount) : 0;
    const CValue* first = interpreter->GetArg(0);
    const std::string name = first->GetType() == kValueString ? first->GetString() : "";
    uint32_t mask = kLoadMask;
    std::string folder;
    bool hasFolder = false;
    for (int32_t i = 1; i < interpreter->GetArgCount(); ++i) {
        const CValue* value = interpreter->GetArg(uint32_t(i));
        if (value->GetType() == kValueInt) {
            mask |= SelectionBit(*interpreter, value->GetInt(), false);
        } else if (value->GetType() == kValueString &&
                   std::strcmp(value->GetString(), CValue::kDefaultString) != 0) {
            folder = value->GetString();
            hasFolder = true;
        }
    }
    if (!name.empty()) {
        if (const int32_t code = LoadFile(name.c_str(), mask, hasFolder ? folder.c_str() : nullptr,
                                          nullptr, nullptr))
            interpreter->RaiseError(code);
    }
    RefreshCameras();
    interpreter->GetResultSlot()->SetInt(before);
}

void CIWorld::LoadObject() {
    const CValue* file = interpreter->GetArg(0);
    const CValue* objectName = interpreter->GetArg(1);
    const std::string name = file->GetType() == kValueString ? file->GetString() : "";
    const std::string object =
        objectName->GetType() == kValueString &&
                std::strcmp(objectName->GetString(), CValue::kDefaultString) != 0
            ? objectName->GetString()
            : "";
    L3DObject* loaded = nullptr;
    if (const int32_t code = LoadFile(name.c_str(), 0, nullptr, object.c_str(), &loaded))
        interpreter->RaiseError(code);
    RefreshCameras();
    SetResultObject(WrapperOf(loaded));
}

// ---- Saving ------------------------------------------------------------------------------

int CIWorld::SaveToFile(const char* file, uint32_t mask, L3DObject* object) {
    if (world_ == nullptr || file == nullptr || file[0] == 0) return 0;
    const std::string folder = TextureFolderFor(file);
    world_->textures.SetFolder(folder.c_str());
    LBinaryWorldFile writer;
    const ResultCode result = object != nullptr
                                  ? writer.SaveObject(file, world_, object, folder.c_str())
                                  : writer.SaveWorld(file, world_, mask, folder.c_str());
    return result == kResultOk || result == LBinaryWorldFile::kRecordSkipped ? 1 : 0;
}

void CIWorld::Save() {
    const CValue* first = interpreter->GetArg(0);
    const std::string file = first->GetType() == kValueString ? first->GetString() : "";
    uint32_t mask = kSaveMask;
    for (int32_t i = 1; i < interpreter->GetArgCount(); ++i) {
        const CValue* value = interpreter->GetArg(uint32_t(i));
        if (value->IsDefault()) continue;
        if (!IsNumber(*value)) interpreter->RaiseError(63);
        mask |= SelectionBit(*interpreter, value->GetInt(), true);
    }
    interpreter->GetResultSlot()->SetInt(SaveToFile(file.c_str(), mask, nullptr));
}

// ---- Lookups -----------------------------------------------------------------------------

namespace {

// An entry of a World list by the lookup argument: given a wrapper of the list's class, the
// next entry of its name; given a text, the entry of that name; else the entry at the index.
template <class Wrapper, class Entry, class List, class Index>
Entry* LookUpEntry(const CValue* value, List& list, Entry* (Wrapper::*engine)() const,
                   Index index) {
    if (value->IsObjectOfClass(Wrapper::kClassId)) {
        Entry* after = (static_cast<Wrapper*>(value->GetObject())->*engine)();
        return after != nullptr ? list.FindNext(after, after->Name()) : nullptr;
    }
    if (value->GetType() == kValueString) return list.FindByName(value->GetString());
    const int32_t at = index();
    return at >= 0 ? list.GetAt(at) : nullptr;
}

} // namespace

void CIWorld::GetTexture() {
    if (world_ == nullptr) return SetResultObject(nullptr);
    LTexture* found = LookUpEntry(interpreter->GetArg(0), world_->textures,
                                  &CITexture::GetEngineTexture, [this] { return IndexArg(); });
    SetResultObject(CITexture::GetWrapper(*interpreter, this, found));
}

void CIWorld::GetMaterial() {
    if (world_ == nullptr) return SetResultObject(nullptr);
    LMaterial* found = LookUpEntry(interpreter->GetArg(0), world_->materials,
                                   &CIMaterial::GetEngineMaterial, [this] { return IndexArg(); });
    SetResultObject(CIMaterial::GetWrapper(*interpreter, this, found));
}

void CIWorld::GetBlob() {
    if (world_ == nullptr) return SetResultObject(nullptr);
    const CValue* value = interpreter->GetArg(0);
    L3DBlob* found = nullptr;
    if (value->IsObjectOfClass(CILocation::kBlobClassId)) {
        // The Blob itself when it is in this world, as its name finds it from its own place.
        auto* blob =
            static_cast<L3DBlob*>(static_cast<CILocation*>(value->GetObject())->engineObject);
        char name[256] = {};
        if (blob != nullptr) blob->GetName(name, sizeof name);
        found = blob != nullptr ? world_->blobs.FindNextByName(blob, name) : nullptr;
    } else if (value->GetType() == kValueString) {
        found = world_->blobs.FindByName(value->GetString());
    } else {
        const int32_t index = IndexArg();
        found = index >= 0 ? world_->blobs.GetAt(index) : nullptr;
    }
    SetResultObject(WrapperOf(found));
}

// ---- Background --------------------------------------------------------------------------

void CIWorld::SetBackground() {
    CInterpretor& in = *interpreter;
    const int32_t count = in.GetArgCount();
    const int flag = count == 6 ? (in.GetArgInt(5) != 0 ? 1 : 0) : 1;
    const CValue* source = nullptr;
    float numbers[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    int numberCount = 0;
    for (int32_t i = 0; i < count && i < 5; ++i) {
        const CValue* value = in.GetArg(uint32_t(i));
        if (value->GetType() == kValueObject) {
            if (!value->IsObjectOfClass(CISurface::kClassId)) in.RaiseError(14);
            source = value;
        } else if (value->GetType() == kValueString) {
            source = value;
        } else if (IsNumber(*value) && numberCount < 4) {
            numbers[numberCount++] = float(value->GetDouble());
        }
    }
    if (world_ == nullptr) return in.GetResultSlot()->SetInt(0);
    LMaterial* material = world_->GetBackgroundMaterial();
    LTexture* current = material != nullptr ? material->GetTexture(0) : nullptr;
    if (current != nullptr) {
        if (source != nullptr) CITexture::GetWrapper(in, this, current)->LoadFrom(*source);
    } else {
        if (source == nullptr) in.RaiseError(14);
        CITexture* texture =
            source->GetType() == kValueObject
                ? CITexture::MakeFromSurface(in, this, static_cast<CISurface*>(source->GetObject()))
                : CITexture::MakeFromFile(in, this, source->GetString());
        if (texture->GetEngineTexture() == nullptr) in.RaiseError(14);
        if (material == nullptr) {
            material =
                CIMaterial::Make(in, this, texture, 0, "Background Material")->GetEngineMaterial();
        } else {
            material->SetTexture(0, texture->GetEngineTexture());
        }
    }
    int result = 0;
    if (world_->SetBackgroundMaterial(material) == 0) {
        world_->SetBackgroundParams(numbers[0], numbers[1], numbers[2], numbers[3]);
        world_->backgroundFollowsCamera = uint32_t(flag);
        result = 1;
    }
    RefreshCameras();
    in.GetResultSlot()->SetInt(result);
}
