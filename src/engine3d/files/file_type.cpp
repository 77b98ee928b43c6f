#include "engine3d/files/file_type.h"

#include <algorithm>
#include <cstring>

#include "engine3d/files/chunk_reader.h"
#include "engine3d/files/md2_file.h"
#include "engine3d/files/script_world_file.h"
#include "engine3d/files/zyb_format.h"
#include "foundation/files/file_layer.h"
#include "foundation/streams/file_in_stream.h"

namespace {

const char* MessageOf(uint32_t code) {
    switch (code) {
    case kFileType3ds:
        return "This is a valid <3DS> 3DStudio 4 Mesh File.";
    case kFileTypeMd2:
        return "This is a valid <MD2> Quake File.";
    case kFileTypeYix:
        return "This is a valid <YIX> Drumbleby Script File.";
    case kFileTypeZyb:
        return "This is a valid <ZYB> Drumbleby Binary File.";
    case kFileTypeMissing:
        return "The file cannot be found by the 3D Engine.";
    default:
        return "This file is not supported by the 3D Engine.";
    }
}

void CopyMessage(uint32_t code, char* message, uint32_t size) {
    if (message == nullptr || size == 0) return;
    const char* text = MessageOf(code);
    const size_t n = std::min<size_t>(std::strlen(text), size - 1);
    std::memcpy(message, text, n);
    message[n] = '\0';
}

// Some exporters leave the version byte at offset 28 empty: a main chunk that spans the
// whole file and holds an editor or key-frame chunk is a 3DS file whatever that byte says.
bool Has3dsChunkStructure(CInStream& stream) {
    constexpr uint16_t kEditor = 0x3D3D, kKeyFrames = 0xB000;
    constexpr uint32_t kHeader = 6;
    const uint32_t size = stream.GetLength();
    uint32_t mainLength = 0;
    if (stream.Seek(2, 0) != 2 || stream.ReadLong(&mainLength) != kResultOk || mainLength != size)
        return false;
    for (uint32_t at = kHeader; at + kHeader <= size;) {
        uint16_t tag = 0;
        uint32_t length = 0;
        if (stream.Seek(int32_t(at), 0) != at || stream.ReadWord(&tag) != kResultOk ||
            stream.ReadLong(&length) != kResultOk)
            return false;
        if (tag == kEditor || tag == kKeyFrames) return true;
        if (length < kHeader || length > size - at) return false;
        at += length;
    }
    return false;
}

bool Is3dsStream(CInStream& stream) {
    stream.Seek(0, 0);
    uint16_t magic = 0;
    if (stream.ReadWord(&magic) != kResultOk || magic != 0x4D4D) return false;
    if (Has3dsChunkStructure(stream)) return true;
    if (stream.Seek(28, 0) != 28) return false;
    uint8_t version = 0;
    return stream.ReadByte(&version) == kResultOk && version >= 3;
}

bool IsZybStream(CInStream& stream) {
    stream.Seek(0, 0);
    ChunkReader reader(stream);
    uint32_t tag = 0, length = 0, version = 0;
    reader.ReadChunkHeader(tag, length);
    if (reader.LastResult() != kResultOk || tag != zyb::kTagContainer) return false;
    reader.ReadU32(version);
    return reader.LastResult() == kResultOk && version < zyb::kVersionLimit;
}

} // namespace

uint32_t Detect3DFileType(const char* path, char* message, uint32_t size) {
    if (path == nullptr || FileExists(path) == 0) {
        CopyMessage(kFileTypeMissing, message, size);
        return kFileTypeMissing;
    }
    CFileInStream stream;
    if (stream.OpenFile(path) != kResultOk) return kFileTypeUnknown;
    return Detect3DFileTypeOfStream(&stream, message, size);
}

uint32_t Detect3DFileTypeOfStream(CInStream* stream, char* message, uint32_t size) {
    if (stream == nullptr) {
        CopyMessage(kFileTypeUnknown, message, size);
        return kFileTypeUnknown;
    }
    const uint32_t position = stream->Tell();
    uint32_t version = 0;
    uint32_t code = kFileTypeUnknown;
    if (Is3dsStream(*stream))
        code = kFileType3ds;
    else if (CMD2File::IsMd2Stream(stream) != 0)
        code = kFileTypeMd2;
    else if (LScriptWorldFile::IsYixStream(stream, &version) != 0)
        code = kFileTypeYix;
    else if (IsZybStream(*stream))
        code = kFileTypeZyb;
    CopyMessage(code, message, size);
    stream->Seek(int32_t(position), 0);
    return code;
}
