#include "script/values/value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "script/values/script_array.h"
#include "script/values/value_test_support.h"

namespace value_test {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// The results of GetInt, GetDouble, GetFloat and GetString; `error` is raised by all
// but GetDouble, which raises `doubleError`. GetObject raises `objectError`.
struct ConversionRow {
    Sample value;
    int32_t asInt;
    double asDouble;
    double asFloat;
    const char* asString;
    int32_t error;
    int32_t doubleError;
    int32_t objectError = 18;
};

TEST_F(ValueTest, GettersConvertEachKindOrRaiseItsError) {
    const int32_t ok = kNone;
    const ConversionRow rows[] = {
        {I(-5), -5, -5.0, -5.0, "-5", ok, ok},
        {I(INT32_MIN), INT32_MIN, -2147483648.0, -2147483648.0, "-2147483648", ok, ok},
        {D(-2.7), -2, -2.7, -2.7, "-2.7", ok, ok},
        {D(0.5), 0, 0.5, 0.5, "0.5", ok, ok},
        {D(1e20), INT32_MIN, 1e20, 1e20, "1e+20", ok, ok},
        {D(-2147483648.9), INT32_MIN, -2147483648.9, -2147483648.9, "-2.14748e+09", ok, ok},
        {D(kNaN), INT32_MIN, kNaN, kNaN, "nan", ok, ok},
        {S("12abc"), 12, 12.0, 12.0, "12abc", ok, ok},
        {S("abc"), 0, 0.0, 0.0, "abc", ok, ok},
        {S(" 2.5e1x"), 2, 25.0, 25.0, " 2.5e1x", ok, ok},
        {S("0x1A"), 0, 0.0, 0.0, "0x1A", ok, ok},
        {S(nullptr), 0, 0.0, 0.0, "", ok, ok},
        {Arr(), 0, 0.0, 0.0, "", ok, ok},
        {Def(), INT32_MIN, -9999999999.0, -99999.0, "Default string", ok, ok, 41},
        {Obj(), 0, 0.0, 0.0, nullptr, 18, 18, ok},
        {Fn(0x1000), 0, 0.0, 0.0, nullptr, 18, ok},
        {Hole(), 0, 0.0, 0.0, nullptr, 41, 41, 41},
        {Hole(kValueUnboundMemberArray, 8), 0, 0.0, 0.0, nullptr, 41, 41, 41},
        {Hole(kValueMissingElement, 3), 0, 0.0, 0.0, nullptr, 41, 41, 41},
    };
    for (const ConversionRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "tag " << row.value.type);
        CValue value(&interpreter);
        Make(value, row.value);
        int32_t i = 0;
        double d = 0.0;
        double f = 0.0;
        const char* s = nullptr;
        EXPECT_EQ(ErrorOf([&] { i = value.GetInt(); }), row.error);
        EXPECT_EQ(ErrorOf([&] { d = value.GetDouble(); }), row.doubleError);
        EXPECT_EQ(ErrorOf([&] { f = value.GetFloat(); }), row.error);
        EXPECT_EQ(ErrorOf([&] { s = value.GetString(); }), row.error);
        EXPECT_EQ(ErrorOf([&] { value.GetObject(); }), row.objectError);
        EXPECT_EQ(i, row.asInt);
        EXPECT_TRUE(d == row.asDouble || (std::isnan(d) && std::isnan(row.asDouble)));
        EXPECT_TRUE(f == row.asFloat || (std::isnan(f) && std::isnan(row.asFloat)));
        EXPECT_STREQ(s, row.asString);
    }
    CValue missing(&interpreter);
    missing.SetDefault();
    EXPECT_EQ(missing.GetString(), CValue::kDefaultString);
}

TEST_F(ValueTest, TextsAreCopiedOrBorrowedAndAssignmentsAreIndependent) {
    char text[] = "hello";
    CValue borrowed(&interpreter, text, 1);
    EXPECT_EQ(borrowed.GetString(), text);
    CValue copy(&interpreter, &borrowed);
    EXPECT_NE(copy.GetString(), text);
    EXPECT_EQ(copy.GetFlags(), 0u);
    std::strcpy(copy.SetStringBuffer(8), "changed");
    EXPECT_STREQ(borrowed.GetString(), "hello");
    borrowed.SetInt(3); // a borrowed text is only let go of
    EXPECT_EQ(borrowed.GetFlags(), 0u);
    EXPECT_STREQ(text, "hello");
    // A value's own text, copied or assigned to itself, stays.
    copy.SetString(copy.GetString(), 0);
    copy.Assign(copy);
    EXPECT_STREQ(copy.GetString(), "changed");
    EXPECT_EQ(copy.SetStringBuffer(0), nullptr);
    ExpectHolds(copy, S(nullptr));
}

TEST_F(ValueTest, FailedAssignmentsLeaveTheTargetAsItWas) {
    CValue target(&interpreter, "target", 0);
    CValue hole(&interpreter);
    hole.SetUnboundName(0x40);
    EXPECT_EQ(ErrorOf([&] { target.Assign(hole); }), 41);
    // A borrowed text is copied, which may fail; a shared one cannot.
    CValue source(&interpreter, "source", 1);
    FailNextAllocation();
    EXPECT_EQ(ErrorOf([&] { target.Assign(source); }), 15);
    FailNextAllocation();
    EXPECT_EQ(ErrorOf([&] { target.SetString("x", 0); }), 15);
    ExpectHolds(target, S("target"));
    // A source that releasing the target frees: the array's only holder takes an item.
    CValue array(&interpreter);
    array.MakeArray();
    array.SetArrayItemString(0, "item");
    int32_t zero = 0;
    array.Assign(*array.GetArrayItemPtr(&zero, 1));
    ExpectHolds(array, S("item"));
}

TEST_F(ValueTest, TemporaryTextsStayValidUntilTheFlushWhateverTheirNumber) {
    std::vector<const char*> texts;
    CValue value(&interpreter);
    for (int32_t i = 0; i < 600; ++i) {
        value.SetInt(i);
        texts.push_back(value.GetString());
    }
    EXPECT_EQ(std::set<const char*>(texts.begin(), texts.end()).size(), texts.size());
    for (int32_t i = 0; i < 600; ++i)
        ASSERT_EQ(texts[size_t(i)], std::to_string(i));
    interpreter.FlushTemporaryTexts();
}

TEST_F(ValueTest, DeletingAnObjectTurnsEveryValueThatHeldItIntoZero) {
    CValue zero(&interpreter, 0);
    auto* object = new TestObject(&interpreter);
    CValue a(static_cast<CIBaseClassImpl*>(object));
    CValue b(&interpreter, &a);
    CValue c(&interpreter, "text", 0);
    c.SetObject(object, 1);
    b.Assign(a); // the same object again changes nothing
    c.SetObject(object, 1);
    EXPECT_EQ(object->useCount, 3);
    EXPECT_EQ(Holders(*object), 3);
    delete object;
    for (CValue* value : {&a, &b, &c}) {
        ExpectHolds(*value, I(0));
        EXPECT_TRUE(value->IsEqual(zero));
    }
}

TEST_F(ValueTest, TheFirstHolderMakesTheLinkAndAFailedOneTakesNoReference) {
    CValue holder(&interpreter, "before", 0);
    FailNextAllocation();
    EXPECT_EQ(ErrorOf([&] { holder.SetObject(&first, 1); }), 15);
    ExpectHolds(holder, S("before"));
    EXPECT_EQ(first.link, nullptr);
    EXPECT_EQ(first.useCount, 0);

    std::vector<CValue*> holders;
    for (int i = 0; i < 16; ++i)
        holders.push_back(new CValue(static_cast<CIBaseClassImpl*>(&first)));
    ObjectLink* link = first.link;
    holder.Assign(*holders[0]);
    EXPECT_EQ(first.useCount, 17);
    EXPECT_EQ(Holders(first), 17);
    for (CValue* each : holders)
        delete each;
    EXPECT_EQ(first.useCount, 1);
    EXPECT_EQ(Holders(first), 1);
    holder.SetObject(nullptr, 1);
    ExpectHolds(holder, I(0));
    EXPECT_FALSE(first.IsReferenced());
    // The link stays with the object for its next holders.
    EXPECT_EQ(first.link, link);
    // During shutdown a destroyed value leaves the use count alone.
    auto* held = new CValue(static_cast<CIBaseClassImpl*>(&first));
    interpreter.shuttingDown = 1;
    delete held;
    EXPECT_EQ(first.useCount, 1);
    EXPECT_EQ(Holders(first), 0);
}

TEST_F(ValueTest, ValuesOfAnObjectThatWentReadAsZeroAndTheLastFreesTheLink) {
    auto* object = new TestObject(&interpreter);
    CValue a(static_cast<CIBaseClassImpl*>(object));
    CValue b(static_cast<CIBaseClassImpl*>(object));
    CValue c(static_cast<CIBaseClassImpl*>(object));
    CValue d(static_cast<CIBaseClassImpl*>(object));
    CValue e(static_cast<CIBaseClassImpl*>(object));
    CValue f(static_cast<CIBaseClassImpl*>(object));
    CValue target(&interpreter);
    ObjectLink* link = object->link;
    delete object;
    EXPECT_EQ(link->holders, 6);
    // Its kind and integer read as 0 before anything settles it.
    EXPECT_EQ(a.GetType(), uint32_t(kValueInt));
    EXPECT_EQ(a.IntPayload(), 0);
    EXPECT_EQ(a.ObjectPayload(), nullptr);
    // Every way in settles the value: reads, operators on either side, assignment.
    EXPECT_EQ(a.GetInt(), 0);
    EXPECT_STREQ(b.GetString(), "0");
    CValue one(&interpreter, 1);
    one.Add(c);
    ExpectHolds(one, I(1));
    d.Negate();
    ExpectHolds(d, I(0));
    EXPECT_EQ(ErrorOf([&] { e.GetObject(); }), 18);
    target.Assign(f);
    ExpectHolds(target, I(0));
    ExpectHolds(f, I(0));
    // All six let go: the link is freed (LeakSanitizer would see it otherwise).
}

TEST_F(ValueTest, ClearedHoldersOfALiveObjectReadZeroAndNewOnesShareANewLink) {
    CValue old(static_cast<CIBaseClassImpl*>(&first));
    CValue other(static_cast<CIBaseClassImpl*>(&first));
    ObjectLink* link = first.link;
    first.ClearReferences();
    EXPECT_EQ(first.useCount, 0);
    EXPECT_EQ(first.link, nullptr);
    CValue fresh(static_cast<CIBaseClassImpl*>(&first));
    EXPECT_NE(first.link, nullptr);
    EXPECT_EQ(link->holders, 2);
    ExpectHolds(old, I(0));
    EXPECT_EQ(link->holders, 1);
    EXPECT_TRUE(other.IsEqual(CValue(&interpreter, 0)));
    EXPECT_EQ(first.useCount, 1);
    EXPECT_EQ(fresh.GetObject(), &first);
}

TEST_F(ValueTest, ReleaseReferencesToReachesNestedArraysAndStopsAtCycles) {
    CValue outer(&interpreter);
    CValue inner(&interpreter);
    CValue object(static_cast<CIBaseClassImpl*>(&first));
    CValue other(static_cast<CIBaseClassImpl*>(&second));
    inner.MakeArray();
    inner.SetArrayItem(0, &object);
    inner.SetArrayItem(1, &inner); // the array holds itself
    outer.MakeArray();
    outer.SetArrayItem(0, &inner);
    outer.SetArrayItem(1, &other);
    outer.ReleaseReferencesTo(&first);
    object.ReleaseReferencesTo(&first);
    EXPECT_EQ(first.useCount, 0);
    int32_t zero = 0;
    ExpectHolds(*inner.GetArrayItemPtr(&zero, 1), I(0));
    EXPECT_EQ(second.useCount, 2);
    // The cycle outlives its variables; the interpreter frees it when it goes.
}

TEST_F(ValueTest, ObjectsTakeSerialsAndListPlacesByClass) {
    const CClassRecord sprite{1};
    const CClassRecord button{15};
    TestObject a(&interpreter, &sprite, 1);
    TestObject b(&interpreter, &button, 1);
    TestObject c(&interpreter, &sprite, 1);
    a.Create();
    b.Register();
    c.Register();
    EXPECT_EQ(c.serial, a.serial + 1);
    EXPECT_EQ(a.alive, 1u);
    EXPECT_EQ(interpreter.classObjects[1].GetHead(), c.listNode);
    a.Destroy(0);
    EXPECT_EQ(a.MarkDeleted(), 1);
    EXPECT_EQ(a.MarkDeleted(), 0);
    { TestObject d(&interpreter, &sprite, 1); } // unlinks itself
    EXPECT_EQ(interpreter.classObjects[1].GetCount(), 1u);

    CValue sprited(static_cast<CIBaseClassImpl*>(&a));
    CValue scripted(static_cast<CIBaseClassImpl*>(&first));
    EXPECT_TRUE(sprited.IsObjectOfClass(1));
    EXPECT_FALSE(sprited.IsObjectOfClass(15));
    EXPECT_EQ(scripted.GetObjectClassId(), 0);
    EXPECT_TRUE(scripted.IsObjectOfClass(0));
    EXPECT_EQ(CValue(&interpreter, 1).GetObjectClassId(), -1);
}

class LocatingInterpretor : public CInterpretor {
    void LocateError(CIError& error) override { error.line = 12; }
};

TEST(CInterpretorTest, RaisedErrorsCarryTheCodeSubCodeAndPosition) {
    LocatingInterpretor interpreter;
    try {
        interpreter.RaiseError(45, 3);
    } catch (CIError* error) {
        EXPECT_EQ(error->code, 45);
        EXPECT_EQ(error->subCode, 3u);
        EXPECT_EQ(error->line, 12);
        CWXException::Delete(error);
    }
    EXPECT_EQ(Catch([] { CInterpretor::RaiseErrorOn(nullptr, 15); }).subCode, kNoSubCode);
}

} // namespace
} // namespace value_test
