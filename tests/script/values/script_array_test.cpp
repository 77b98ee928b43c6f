#include "script/values/script_array.h"

#include <gtest/gtest.h>

#include <vector>

#include "script/values/value.h"
#include "script/values/value_test_support.h"

namespace value_test {
namespace {

using Indices = std::vector<int32_t>;

class ScriptArrayTest : public ValueTest {
protected:
    // Stores an integer at the indices.
    void Put(CValue& array, const Indices& at, int32_t value) {
        CValue item(&interpreter, value);
        if (array.GetType() != kValueArray) array.MakeArray();
        array.SetArrayItemAt(at.data(), int(at.size()), &item);
    }

    // The item at the indices, or null when that element does not exist.
    CValue* At(CValue& array, const Indices& at) {
        return array.GetArrayItemPtr(at.data(), int(at.size()));
    }

    Raised PutRaises(CValue& array, const Indices& at) {
        return Catch([&] { Put(array, at, 1); });
    }

    static std::vector<uint32_t> Sizes(const CValue& array) {
        const CScriptArray* a = array.GetArray();
        return std::vector<uint32_t>(a->sizes, a->sizes + a->dimensions);
    }
};

TEST_F(ScriptArrayTest, TheFirstElementShapesTheArrayAndOnlyStoredElementsExist) {
    CValue a(&interpreter);
    Put(a, {5}, 1);
    EXPECT_EQ(Sizes(a), std::vector<uint32_t>{6});
    EXPECT_EQ(a.GetArray()->ItemCount(), 6u);
    EXPECT_EQ(At(a, {2}), nullptr);
    ExpectHolds(*At(a, {5}), I(1));

    CValue b(&interpreter);
    Put(b, {2, 3}, 9);
    EXPECT_EQ(Sizes(b), (std::vector<uint32_t>{3, 4}));
    EXPECT_EQ(b.GetArrayFlatIndex(Indices{2, 3}.data(), 2), 11u);
    EXPECT_EQ(b.GetArrayFlatIndex(Indices{1, 2}.data(), 2), 7u); // first index fastest
}

TEST_F(ScriptArrayTest, GrowingKeepsEveryElementAtItsIndexTuple) {
    CValue a(&interpreter);
    Put(a, {1, 1}, 7);
    Put(a, {3, 0}, 2);
    EXPECT_EQ(Sizes(a), (std::vector<uint32_t>{4, 2}));
    ExpectHolds(*At(a, {1, 1}), I(7));
    ExpectHolds(*At(a, {3, 0}), I(2));
    EXPECT_EQ(At(a, {0, 1}), nullptr);

    // Fill a 2 x 3 x 2 x 2 array, then grow every dimension at once.
    auto tuple = [](int32_t n, int32_t i, int32_t j, int32_t k) {
        return Indices{n % i, n / i % j, n / i / j % k, n / i / j / k};
    };
    CValue b(&interpreter);
    for (int32_t n = 0; n < 24; ++n)
        Put(b, tuple(n, 2, 3, 2), n);
    Put(b, {3, 4, 2, 2}, -1);
    EXPECT_EQ(Sizes(b), (std::vector<uint32_t>{4, 5, 3, 3}));
    int existing = 0;
    for (int32_t n = 0; n < 180; ++n) {
        Indices at = tuple(n, 4, 5, 3);
        CValue* item = At(b, at);
        existing += item != nullptr;
        if (item != nullptr && at != Indices{3, 4, 2, 2}) {
            EXPECT_EQ(item->GetInt(), at[0] + 2 * (at[1] + 3 * (at[2] + 2 * at[3])));
        }
    }
    EXPECT_EQ(existing, 25);

    // Growth of the last dimension alone keeps the flat positions.
    CValue c(&interpreter);
    Put(c, {1, 1}, 5);
    Put(c, {1, 6}, 6);
    ExpectHolds(*At(c, {1, 1}), I(5));
}

TEST_F(ScriptArrayTest, BadIndexListsRaiseTheirErrorsAndLeaveTheArrayAlone) {
    const struct {
        Indices first; // empty: the array is not shaped first
        Indices then;
        int32_t code;
        uint32_t subCode;
    } rows[] = {
        {{}, {}, 14, 0},
        {{}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 14, 11},
        {{2}, {1, 1}, 66, 1},
        {{}, {-1}, 45, 1},
        {{}, {0, -1}, 45, 2},
        {{}, {0, 0, -5}, 45, 3},
        {{3}, {-1}, 45, 1},
        {{3, 3}, {1, -1}, 45, 2},
        {{3, 3, 3}, {0, 0, -2}, 45, 3},
        {{1, 1, 1, 1}, {0, -1, 0, 0}, 45, 2},
        {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 0, -1}, 45, 10},
        {{}, {0x1FFFFFFE}, 45, 1},
        {{1}, {0x1FFFFFFF}, 45, 1},
        // Absurd sizes are refused before anything is allocated.
        {{}, {0x1FFFFFFD}, 15, kNoSubCode},
        {{}, {0x1000000, 0x1000000}, 15, kNoSubCode},
        {{}, Indices(10, 0x1FFFFFFD), 15, kNoSubCode},
        {{1}, {0x1FFFFFFE}, 15, kNoSubCode},
        {{1, 1, 1}, {0x100000, 0x100000, 0}, 15, kNoSubCode},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.code << " after " << row.first.size() << " then "
                                        << row.then.size() << " indices");
        CValue a(&interpreter);
        a.MakeArray();
        if (!row.first.empty()) Put(a, row.first, 4);
        std::vector<uint32_t> sizes = Sizes(a);
        Raised raised = PutRaises(a, row.then);
        EXPECT_EQ(raised.code, row.code);
        EXPECT_EQ(raised.subCode, row.subCode);
        EXPECT_EQ(Sizes(a), sizes);
        if (!row.first.empty()) ExpectHolds(*At(a, row.first), I(4));
    }
}

TEST_F(ScriptArrayTest, ArraysAreSharedByAssignmentAndDestroyedWithTheirLastHolder) {
    CValue a(&interpreter);
    Put(a, {0}, 1);
    CValue b(&interpreter, &a);
    CScriptArray* array = a.GetArray();
    EXPECT_EQ(b.GetArray(), array);
    EXPECT_EQ(array->useCount, 2u);
    Put(b, {3}, 4);
    ExpectHolds(*At(a, {3}), I(4));
    CValue object(static_cast<CIBaseClassImpl*>(&first));
    b.SetArrayItem(1, &object);
    b.SetArrayItemString(2, "two");
    b.SetArrayItemString(4, nullptr); // shapes only
    ExpectHolds(*At(a, {2}), S("two"));
    EXPECT_EQ(At(a, {4}), nullptr);
    EXPECT_EQ(array->objectItems, 1);
    EXPECT_EQ(first.useCount, 2);

    a.SetInt(0);
    EXPECT_EQ(array->useCount, 1u);
    b.SetFloat(1.0);
    EXPECT_EQ(interpreter.arrayList.GetCount(), 0u);
    EXPECT_EQ(first.useCount, 1);
    EXPECT_EQ(Holders(first), 1);
}

TEST_F(ScriptArrayTest, FlatStoresNeverGrowAndStoresNeedAnArray) {
    CValue a(&interpreter);
    Put(a, {1, 1}, 1);
    CValue item(&interpreter, 8);
    a.SetArrayItemFlat(2, &item);
    a.SetArrayItemFlat(4, &item);
    ExpectHolds(*At(a, {0, 1}), I(8));
    EXPECT_EQ(a.GetArray()->ItemCount(), 4u);

    CValue number(&interpreter, 1);
    EXPECT_EQ(ErrorOf([&] { number.SetArrayItem(0, &item); }), 44);
    EXPECT_EQ(ErrorOf([&] { number.SetArrayItemString(0, "x"); }), 44);
    EXPECT_EQ(ErrorOf([&] { number.SetArrayItemFlat(0, &item); }), 44);
    int32_t zero = 0;
    EXPECT_EQ(ErrorOf([&] { number.SetArrayItemAt(&zero, 1, &item); }), 44);
    // Reading an element makes the value an array first.
    EXPECT_EQ(number.GetArrayItemPtr(&zero, 1), nullptr);
    EXPECT_EQ(number.GetType(), uint32_t(kValueArray));
}

TEST_F(ScriptArrayTest, EveryKindSurvivesItsCellTheBoxAndTheWayBack) {
    CValue a(&interpreter);
    a.MakeArray();
    CValue nested(&interpreter);
    Put(nested, {0}, 5);
    const Sample kinds[] = {I(-7), D(2.5), S("text"), S(nullptr), Fn(0x40), Def(), Arr(), Obj()};
    for (int32_t i = 0; i < 8; ++i) {
        CValue item(&interpreter);
        if (kinds[i].type == kValueArray)
            item.Assign(nested);
        else
            Make(item, kinds[i]);
        a.SetArrayItem(i, &item);
    }
    CScriptArray* array = a.GetArray();
    EXPECT_EQ(nested.GetArray()->useCount, 2u);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "in cells" : "settled after boxing");
        uint32_t mark = interpreter.ReserveTemporaryEntry();
        for (int32_t i = 0; i < 8; ++i) {
            EXPECT_EQ(array->ItemType(uint32_t(i)), kinds[i].type);
            CValue copy(&interpreter);
            ASSERT_TRUE(array->ReadItem(uint32_t(i), copy));
            ExpectHolds(copy, kinds[i]);
            ExpectHolds(*array->GetItem(uint32_t(i)), kinds[i]);
        }
        interpreter.FlushTemporaryTextsFrom(mark);
    }
    EXPECT_EQ(nested.GetArray()->useCount, 2u);
    ExpectHolds(*array->GetItem(6)->GetArray()->GetItem(0), I(5));
    EXPECT_EQ(first.useCount, 1);
    a.SetInt(0);
    EXPECT_EQ(nested.GetArray()->useCount, 1u);
    EXPECT_EQ(first.useCount, 0);
    EXPECT_EQ(Holders(first), 0);
}

TEST_F(ScriptArrayTest, PlainNumbersGoInAndOutOfNumberCellsOnly) {
    CValue a(&interpreter);
    a.MakeArray();
    const Sample kinds[] = {I(-7), D(2.5), S("text"), Fn(0x40)};
    for (int32_t i = 0; i < 4; ++i) {
        CValue item(&interpreter);
        Make(item, kinds[i]);
        a.SetArrayItem(i, &item);
    }
    // Index 4 stays empty.
    Put(a, {5}, 1);
    CScriptArray* array = a.GetArray();
    const uint32_t mark = interpreter.ReserveTemporaryEntry();
    CScriptArray::Number number{};
    ASSERT_TRUE(array->ReadNumber(0, number));
    EXPECT_EQ(number.kind, uint32_t(kValueInt));
    EXPECT_EQ(number.integer, -7);
    ASSERT_TRUE(array->ReadNumber(1, number));
    EXPECT_EQ(number.kind, uint32_t(kValueDouble));
    EXPECT_EQ(number.real, 2.5);
    for (uint32_t other : {2u, 3u, 4u, 6u}) {
        SCOPED_TRACE(other);
        EXPECT_FALSE(array->ReadNumber(other, number));
        EXPECT_FALSE(array->WriteNumber(other, number));
    }
    ExpectHolds(*array->GetItem(2), S("text"));

    // Each kind over the other, in place.
    CScriptArray::Number integer{};
    integer.kind = kValueInt;
    integer.integer = 9;
    ASSERT_TRUE(array->WriteNumber(1, integer));
    ASSERT_TRUE(array->WriteNumber(0, number));
    ExpectHolds(*array->GetItem(0), D(2.5));
    ExpectHolds(*array->GetItem(1), I(9));

    // A boxed number is reached through its box until the box goes back into its cell.
    CValue* box = array->GetItem(5);
    EXPECT_FALSE(array->ReadNumber(5, number));
    EXPECT_FALSE(array->WriteNumber(5, integer));
    ExpectHolds(*box, I(1));
    interpreter.FlushTemporaryTextsFrom(mark);
    ASSERT_TRUE(array->WriteNumber(5, integer));
    ASSERT_TRUE(array->ReadNumber(0, number));
    EXPECT_EQ(number.real, 2.5);
    ExpectHolds(*array->GetItem(5), I(9));
    interpreter.FlushTemporaryTextsFrom(mark);
}

TEST_F(ScriptArrayTest, ANumberAppendedPastTheEndGrowsAOneDimensionalArrayByThatElementOnly) {
    CValue a(&interpreter);
    Put(a, {2}, 4);
    CScriptArray* array = a.GetArray();
    CScriptArray::Number number{};
    number.kind = kValueDouble;
    number.real = 0.5;
    // Only the element just past the end, as the store there grows the array.
    EXPECT_FALSE(array->AppendNumber(2, number));
    EXPECT_FALSE(array->AppendNumber(4, number));
    EXPECT_FALSE(array->AppendNumber(-1, number));
    EXPECT_EQ(Sizes(a), std::vector<uint32_t>{3});
    for (int32_t i = 3; i < 40; ++i)
        ASSERT_TRUE(array->AppendNumber(i, number));
    EXPECT_EQ(Sizes(a), std::vector<uint32_t>{40});
    EXPECT_EQ(At(a, {1}), nullptr);
    ExpectHolds(*At(a, {2}), I(4));
    ExpectHolds(*At(a, {39}), D(0.5));
    // The walk's store there gives the same shape.
    Put(a, {40}, 1);
    EXPECT_EQ(Sizes(a), std::vector<uint32_t>{41});

    CValue grid(&interpreter);
    Put(grid, {1, 1}, 2);
    EXPECT_FALSE(grid.GetArray()->AppendNumber(4, number));
    EXPECT_EQ(Sizes(grid), (std::vector<uint32_t>{2, 2}));
}

TEST_F(ScriptArrayTest, AnElementsAddressHoldsWhileTheArrayIsReshapedUntilTheStatementEnds) {
    uint32_t mark = interpreter.ReserveTemporaryEntry();
    CValue a(&interpreter);
    Put(a, {1, 1}, 7);
    CValue* held = At(a, {1, 1});
    Put(a, {6, 5}, 0); // moves every element of the second row
    EXPECT_EQ(At(a, {1, 1}), held);
    held->SetString("moved", 0);
    CScriptArray* array = a.GetArray();
    uint32_t flat = 0;
    ASSERT_TRUE(array->FindFlatIndex(Indices{1, 1}.data(), 2, flat));
    EXPECT_EQ(flat, 8u);

    // A box of an enclosing statement outlives the statements of a call made inside it.
    uint32_t inner = interpreter.ReserveTemporaryEntry();
    CValue* innerHeld = At(a, {2, 2});
    EXPECT_EQ(innerHeld, nullptr);
    Put(a, {2, 2}, 3);
    ASSERT_NE(At(a, {2, 2}), nullptr);
    interpreter.FlushTemporaryTextsFrom(inner);
    Put(a, {9, 9}, 1);
    EXPECT_EQ(At(a, {1, 1}), held);
    ExpectHolds(*held, S("moved"));

    interpreter.FlushTemporaryTextsFrom(mark);
    CValue copy(&interpreter);
    ASSERT_TRUE(array->ReadItem(array->GetFlatIndex(Indices{1, 1}.data(), 2), copy));
    ExpectHolds(copy, S("moved"));
    int32_t number = 0;
    EXPECT_TRUE(array->ReadInt(array->GetFlatIndex(Indices{2, 2}.data(), 2), number));
    EXPECT_EQ(number, 3);
    EXPECT_FALSE(array->ReadItem(0, copy));
    EXPECT_EQ(array->ItemType(0), CScriptArray::kNoItem);
    EXPECT_EQ(array->ItemType(array->ItemCount()), CScriptArray::kNoItem);
    EXPECT_FALSE(array->FindFlatIndex(Indices{10, 0}.data(), 2, flat));
    EXPECT_FALSE(array->FindFlatIndex(Indices{1}.data(), 1, flat));
}

// `t = t[0]` where t held the last reference: the element is read before the array goes.
TEST_F(ScriptArrayTest, ReadingAnElementIntoTheArraysLastHolderKeepsTheElement) {
    CValue nested(&interpreter);
    Put(nested, {0}, 5);
    CValue a(&interpreter);
    a.MakeArray();
    a.SetArrayItemString(0, "kept");
    a.SetArrayItem(1, &nested);
    nested.SetInt(0);
    CValue b(&interpreter, &a);
    ASSERT_TRUE(a.GetArray()->ReadItem(0, a));
    ExpectHolds(a, S("kept"));
    ASSERT_TRUE(b.GetArray()->ReadItem(1, b));
    ASSERT_NE(b.GetArray(), nullptr);
    ExpectHolds(*b.GetArrayItemPtr(Indices{0}.data(), 1), I(5));
    EXPECT_EQ(b.GetArray()->useCount, 1u);
    EXPECT_EQ(interpreter.arrayList.GetCount(), 1u);
}

TEST_F(ScriptArrayTest, IntegerStoresReplaceAnyContent) {
    CValue a(&interpreter);
    a.MakeArray();
    CValue object(static_cast<CIBaseClassImpl*>(&first));
    a.SetArrayItem(0, &object);
    a.SetArrayItemString(1, "gone");
    CScriptArray* array = a.GetArray();
    array->SetItemInt(0, 4);
    array->SetItemInt(1, 5);
    array->SetItemInt(2, 6); // beyond the items: nothing
    EXPECT_EQ(array->ItemCount(), 2u);
    EXPECT_EQ(array->objectItems, 0);
    EXPECT_EQ(first.useCount, 1);
    int32_t number = 0;
    EXPECT_TRUE(array->ReadInt(0, number));
    EXPECT_EQ(number, 4);
    EXPECT_TRUE(array->ReadInt(1, number));
    EXPECT_EQ(number, 5);
}

// An array of numbers alone is freed without a look at its cells, so every way a cell can
// come to hold something to let go of must still reach the teardown; the leak checker
// catches a text or a box left behind.
TEST_F(ScriptArrayTest, EveryWayACellComesToHoldAReferenceIsLetGoOfWithTheArray) {
    CValue nested(&interpreter);
    Put(nested, {0}, 5);
    CValue object(static_cast<CIBaseClassImpl*>(&first));
    CValue word(&interpreter);
    word.SetString("word", 0);
    CValue borrowed(&interpreter);
    borrowed.SetString("borrowed", 1);
    CScriptArray::Number number{};
    number.kind = kValueInt;
    auto numbers = [&](CValue& a) {
        Put(a, {0}, 1);
        for (int32_t i = 1; i < 9; ++i)
            ASSERT_TRUE(a.GetArray()->AppendNumber(i, number));
    };
    constexpr int kWays = 7;
    CValue arrays[kWays] = {CValue(&interpreter), CValue(&interpreter), CValue(&interpreter),
                            CValue(&interpreter), CValue(&interpreter), CValue(&interpreter),
                            CValue(&interpreter)};
    for (CValue& a : arrays)
        numbers(a);
    arrays[0].SetArrayItemString(3, "text");
    arrays[1].SetArrayItem(3, &word);
    arrays[2].SetArrayItem(3, &borrowed);
    arrays[3].SetArrayItem(3, &nested);
    arrays[4].SetArrayItem(3, &object);
    // A box that outlives its statement's end in the array's teardown.
    At(arrays[5], {3})->SetInt(7);
    // A text stored over by a number was let go of then: nothing is let go of twice.
    arrays[6].SetArrayItemString(5, "over");
    Put(arrays[6], {5}, 2);
    // Stored first, then moved by the growth of two dimensions.
    CValue grid(&interpreter);
    grid.MakeArray();
    int32_t corner[2] = {0, 0};
    grid.SetArrayItemAt(corner, 2, &nested);
    int32_t far[2] = {3, 2};
    grid.SetArrayItemAt(far, 2, &word);
    EXPECT_EQ(nested.GetArray()->useCount, 3u);
    EXPECT_EQ(first.useCount, 2);

    for (CValue& a : arrays)
        a.SetInt(0);
    grid.SetInt(0);
    EXPECT_EQ(nested.GetArray()->useCount, 1u);
    EXPECT_EQ(first.useCount, 1);
    EXPECT_EQ(Holders(first), 1);
    nested.SetInt(0);
    EXPECT_EQ(interpreter.arrayList.GetCount(), 0u);
}

// Deep enough to overflow the stack if either walk recursed.
TEST_F(ScriptArrayTest, DeeplyNestedArraysAreScannedAndDestroyedWithoutRecursion) {
    CValue chain(&interpreter, 0);
    CValue object(static_cast<CIBaseClassImpl*>(&first));
    for (int i = 0; i < 50000; ++i) {
        CValue outer(&interpreter);
        outer.MakeArray();
        outer.SetArrayItem(0, &chain);
        outer.SetArrayItem(1, &object);
        chain.Assign(outer);
    }
    EXPECT_EQ(interpreter.arrayList.GetCount(), 50000u);
    EXPECT_EQ(first.useCount, 50001);
    chain.ReleaseReferencesTo(&first);
    EXPECT_EQ(first.useCount, 1);
    chain.SetInt(0);
    EXPECT_EQ(interpreter.arrayList.GetCount(), 0u);
}

} // namespace
} // namespace value_test
