// Values carry no interpreter: the one they serve is found when it is needed, and an array
// knows its own. Several interpreters live at once here, made in turn and nested, and
// values pass arrays between them.
#include <memory>
#include <string>

#include "value_test_support.h"

#include "script/values/script_array.h"

namespace value_test {
namespace {

TEST(ValueWithoutInterpreter, NumbersHaveNoTextAndArraysCannotBeMadeButTheRestWorks) {
    ASSERT_EQ(CInterpretor::Current(), nullptr);
    CValue number(nullptr, 5);
    try {
        number.GetString();
        FAIL() << "no error";
    } catch (CIError* error) {
        // Nothing to tell where the error arose.
        EXPECT_EQ(error->code, 15);
        EXPECT_EQ(error->line, -1);
        EXPECT_STREQ(error->GetUnitName(), "");
        CWXException::Delete(error);
    }
    int32_t index = 0;
    EXPECT_EQ(ErrorOf([&] { number.GetArrayItemPtr(&index, 1); }), 15);
    EXPECT_EQ(number.GetInt(), 5);
    CValue hole;
    EXPECT_EQ(ErrorOf([&] { hole.GetInt(); }), 41);
    CValue text(nullptr, "12", 0);
    EXPECT_EQ(text.GetInt(), 12);
    EXPECT_STREQ(text.GetString(), "12");
}

TEST(ValueWithoutInterpreter, TheNewestLiveInterpreterServesWhicheverGoesFirst) {
    auto outer = std::make_unique<CInterpretor>();
    EXPECT_EQ(CInterpretor::Current(), outer.get());
    auto first = std::make_unique<CInterpretor>();
    auto second = std::make_unique<CInterpretor>();
    EXPECT_EQ(CInterpretor::Current(), second.get());
    CValue value(nullptr, 7);
    EXPECT_STREQ(value.GetString(), "7");
    value.MakeArray();
    EXPECT_EQ(value.GetArray()->interpreter, second.get());
    value.SetInt(0);
    first.reset();
    EXPECT_EQ(CInterpretor::Current(), second.get());
    second.reset();
    EXPECT_EQ(CInterpretor::Current(), outer.get());
    outer.reset();
    EXPECT_EQ(CInterpretor::Current(), nullptr);
}

TEST(ValueWithoutInterpreter, ArraysCrossBetweenLiveInterpreters) {
    CInterpretor outer;
    CValue outerArray(&outer);
    int32_t index = 2;
    outerArray.GetArrayItemPtr(&index, 1);
    CScriptArray* outerRecord = outerArray.GetArray();
    ASSERT_NE(outerRecord, nullptr);
    {
        CInterpretor inner;
        CValue innerArray(&inner);
        innerArray.GetArrayItemPtr(&index, 1);
        ASSERT_EQ(innerArray.GetArray()->interpreter, &inner);
        // The outer array stored in, and read back from, an element of the inner one.
        innerArray.SetArrayItem(1, &outerArray);
        EXPECT_EQ(outerRecord->useCount, 2u);
        CValue read(&inner);
        ASSERT_TRUE(innerArray.GetArray()->ReadItem(1, read));
        EXPECT_TRUE(read.HoldsSameArray(outerArray));
        // An element reached through the inner array writes into the outer one.
        int32_t inside[] = {1, 0};
        EXPECT_EQ(ErrorOf([&] { innerArray.GetArrayItemPtr(inside, 2); }), 66);
        innerArray.GetArrayItemPtr(&inside[0], 1)->SetArrayItemString(0, "shared");
        outer.FlushTemporaryTexts();
        inner.FlushTemporaryTexts();
        int32_t zero = 0;
        EXPECT_STREQ(outerArray.GetArrayItemPtr(&zero, 1)->GetString(), "shared");
        read.SetInt(0);
        innerArray.SetInt(0);
        EXPECT_EQ(outerRecord->useCount, 1u);
    }
    EXPECT_EQ(CInterpretor::Current(), &outer);
    CValue copy(&outer, &outerArray);
    EXPECT_EQ(outerRecord->useCount, 2u);
}

} // namespace
} // namespace value_test
