#include "script/values/text_block.h"

#include <cstring>
#include <new>

#include "foundation/memory/memory_helpers.h"

namespace {

// The heap hands out blocks in steps of 16 bytes: the room up to the step's end is kept,
// so a short text takes a piece or two more without moving.
size_t WholeSteps(size_t room) {
    return ((sizeof(TextBlock) + room + 1 + 15) & ~size_t(15)) - sizeof(TextBlock) - 1;
}

} // namespace

char* TextBlock::Make(size_t room) {
    if (room > kMaxLength) return nullptr;
    room = WholeSteps(room);
    if (room > kMaxLength) room = kMaxLength;
    void* memory = nullptr;
    if (!MemAlloc(sizeof(TextBlock) + room + 1, &memory)) return nullptr;
    TextBlock* block = new (memory) TextBlock{1, kUnmeasured, uint32_t(room), 0};
    block->Bytes()[0] = '\0';
    return block->Bytes();
}

char* TextBlock::Copy(const char* text, size_t length) {
    char* bytes = Make(length);
    if (bytes == nullptr) return nullptr;
    std::memcpy(bytes, text, length);
    bytes[length] = '\0';
    Of(bytes)->length = uint32_t(length);
    return bytes;
}

void TextBlock::LetGo(const char* bytes) {
    TextBlock* block = Of(bytes);
    if (--block->holders != 0) return;
    void* memory = block;
    MemFree(&memory);
}

size_t TextBlock::Length(const char* bytes) {
    TextBlock* block = Of(bytes);
    if (block->length == kUnmeasured) block->length = uint32_t(std::strlen(bytes));
    return block->length;
}

int TextBlock::Reserve(char** bytes, size_t length) {
    TextBlock* block = Of(*bytes);
    if (length <= block->room) return 1;
    if (length > kMaxLength) return 0;
    size_t room = size_t(block->room) * 2;
    if (room < length) room = length;
    room = WholeSteps(room);
    if (room > kMaxLength) room = kMaxLength;
    void* memory = block;
    if (!MemRealloc(sizeof(TextBlock) + room + 1, &memory)) return 0;
    block = static_cast<TextBlock*>(memory);
    block->room = uint32_t(room);
    *bytes = block->Bytes();
    return 1;
}
