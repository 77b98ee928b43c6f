#include "foundation/streams/zstream.h"

#include <algorithm>
#include <cstring>

#include "foundation/memory/memory_helpers.h"
#include "foundation/streams/file_in_stream.h"
#include "foundation/streams/mem_out_stream.h"

namespace {

uint32_t ResolveChunkSize(uint32_t chunkSize) {
    return chunkSize == 0 || chunkSize == 0xFFFFFFFF ? ZStreamCodec::kDefaultChunkSize : chunkSize;
}

ResultCode InitResult(int status) {
    if (status == Z_OK) return kResultOk;
    return status == Z_MEM_ERROR ? kResultOutOfMemory : kResultCompressionError;
}

uint32_t ResolveSize(CInStream& reader, uint32_t size) {
    if (size != kZStreamWholeStream) return size;
    uint32_t length = reader.GetLength(), position = reader.Tell();
    return length > position ? length - position : 0;
}

} // namespace

ZStreamCodec::~ZStreamCodec() {
    Release();
}

ResultCode ZStreamCodec::Allocate(COutStream& writer, CInStream& reader, uint32_t outputSize) {
    writer_ = &writer;
    reader_ = &reader;
    outputSize_ = outputSize;
    if (!MemAlloc(chunkSize_, &input_) || !MemAlloc(outputSize_, &output_)) {
        Release();
        return kResultOutOfMemory;
    }
    std::memset(&stream_, 0, sizeof stream_);
    return kResultOk;
}

ResultCode ZStreamCodec::BeginInflate(COutStream& writer, CInStream& reader, uint32_t chunkSize) {
    chunkSize_ = ResolveChunkSize(chunkSize);
    if (ResultCode result = Allocate(writer, reader, chunkSize_)) return result;
    if (ResultCode result = InitResult(inflateInit(&stream_))) {
        Release();
        return result;
    }
    active_ = true;
    return kResultOk;
}

ResultCode ZStreamCodec::BeginDeflate(COutStream& writer, CInStream& reader, uint32_t chunkSize,
                                      int level) {
    if (level != Z_DEFAULT_COMPRESSION) level = std::clamp(level, 0, 9);
    chunkSize_ = ResolveChunkSize(chunkSize);
    // Room for one chunk even when it does not compress, so a round rarely needs two.
    uint32_t outputSize = chunkSize_ + chunkSize_ / 4 + 12;
    if (ResultCode result = Allocate(writer, reader, outputSize)) return result;
    if (ResultCode result = InitResult(deflateInit(&stream_, level))) {
        Release();
        return result;
    }
    active_ = true;
    return kResultOk;
}

ResultCode ZStreamCodec::WriteOutput() {
    uint32_t produced = outputSize_ - stream_.avail_out;
    return produced == 0 ? kResultOk : writer_->Write(output_, produced);
}

ResultCode ZStreamCodec::Inflate(uint32_t packedSize) {
    if (packedSize == 0) return kResultOk;
    bool ended = false;
    while (packedSize > 0) {
        uint32_t take = std::min(chunkSize_, packedSize);
        if (ResultCode result = reader_->Read(input_, take)) return result;
        packedSize -= take;
        if (ended) continue;
        stream_.next_in = input_;
        stream_.avail_in = take;
        do {
            stream_.next_out = output_;
            stream_.avail_out = outputSize_;
            int status = inflate(&stream_, Z_NO_FLUSH);
            // Z_BUF_ERROR only says that this chunk allowed no progress: feed the next.
            if (status == Z_STREAM_END) {
                ended = true;
            } else if (status != Z_OK && status != Z_BUF_ERROR) {
                return kResultCompressionError;
            }
            if (ResultCode result = WriteOutput()) return result;
        } while (stream_.avail_out == 0 && !ended);
    }
    return ended ? kResultOk : kResultCompressionError;
}

ResultCode ZStreamCodec::Deflate(uint32_t size) {
    while (size > 0) {
        uint32_t take = std::min(chunkSize_, size);
        if (ResultCode result = reader_->Read(input_, take)) return result;
        size -= take;
        stream_.next_in = input_;
        stream_.avail_in = take;
        do {
            stream_.next_out = output_;
            stream_.avail_out = outputSize_;
            int status = deflate(&stream_, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_BUF_ERROR) return kResultCompressionError;
            if (ResultCode result = WriteOutput()) return result;
        } while (stream_.avail_out == 0);
    }
    return kResultOk;
}

ResultCode ZStreamCodec::FinishDeflate() {
    stream_.next_in = input_;
    stream_.avail_in = 0;
    for (;;) {
        stream_.next_out = output_;
        stream_.avail_out = outputSize_;
        int status = deflate(&stream_, Z_FINISH);
        if (status != Z_OK && status != Z_STREAM_END) return kResultCompressionError;
        if (ResultCode result = WriteOutput()) return result;
        if (status == Z_STREAM_END) return kResultOk;
    }
}

void ZStreamCodec::EndInflate() {
    if (active_) inflateEnd(&stream_);
    active_ = false;
}

void ZStreamCodec::EndDeflate() {
    if (active_) deflateEnd(&stream_);
    active_ = false;
}

void ZStreamCodec::Release() {
    MemFree(&input_);
    MemFree(&output_);
    reader_ = nullptr;
    writer_ = nullptr;
}

ResultCode ZStream_Decompress(COutStream& writer, CInStream& reader, uint32_t packedSize) {
    ZStreamCodec codec;
    ResultCode result = codec.BeginInflate(writer, reader, ZStreamCodec::kDefaultChunkSize);
    if (result == kResultOk) {
        result = codec.Inflate(ResolveSize(reader, packedSize));
        codec.EndInflate();
    }
    codec.Release();
    return result;
}

ResultCode ZStream_Compress(COutStream& writer, CInStream& reader, uint32_t size, int level) {
    ZStreamCodec codec;
    ResultCode result = codec.BeginDeflate(writer, reader, ZStreamCodec::kDefaultChunkSize, level);
    if (result == kResultOk) {
        result = codec.Deflate(ResolveSize(reader, size));
        if (result == kResultOk) result = codec.FinishDeflate();
        codec.EndDeflate();
    }
    codec.Release();
    return result;
}

ResultCode ZStream_DecompressBuffer(void* destination, uint32_t capacity, HANDLE file,
                                    uint32_t packedSize, uint32_t expectedSize) {
    CFileInStream reader;
    if (ResultCode result = reader.OpenHandle(file)) return result;
    CMemOutStream writer;
    writer.AttachBuffer(destination, capacity);
    ResultCode result = ZStream_Decompress(writer, reader, packedSize);
    if (result == kResultOk && expectedSize != kZStreamAnySize && writer.GetLength() < expectedSize)
        result = kResultCompressionError;
    reader.DetachHandle();
    return result;
}
