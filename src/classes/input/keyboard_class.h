// The Keyboard singleton: whether a key is down, constants naming the common keys, and,
// as a filter of every window message, the OnKeyDown and OnKeyUp events of Windows and
// controls and the Tab walk through a Window's controls.
#pragma once

#include <cstdint>
#include <memory>

#include "script/classes/base_class.h"
#include "script/runtime/message_filter.h"

class CIKeyboard final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 4;
    static constexpr uint16_t kIsKeyDown = 1;
    static constexpr uint32_t kFirstConstantId = 3;
    static constexpr uint32_t kLastConstantId = 0x3B;

    // Only the interpreter's own Keyboard sees the messages (`filter`); another one, made
    // by New, fails to create.
    CIKeyboard(CInterpretor* interpreter, const CClassRecord* record, bool filter);
    ~CIKeyboard() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // New Keyboard: error 65.
    void Create() override;

    // The key-event filter: CIBaseMessages::kSwallow when the Tab key moved the focus.
    int FilterMessage(MSG* message);
    // The value of the constant of `id` (the Applications key at 0x38 included); -1 for
    // an id outside the table.
    static int32_t ConstantValue(uint32_t id);

private:
    class KeyFilter;

    void IsKeyDown();

    std::unique_ptr<KeyFilter> filter_;
    static const ScriptMethod<CIKeyboard> kMethods[2];
};

const ScriptClassInfo* GetKeyboardClassInfo();
