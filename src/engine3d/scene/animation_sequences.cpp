#include "engine3d/scene/animation_sequences.h"

#include <algorithm>
#include <cstring>

namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsEmpty(const char* name) {
    return name == nullptr || name[0] == '\0';
}

SequenceRecord* RecordOf(const LListNode* node) {
    return static_cast<SequenceRecord*>(node->item);
}

} // namespace

SequenceRecord* WriteSequence(LList& list, SequenceRecord* record, const char* name, uint8_t flags,
                              int32_t start, int32_t end, int32_t current, const int32_t* values,
                              int count) {
    SequenceRecord* target = record;
    if (target == nullptr) {
        target = new SequenceRecord{};
        if (list.InsertAfter(target, nullptr) == nullptr) {
            delete target;
            return nullptr;
        }
    }
    target->flags = flags;
    size_t length = std::min<size_t>(std::strlen(name), sizeof target->name - 1);
    std::memcpy(target->name, name, length);
    target->name[length] = '\0';
    target->start = start;
    target->end = end;
    target->current = std::max(std::min(end, current), start);
    std::copy(values, values + count, target->values);
    return target;
}

bool SequenceNameEquals(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b)) return false;
    }
    return *a == *b;
}

LAnimationIK::LAnimationIK() {
    const int32_t zeros[3] = {};
    currentSequence = WriteSequence(sequences, nullptr, "Main", 0, 0, 0, 0, zeros, 3);
}

LAnimationIK::~LAnimationIK() {
    for (LListNode* node = sequences.GetHead(); node != nullptr; node = node->next)
        delete RecordOf(node);
    sequences.RemoveAll();
}

uint32_t LAnimationIK::GetSequenceCount() const {
    return sequences.GetCount();
}

int LAnimationIK::AddSequence(const char* name, uint8_t flags, int32_t start, int32_t end,
                              int32_t a, int32_t current, int32_t b, int32_t c) {
    if (IsEmpty(name) || NodeOf(name) != nullptr) return 0;
    const int32_t values[3] = {a, b, c};
    return WriteSequence(sequences, nullptr, name, flags, start, end, current, values, 3) !=
           nullptr;
}

int LAnimationIK::UpdateSequence(const char* name, uint8_t flags, int32_t start, int32_t end,
                                 int32_t a, int32_t current, int32_t b, int32_t c) {
    if (IsEmpty(name)) return 0;
    LListNode* node = NodeOf(name);
    if (node == nullptr) return 0;
    const int32_t values[3] = {a, b, c};
    WriteSequence(sequences, RecordOf(node), name, flags, start, end, current, values, 3);
    return 1;
}

int LAnimationIK::SetSequence(const char* name, uint8_t flags, int32_t start, int32_t end,
                              int32_t a, int32_t current, int32_t b, int32_t c) {
    if (IsEmpty(name)) return 0;
    LListNode* node = NodeOf(name);
    const int32_t values[3] = {a, b, c};
    return WriteSequence(sequences, node ? RecordOf(node) : nullptr, name, flags, start, end,
                         current, values, 3) != nullptr;
}

SequenceRecord* LAnimationIK::FindSequence(const char* name) const {
    LListNode* node = NodeOf(name);
    return node ? RecordOf(node) : nullptr;
}

int LAnimationIK::SelectSequence(const char* name) {
    LListNode* node = NodeOf(name);
    if (node == nullptr) {
        currentSequence = nullptr;
        return 0;
    }
    MakeCurrent(node);
    return 1;
}

int LAnimationIK::PreviousSequence() {
    LListNode* node = CurrentNode();
    if (node == nullptr) return 0;
    MakeCurrent(node->prev ? node->prev : sequences.GetTail());
    return 1;
}

int LAnimationIK::NextSequence() {
    LListNode* node = CurrentNode();
    if (node == nullptr) return 0;
    MakeCurrent(node->next ? node->next : sequences.GetHead());
    return 1;
}

int LAnimationIK::RemoveSequence(const char* name) {
    if (IsEmpty(name)) return 0;
    LListNode* node = NodeOf(name);
    if (node == nullptr) return 0;
    SequenceRecord* record = RecordOf(node);
    if (record == currentSequence) SelectSequence("Main");
    if (record == currentSequence) currentSequence = nullptr;
    sequences.RemoveNode(node, 1);
    delete record;
    return 1;
}

void LAnimationIK::SetFrame(int32_t frame) {
    if (currentSequence == nullptr) return;
    int32_t start = currentSequence->start;
    int32_t end = currentSequence->end;
    bool loop = (flags & kLoop) != 0;
    if (frame < start)
        currentFrame = loop ? end : start;
    else if (frame > end)
        currentFrame = loop ? start : end;
    else
        currentFrame = frame;
}

LListNode* LAnimationIK::NodeOf(const char* name) const {
    if (name == nullptr) return nullptr;
    for (LListNode* node = sequences.GetHead(); node != nullptr; node = node->next) {
        if (SequenceNameEquals(RecordOf(node)->name, name)) return node;
    }
    return nullptr;
}

LListNode* LAnimationIK::CurrentNode() const {
    return currentSequence ? sequences.FindNode(currentSequence) : nullptr;
}

void LAnimationIK::MakeCurrent(LListNode* node) {
    currentSequence = RecordOf(node);
    currentFrame = currentSequence->start;
}
