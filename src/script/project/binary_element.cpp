#include <new>

#include "foundation/files/file_layer.h"
#include "foundation/memory/memory_helpers.h"
#include "foundation/streams/file_in_stream.h"
#include "foundation/streams/mem_in_stream.h"
#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/project/packed_block.h"

namespace {

// Holds a use of the element whose data it reads.
class CElementDataStream : public CMemInStream {
public:
    explicit CElementDataStream(CElement* element) : element_(element) { ++element_->useCount; }
    ~CElementDataStream() override {
        if (element_->useCount > 0) --element_->useCount;
    }

private:
    CElement* element_;
};

} // namespace

CBinaryElement::~CBinaryElement() {
    MemFree(&data_);
}

int CBinaryElement::LoadData(HANDLE file, int) {
    FreeData();
    char* block = nullptr;
    uint32_t size = 0;
    if (ResultCode result = ReadPackedBlock(file, block, size)) {
        SetLastBankCode(result);
        return 0;
    }
    data_ = reinterpret_cast<uint8_t*>(block);
    size_ = size;
    return 1;
}

void CBinaryElement::FreeData() {
    MemFree(&data_);
    size_ = 0;
}

CInStream* CBinaryElement::OpenDataStream(uint32_t size) {
    auto* stream = new (std::nothrow) CElementDataStream(this);
    if (stream == nullptr) {
        SetLastBankCode(kResultOutOfMemory);
        return nullptr;
    }
    stream->Attach(data_, size);
    return stream;
}

CInStream* CBinaryElement::OpenStream(int mode) {
    if (HasData()) return OpenDataStream(size_);
    if (bank == nullptr || bank->GetHandle() == INVALID_HANDLE_VALUE) {
        SetLastBankCode(kResultReadError);
        return nullptr;
    }
    HANDLE file = bank->GetHandle();
    const uint32_t offset = bank->GetDataOffset(index);
    FileSeek(file, offset);
    uint8_t header[8];
    ResultCode result = FileRead(file, header, sizeof header);
    if (result != kResultOk) {
        SetLastBankCode(result);
        return nullptr;
    }
    const uint32_t unpacked = header[0] | uint32_t(header[1]) << 8 | uint32_t(header[2]) << 16 |
                              uint32_t(header[3]) << 24;
    const uint32_t packed = header[4] | uint32_t(header[5]) << 8 | uint32_t(header[6]) << 16 |
                            uint32_t(header[7]) << 24;
    if (packed != 0) {
        FileSeek(file, offset);
        if (!LoadData(file, 0)) return nullptr;
        return OpenDataStream(size_);
    }

    // Raw bytes are read in place; they must lie inside the file.
    const uint64_t start = uint64_t(offset) + sizeof header;
    if (start + unpacked > FileGetSize(file)) {
        SetLastBankCode(kResultEndOfData);
        return nullptr;
    }
    auto* stream = new (std::nothrow) CFileInStream;
    if (stream == nullptr) {
        SetLastBankCode(kResultOutOfMemory);
        return nullptr;
    }
    result = mode == 0 ? stream->AttachHandleRange(file, uint32_t(start), unpacked)
                       : stream->OpenFileRange(bank->GetPath(), uint32_t(start), unpacked);
    if (result != kResultOk) {
        delete stream;
        SetLastBankCode(result);
        return nullptr;
    }
    return stream;
}
