#include "script/interpreter/object_var.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "script/interpreter/interpretor.h"

namespace {

std::set<uint32_t> Keys(const CIBaseObjectVar& object) {
    std::set<uint32_t> keys;
    object.ForEachVariable(
        [&](CVariable& variable) { keys.insert(uint32_t(variable.value.GetInt())); });
    return keys;
}

// Adds a variable per key at `level`, each holding its key.
std::vector<CVariable*> AddAll(CIBaseObjectVar& object, const std::vector<uint32_t>& keys,
                               int32_t level) {
    std::vector<CVariable*> added;
    for (uint32_t key : keys) {
        CVariable* variable = object.AddVariable(key, level);
        variable->value.SetInt(int32_t(key));
        added.push_back(variable);
    }
    return added;
}

TEST(ObjectVariables, ManyVariablesAreAllFoundAndVisited) {
    CInterpretor interpreter;
    CIBaseObjectVar object(&interpreter, 0);
    std::vector<uint32_t> keys;
    for (uint32_t key = 1; key <= 40; ++key)
        keys.push_back(key * 9);
    std::vector<CVariable*> added = AddAll(object, keys, 0);
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(object.FindVariable(keys[i]), added[i]) << keys[i];
    EXPECT_EQ(object.FindVariable(5), nullptr);
    EXPECT_EQ(Keys(object).size(), keys.size());
}

TEST(ObjectVariables, DropsTakeTheirLevelsWhereverTheVariablesLie) {
    CInterpretor interpreter;
    CIBaseObjectVar object(&interpreter, 0);
    // Levels out of order (a member at level 0 added after block locals), then past the
    // first few variables.
    AddAll(object, {1, 2}, 1);
    AddAll(object, {3}, 2);
    AddAll(object, {4}, 0);
    AddAll(object, {5, 6, 7, 8, 9, 10}, 2);
    AddAll(object, {11}, 1);
    object.DropVariablesFromLevel(2);
    EXPECT_EQ(Keys(object), (std::set<uint32_t>{1, 2, 4, 11}));
    for (uint32_t key : {3u, 5u, 9u, 10u})
        EXPECT_EQ(object.FindVariable(key), nullptr) << key;
    EXPECT_NE(object.FindVariable(11), nullptr);
    // The order of what is left is kept: new variables still come after it.
    AddAll(object, {12}, 1);
    object.DropVariablesFromLevel(1);
    EXPECT_EQ(Keys(object), (std::set<uint32_t>{4}));
    object.ClearVariables();
    EXPECT_TRUE(Keys(object).empty());
}

TEST(ObjectVariables, TheSameStateGivesTheSameStampAndNoOtherDoes) {
    CInterpretor interpreter;
    CIBaseObjectVar object(&interpreter, 0);
    uint64_t empty = object.GetStamp();
    std::vector<uint64_t> first;
    for (uint32_t key : {1u, 2u, 3u}) {
        object.AddVariable(key, 1);
        first.push_back(object.GetStamp());
    }
    object.ClearVariables();
    EXPECT_EQ(object.GetStamp(), empty);
    // Refilled with the same keys (the spares hand back the same records): the same
    // stamps, so the name caches keep answering from call to call.
    for (size_t i = 0; i < 3; ++i) {
        object.AddVariable(uint32_t(i + 1), 1);
        EXPECT_EQ(object.GetStamp(), first[i]);
    }
    // A block's variable dropped at its end: back to the state, and stamp, before it.
    object.AddVariable(4, 2);
    uint64_t inBlock = object.GetStamp();
    object.DropVariablesFromLevel(2);
    EXPECT_EQ(object.GetStamp(), first[2]);
    EXPECT_NE(inBlock, first[2]);
    // Another key at a position: a new stamp, and the positions after it forget theirs.
    object.ClearVariables();
    object.AddVariable(1, 1);
    object.AddVariable(9, 1);
    EXPECT_NE(object.GetStamp(), first[1]);
    object.AddVariable(3, 1);
    EXPECT_NE(object.GetStamp(), first[2]);
    // A drop that moves a later variable down gives a state never stamped before.
    std::set<uint64_t> seen{empty, first[0], first[1], first[2], inBlock};
    object.ClearVariables();
    object.AddVariable(1, 2);
    object.AddVariable(2, 1);
    seen.insert(object.GetStamp());
    object.DropVariablesFromLevel(2);
    EXPECT_EQ(seen.count(object.GetStamp()), 0u);
    EXPECT_NE(object.FindVariable(2), nullptr);
    EXPECT_EQ(object.FindVariable(1), nullptr);
}

} // namespace
