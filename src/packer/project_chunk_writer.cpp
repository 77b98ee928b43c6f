#include "packer/project_chunk_writer.h"

#include <zlib.h>

#include <cstdio>
#include <limits>

namespace {

constexpr uint64_t kU32Max = std::numeric_limits<uint32_t>::max();

} // namespace

bool ZlibPack(const void* data, size_t size, std::vector<uint8_t>& packed) {
    packed.clear();
    if (size > kU32Max) return false;
    uLongf capacity = compressBound(static_cast<uLong>(size));
    packed.resize(capacity);
    const int rc = compress2(packed.data(), &capacity, static_cast<const Bytef*>(data),
                             static_cast<uLong>(size), Z_BEST_COMPRESSION);
    if (rc != Z_OK) {
        packed.clear();
        return false;
    }
    packed.resize(capacity);
    return true;
}

void ProjectChunkWriter::U8(uint8_t value) {
    bytes_.push_back(value);
}

void ProjectChunkWriter::U16(uint16_t value) {
    bytes_.push_back(static_cast<uint8_t>(value));
    bytes_.push_back(static_cast<uint8_t>(value >> 8));
}

void ProjectChunkWriter::U32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes_.push_back(static_cast<uint8_t>(value >> shift));
}

void ProjectChunkWriter::Append(const void* data, size_t size) {
    if (size == 0) return;
    const auto* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
}

void ProjectChunkWriter::String(std::string_view text) {
    if (text.size() > 0xFFFF) {
        ok_ = false;
        text = text.substr(0, 0xFFFF);
    }
    U16(static_cast<uint16_t>(text.size()));
    Append(text.data(), text.size());
}

void ProjectChunkWriter::BeginChunk(uint16_t id) {
    U16(id);
    U16(0);
    open_.push_back(bytes_.size());
    U32(0);
}

void ProjectChunkWriter::EndChunk() {
    if (open_.empty()) {
        ok_ = false;
        return;
    }
    const size_t sizeField = open_.back();
    open_.pop_back();
    const uint64_t body = bytes_.size() - (sizeField + 4);
    if (body > kU32Max) ok_ = false;
    PatchU32(sizeField, static_cast<uint32_t>(body));
}

void ProjectChunkWriter::EmptyChunk(uint16_t id) {
    BeginChunk(id);
    EndChunk();
}

void ProjectChunkWriter::PackedBlock(const void* data, size_t size, bool packed) {
    if (size > kU32Max) {
        ok_ = false;
        size = 0;
    }
    U32(static_cast<uint32_t>(size));
    if (!packed) {
        U32(0);
        Append(data, size);
        return;
    }
    std::vector<uint8_t> deflated;
    if (!ZlibPack(data, size, deflated)) ok_ = false;
    U32(static_cast<uint32_t>(deflated.size()));
    Append(deflated.data(), deflated.size());
}

void ProjectChunkWriter::PatchU32(size_t position, uint32_t value) {
    if (position > bytes_.size() || bytes_.size() - position < 4) {
        ok_ = false;
        return;
    }
    for (int i = 0; i < 4; ++i)
        bytes_[position + i] = static_cast<uint8_t>(value >> (8 * i));
}

bool ProjectChunkWriter::WriteToFile(const std::string& path) const {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written =
        bytes_.empty() || std::fwrite(bytes_.data(), 1, bytes_.size(), file) == bytes_.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}
