// Shared pieces of the value, operator and array tests: an interpreter with two script
// objects, values built from a short description, and catching raised errors.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/kernel/test_hooks.h"
#include "script/classes/base_class.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

struct BlockRecord;

namespace value_test {

// The code reported when nothing was raised.
inline constexpr int32_t kNone = -1000;

struct Raised {
    int32_t code;
    uint32_t subCode;
};

template <class Action> Raised Catch(Action&& action) {
    try {
        action();
    } catch (CIError* error) {
        Raised raised{error->code, error->subCode};
        CWXException::Delete(error);
        return raised;
    }
    return Raised{kNone, 0};
}

template <class Action> int32_t ErrorOf(Action&& action) {
    return Catch(action).code;
}

class TestObject : public CIBaseClassImpl {
public:
    explicit TestObject(CInterpretor* interpreter, const CClassRecord* record = nullptr,
                        int addToList = 0)
        : CIBaseClassImpl(interpreter, record, addToList) {}
};

// A value by tag. Objects are the fixture's first or second; `address` is a function
// record address or a placeholder payload; a null text is a string without a text.
struct Sample {
    uint32_t type;
    int32_t integer = 0;
    double number = 0.0;
    const char* text = nullptr;
    uintptr_t address = 0;
};

class ValueTest : public ::testing::Test {
protected:
    static Sample I(int32_t value) { return Sample{kValueInt, value}; }
    static Sample D(double value) { return Sample{kValueDouble, 0, value}; }
    static Sample S(const char* text) { return Sample{kValueString, 0, 0.0, text}; }
    static Sample Obj(int which = 1) { return Sample{kValueObject, which}; }
    static Sample Fn(uintptr_t address) { return Sample{kValueFunction, 0, 0.0, nullptr, address}; }
    static Sample Arr() { return Sample{kValueArray}; }
    static Sample Def() { return Sample{kValueDefault}; }
    static Sample Hole(uint32_t type = kValueUnboundName, uintptr_t payload = 0) {
        return Sample{type, 0, 0.0, nullptr, payload};
    }

    // MemAlloc and MemRealloc retry once, so two injected faults fail one allocation.
    static void FailNextAllocation() {
        platform::test::InjectFault(platform::test::Fault::HeapAlloc, 2);
    }

    void TearDown() override { platform::test::ClearFaults(); }

    // The values that hold `object` through its link.
    static int32_t Holders(const CIBaseClassImpl& object) {
        return object.link != nullptr ? object.link->holders : 0;
    }

    void Make(CValue& value, const Sample& spec) {
        switch (spec.type) {
        case kValueInt:
            return value.SetInt(spec.integer);
        case kValueDouble:
            return value.SetFloat(spec.number);
        case kValueString:
            return value.SetString(spec.text, 0);
        case kValueObject:
            return value.SetObject(spec.integer == 1 ? &first : &second, 1);
        case kValueFunction:
            return value.SetFunction(reinterpret_cast<const BlockRecord*>(spec.address));
        case kValueArray:
            return value.MakeArray();
        case kValueDefault:
            return value.SetDefault();
        case kValueMissingElement:
            return value.SetMissingElement(uint32_t(spec.address));
        case kValueUnboundMemberArray:
            return value.SetUnboundMemberArray(spec.address);
        default:
            return value.SetUnboundName(spec.address);
        }
    }

    // The tag, and the content of numbers and texts.
    static void ExpectHolds(const CValue& value, const Sample& spec) {
        ASSERT_EQ(value.GetType(), spec.type);
        if (spec.type == kValueInt) {
            EXPECT_EQ(value.GetInt(), spec.integer);
        } else if (spec.type == kValueDouble) {
            EXPECT_EQ(value.GetDouble(), spec.number);
        } else if (spec.type == kValueString) {
            EXPECT_STREQ(value.GetString(), spec.text != nullptr ? spec.text : "");
        }
    }

    CInterpretor interpreter;
    TestObject first{&interpreter};
    TestObject second{&interpreter};
};

} // namespace value_test
