// Named frame ranges of an animated object ("Main" and the names a world file or a
// script gives), with a current sequence and a current frame.
#pragma once

#include <cstdint>

#include "foundation/containers/llist.h"

// One record for the animated objects' sequences and the mesh frames' sequences. The
// animated objects give values[0..2] (A, B, C) and leave the last two alone; the meshes
// give all five.
struct SequenceRecord {
    char name[16];
    uint8_t flags;
    int32_t start;
    int32_t end;
    // Within start..end whenever the record is written.
    int32_t current;
    int32_t values[5];
};

// Writes a record: into `record`, or a new one appended to `list` when it is null. The
// name keeps at most 15 characters. Takes `count` values from `values` into the record's
// first value fields. Returns the record, or null when it could not be appended.
SequenceRecord* WriteSequence(LList& list, SequenceRecord* record, const char* name, uint8_t flags,
                              int32_t start, int32_t end, int32_t current, const int32_t* values,
                              int count);

// Names compare ignoring ASCII letter case only.
bool SequenceNameEquals(const char* a, const char* b);

class LAnimationIK {
public:
    static constexpr uint32_t kLoop = 2;

    // With the sequence "Main" (all values 0) current, looping, current frame -1.
    LAnimationIK();
    LAnimationIK(const LAnimationIK&) = delete;
    LAnimationIK& operator=(const LAnimationIK&) = delete;
    virtual ~LAnimationIK();

    virtual uint32_t GetSequenceCount() const;
    // 0 for a null or empty name or one already present; else appends; 1.
    virtual int AddSequence(const char* name, uint8_t flags, int32_t start, int32_t end, int32_t a,
                            int32_t current, int32_t b, int32_t c);
    // 0 for a null or empty name or one not present; else rewrites it; 1.
    virtual int UpdateSequence(const char* name, uint8_t flags, int32_t start, int32_t end,
                               int32_t a, int32_t current, int32_t b, int32_t c);
    // Rewrites the record of that name or appends one; 0 only for a null or empty name.
    virtual int SetSequence(const char* name, uint8_t flags, int32_t start, int32_t end, int32_t a,
                            int32_t current, int32_t b, int32_t c);
    virtual SequenceRecord* FindSequence(const char* name) const;
    // Makes it current at its start frame; 0 (and no current sequence) when absent.
    virtual int SelectSequence(const char* name);
    // Each wraps round the list; 0 without a current sequence in the list.
    virtual int PreviousSequence();
    virtual int NextSequence();
    // Removing the current sequence first selects "Main"; removing "Main" while it is
    // current leaves none current.
    virtual int RemoveSequence(const char* name);
    // Out of range wraps to the other end when looping, else stops at the near end.
    virtual void SetFrame(int32_t frame);

    uint32_t flags = kLoop;
    int32_t currentFrame = -1;
    LList sequences;
    SequenceRecord* currentSequence = nullptr;

private:
    LListNode* NodeOf(const char* name) const;
    // The node of the current sequence, or null when it is not in the list.
    LListNode* CurrentNode() const;
    void MakeCurrent(LListNode* node);
};
