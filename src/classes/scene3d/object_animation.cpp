// The Object's two animation channels: the key-track animation of an animated object
// (channel 0) and the mesh frames (channel 1), each with its named sequences, played by a
// frame timer on the interpreter's animated list in 20 ms slices.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "classes/scene3d/object_class.h"
#include "classes/scene3d/script_number.h"
#include "engine3d/scene/animation_sequences.h"
#include "engine3d/scene/objects/object.h"
#include "platform/kernel/clock.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

constexpr int32_t kBadArgument = 14;
constexpr int32_t kLoopOnPassEnd = 71;
constexpr int32_t kNoKinematicChannel = 72;
constexpr int32_t kNoSequence = 73;
constexpr int32_t kSequenceRefused = 74;
constexpr int32_t kNoMeshChannel = 92;

// The play constants carry this mark in their high half.
constexpr uint32_t kPlayMark = 0xABCD0000u;
constexpr uint32_t kRestart = 0xABCD0002u;
constexpr int32_t kLoopInfinite = -1;

constexpr int32_t kDefaultSpeed = 50;
constexpr int32_t kDefaultFastStep = 0xFFFF;

// Names are stored with at most 15 characters; a longer name given by a script is the
// stored one cut short, so that it finds what it added.
struct SequenceName {
    explicit SequenceName(const char* text) {
        const size_t length = std::min(std::strlen(text), sizeof value - 1);
        std::memcpy(value, text, length);
        value[length] = '\0';
    }
    char value[16];
};

// The step between the slow step (speed 0) and the fast one (speed 100), within what the
// timer can add up.
int32_t ChannelStep(int32_t speed, int32_t slow, int32_t fast) {
    const double step = std::trunc((double(100 - speed) * slow + double(fast) * speed) * 0.01);
    return int32_t(std::clamp(step, -2147483648.0, 2147483647.0));
}

int32_t FrameCount(const SequenceRecord* record) {
    return record != nullptr ? record->end - record->start + 1 : 0;
}

} // namespace

// ---- Channels --------------------------------------------------------------------------

uint32_t CIObject::CurrentChannel() const {
    return animMode_ == kAnimModeMesh ? kMeshChannel : kKinematicChannel;
}

LAnimationIK* CIObject::ChannelSequences(uint32_t channel) const {
    if (engineObject == nullptr) return nullptr;
    if (channel == kMeshChannel)
        return (engineObject->typeCode & 0x0002) != 0 ? engineObject : nullptr;
    const uint32_t type = engineObject->typeCode;
    return type == L3DObject::kAnimated || type == L3DObject::kAnimatedClone
               ? engineObject->Sequences()
               : nullptr;
}

LAnimationIK& CIObject::CheckedSequences() {
    const uint32_t channel = CurrentChannel();
    LAnimationIK* sequences = ChannelSequences(channel);
    if (sequences == nullptr)
        interpreter->RaiseError(channel == kMeshChannel ? kNoMeshChannel : kNoKinematicChannel);
    return *sequences;
}

void CIObject::StopChannel(uint32_t channel) {
    AnimationChannel& c = channels_[channel];
    if (c.playing == 0) return;
    interpreter->RemoveAnimated(&c.timer);
    c.entry = 0;
    c.playing = 0;
}

void CIObject::StopChannels() {
    StopChannel(kKinematicChannel);
    StopChannel(kMeshChannel);
}

void CIObject::OnEngineObjectDeleted() {
    // Without the engine object the timers would have nothing left to play.
    StopChannels();
    CILocation::OnEngineObjectDeleted();
}

int32_t CIObject::GetFrame(uint32_t channel) {
    const LAnimationIK* sequences = ChannelSequences(channel);
    return sequences != nullptr ? sequences->currentFrame : 0;
}

void CIObject::SetFrame(uint32_t channel, int32_t frame) {
    LAnimationIK* sequences = ChannelSequences(channel);
    if (sequences == nullptr) return;
    sequences->SetFrame(frame);
    LocationChanged();
}

void CIObject::ShowFrame(uint32_t) {
    RefreshWorldViews();
}

void CIObject::AnimationEnded(uint32_t channel) {
    StopChannel(channel);
}

int32_t CIObject::GetFrameDelay(uint32_t channel, int32_t) {
    return channels_[channel].step;
}

int32_t CIObject::GetFirstFrame(uint32_t channel) {
    const LAnimationIK* sequences = ChannelSequences(channel);
    return sequences != nullptr && sequences->currentSequence != nullptr
               ? sequences->currentSequence->start
               : 0;
}

int32_t CIObject::GetLastFrame(uint32_t channel) {
    const LAnimationIK* sequences = ChannelSequences(channel);
    return sequences != nullptr && sequences->currentSequence != nullptr
               ? sequences->currentSequence->end
               : 0;
}

int32_t CIObject::GetLoopFrame(uint32_t channel) {
    const LAnimationIK* sequences = ChannelSequences(channel);
    return sequences != nullptr && sequences->currentSequence != nullptr
               ? sequences->currentSequence->current
               : 0;
}

// ---- Definitions -----------------------------------------------------------------------

namespace {

// The values of a definition after the name, in argument order.
struct Definition {
    int32_t start, end, loops, loopFrame, slow, fast;
};

// Reads arguments 1 to 6 over `d`, leaving the missing ones, then checks the frames: the
// loop frame must lie within start..end, compared unsigned so that negative frames fail.
void ReadDefinition(CInterpretor& in, Definition& d) {
    int32_t* fields[6] = {&d.start, &d.end, &d.loops, &d.loopFrame, &d.slow, &d.fast};
    for (uint32_t i = 0; i < 6; ++i)
        if (!IsArgMissing(in, i + 1)) *fields[i] = in.GetArgInt(i + 1);
    const auto start = uint32_t(d.start), end = uint32_t(d.end), loop = uint32_t(d.loopFrame);
    if (start > end || loop < start || loop > end) in.RaiseError(kBadArgument);
}

} // namespace

void CIObject::AddAnimDefinition() {
    LAnimationIK& sequences = CheckedSequences();
    const SequenceName name(interpreter->GetArgString(0));
    Definition d{0, 0, kLoopInfinite, 0, 0, kDefaultFastStep};
    if (IsArgMissing(*interpreter, 2)) {
        const SequenceRecord* main = sequences.FindSequence("Main");
        if (main == nullptr) interpreter->RaiseError(kBadArgument);
        d.end = FrameCount(main);
    }
    ReadDefinition(*interpreter, d);
    if (sequences.AddSequence(name.value, 0, d.start, d.end, d.loops, d.loopFrame, d.slow,
                              d.fast) == 0)
        interpreter->RaiseError(kSequenceRefused);
}

void CIObject::SetAnimDefinition() {
    LAnimationIK& sequences = CheckedSequences();
    const SequenceName name(interpreter->GetArgString(0));
    const SequenceRecord* record = sequences.FindSequence(name.value);
    if (record == nullptr) interpreter->RaiseError(kNoSequence);
    Definition d{record->start,   record->end,       record->values[0],
                 record->current, record->values[1], record->values[2]};
    const uint8_t flags = record->flags;
    ReadDefinition(*interpreter, d);
    if (sequences.UpdateSequence(name.value, flags, d.start, d.end, d.loops, d.loopFrame, d.slow,
                                 d.fast) == 0)
        interpreter->RaiseError(kNoSequence);
}

void CIObject::DelAnimDefinition() {
    LAnimationIK& sequences = CheckedSequences();
    const SequenceName name(interpreter->GetArgString(0));
    if (sequences.RemoveSequence(name.value) == 0) interpreter->RaiseError(kNoSequence);
}

bool CIObject::SelectSequenceArg(LAnimationIK& sequences, uint32_t arg) {
    if (IsArgMissing(*interpreter, arg)) return false;
    const SequenceName name(interpreter->GetArgString(arg));
    if (sequences.SelectSequence(name.value) == 0) return false;
    LocationChanged();
    return true;
}

void CIObject::SetAnim() {
    LAnimationIK& sequences = CheckedSequences();
    StopChannel(CurrentChannel());
    SelectSequenceArg(sequences);
}

void CIObject::GetAnim() {
    const LAnimationIK& sequences = CheckedSequences();
    const SequenceRecord* record = sequences.currentSequence;
    interpreter->GetResultSlot()->SetString(record != nullptr ? record->name : "", 0);
}

void CIObject::GetNFrames() {
    const LAnimationIK& sequences = CheckedSequences();
    const SequenceRecord* record = sequences.currentSequence;
    if (interpreter->GetArgCount() == 1)
        record = sequences.FindSequence(SequenceName(interpreter->GetArgString(0)).value);
    interpreter->GetResultSlot()->SetInt(FrameCount(record));
}

void CIObject::SetFrame() {
    LAnimationIK& sequences = CheckedSequences();
    if (IsArgMissing(*interpreter, 0) || !IsNumber(*interpreter->GetArg(0)))
        interpreter->RaiseError(kBadArgument);
    const int32_t frame = interpreter->GetArgInt(0);
    const SequenceRecord* record = sequences.currentSequence;
    if (record == nullptr || frame < record->start || frame > record->end) return;
    sequences.SetFrame(frame);
    LocationChanged();
}

void CIObject::GetFrame() {
    interpreter->GetResultSlot()->SetInt(CheckedSequences().currentFrame);
}

void CIObject::NextFrame() {
    LAnimationIK& sequences = CheckedSequences();
    sequences.SetFrame(sequences.currentFrame + 1);
    LocationChanged();
}

void CIObject::PreviousFrame() {
    LAnimationIK& sequences = CheckedSequences();
    sequences.SetFrame(sequences.currentFrame - 1);
    LocationChanged();
}

// ---- Play ------------------------------------------------------------------------------

void CIObject::PlayAnim() {
    if (PlayAnimFrom(0) == 0) interpreter->GetResultSlot()->SetInt(0);
}

int CIObject::StartMoveAnimation(uint32_t firstArg) {
    return PlayAnimFrom(firstArg);
}

void CIObject::StopMoveAnimation() {
    StopChannel(CurrentChannel());
}

int CIObject::PlayAnimFrom(uint32_t first) {
    CInterpretor& in = *interpreter;
    const uint32_t index = CurrentChannel();
    LAnimationIK* sequences = ChannelSequences(index);
    if (sequences == nullptr) return 0;
    AnimationChannel& channel = channels_[index];

    // Where the play was, for the new sequence to take up.
    const SequenceRecord* previous = sequences->currentSequence;
    const bool carry = channel.playing != 0 && previous != nullptr;
    const int64_t f0 = sequences->currentFrame;
    const int64_t s0 = carry ? previous->start : 0;
    const int64_t e0 = carry ? previous->end : 0;

    if (!SelectSequenceArg(*sequences, first)) {
        StopChannel(index);
        return 0;
    }
    const SequenceRecord& record = *sequences->currentSequence;

    const int32_t speed = IsArgMissing(in, first + 1) ? kDefaultSpeed : in.GetArgInt(first + 1);
    if (speed == 0 || uint32_t(speed) > 100) in.RaiseError(kBadArgument);
    uint32_t playFlags = 0;
    bool restart = false;
    for (int32_t i = int32_t(first) + 2; i < in.GetArgCount(); ++i) {
        if (in.IsArgDefault(uint32_t(i))) continue;
        const int32_t value = in.GetArgInt(uint32_t(i));
        if (value != kLoopInfinite && (uint32_t(value) & 0xFFFF0000u) != kPlayMark)
            in.RaiseError(kBadArgument);
        if (uint32_t(value) == kRestart)
            restart = true;
        else
            playFlags |= uint32_t(value) & 0xFFFFu;
    }
    const bool reverse = (playFlags & CFrameTimer::kPlayBackward) != 0;

    // A loop that returns to the frame where each pass ends would never move again. Refused
    // before the channel is touched, and the channel is left stopped: a play refused must
    // not leave a timer listed that claims to be off, nor one playing the wrong sequence.
    const int32_t passEnd = reverse ? record.start : record.end;
    if (record.values[0] != 0 && record.current == passEnd) {
        StopChannel(index);
        in.RaiseError(kLoopOnPassEnd);
    }

    sequences->SetFrame(reverse ? record.end : record.start);
    channel.timer.InitSliced(this, timeGetTime());
    channel.step = ChannelStep(speed, record.values[1], record.values[2]);
    channel.timer.loopsRemaining = record.values[0];
    channel.timer.loopCount = record.values[0];
    channel.timer.flags = playFlags;
    if (channel.playing != 0) {
        in.RemoveAnimated(&channel.timer);
        channel.entry = 0;
        channel.playing = 0;
        // A sequence of one frame has no position to carry over: the new one starts afresh.
        if (carry && !restart && e0 != s0) {
            const int64_t s1 = record.start, e1 = record.end;
            const int64_t frame = s1 + (e1 - s1) * (f0 - s0) / (e0 - s0);
            if (frame >= s1 && frame <= e1) sequences->SetFrame(int32_t(frame));
        }
    }
    channel.entry = in.AddAnimated(&channel.timer);
    if (channel.entry == 0) in.RaiseError(15);
    channel.playing = 1;
    LocationChanged();
    return 1;
}

void CIObject::StopAnim() {
    StopChannel(CurrentChannel());
}

void CIObject::SetAnimSpeed() {
    const uint32_t index = CurrentChannel();
    AnimationChannel& channel = channels_[index];
    if (channel.playing == 0) return interpreter->GetResultSlot()->SetInt(0);
    if (IsArgMissing(*interpreter, 0)) interpreter->RaiseError(kBadArgument);
    const int32_t speed = interpreter->GetArgInt(0);
    if (uint32_t(speed) > 100) interpreter->RaiseError(kBadArgument);
    const LAnimationIK* sequences = ChannelSequences(index);
    if (sequences == nullptr || sequences->currentSequence == nullptr) return;
    const SequenceRecord& record = *sequences->currentSequence;
    channel.step = ChannelStep(speed, record.values[1], record.values[2]);
}

void CIObject::SetAnimMode() {
    const uint32_t mode =
        IsArgMissing(*interpreter, 0) ? kAnimModeKinematic : uint32_t(interpreter->GetArgInt(0));
    if (mode != kAnimModeKinematic && mode != kAnimModeMesh) interpreter->RaiseError(kBadArgument);
    if (mode == animMode_) return;
    StopChannel(CurrentChannel());
    animMode_ = mode;
}

void CIObject::GetAnimMode() {
    interpreter->GetResultSlot()->SetInt(int32_t(animMode_));
}
