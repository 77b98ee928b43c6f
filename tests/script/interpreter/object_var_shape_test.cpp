#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "script/interpreter/interpretor.h"
#include "script/interpreter/object_var.h"

namespace {

std::vector<uint64_t> Fill(CIBaseObjectVar& object, const std::vector<uint32_t>& keys,
                           int32_t level) {
    std::vector<uint64_t> shapes;
    for (uint32_t key : keys) {
        object.AddVariable(key, level);
        shapes.push_back(object.GetShape());
    }
    return shapes;
}

TEST(ObjectVariableShapes, TheSameKeysInTheSameOrderShareAShapeAcrossObjects) {
    CInterpretor interpreter;
    CIBaseObjectVar one(&interpreter, 0);
    CIBaseObjectVar two(&interpreter, 0);
    EXPECT_EQ(one.GetShape(), two.GetShape());
    std::vector<uint64_t> first = Fill(one, {5, 6, 7}, 1);
    std::vector<uint64_t> second = Fill(two, {5, 6, 7}, 1);
    EXPECT_EQ(first, second);
    // The stamps, which name the variables themselves, stay apart.
    EXPECT_NE(one.GetStamp(), two.GetStamp());
    // A name is at the same place in both, each object answering with its own variable.
    CVariable* mine = one.FindVariable(6);
    CVariable* theirs = two.FindVariable(6);
    ASSERT_NE(mine, theirs);
    EXPECT_EQ(one.ShapedPosition(mine), two.ShapedPosition(theirs));
    EXPECT_EQ(one.FrontVariable(one.ShapedPosition(mine) - 1), mine);
    EXPECT_EQ(two.FrontVariable(two.ShapedPosition(theirs) - 1), theirs);
    EXPECT_EQ(one.ShapedPosition(theirs), 0u);

    CIBaseObjectVar other(&interpreter, 0);
    std::vector<uint64_t> swapped = Fill(other, {5, 7, 6}, 1);
    EXPECT_EQ(swapped[0], first[0]);
    EXPECT_NE(swapped[1], first[1]);
    EXPECT_NE(swapped[2], first[2]);
    // Of two variables of one key the newer is found, and its place is part of the shape.
    CIBaseObjectVar repeated(&interpreter, 0);
    std::vector<uint64_t> twice = Fill(repeated, {5, 5}, 1);
    EXPECT_NE(twice[1], twice[0]);
    EXPECT_EQ(repeated.ShapedPosition(repeated.FindVariable(5)), 2u);
}

// More pairs of a shape and a key than the shapes met last are kept for: each pair still
// gives its one shape, made again after many others, and no two pairs share one.
TEST(ObjectVariableShapes, ManyObjectsOfManyKeysKeepTheirShapes) {
    CInterpretor interpreter;
    std::vector<std::vector<uint64_t>> shapes;
    for (uint32_t key = 1; key <= 300; ++key) {
        CIBaseObjectVar object(&interpreter, 0);
        shapes.push_back(Fill(object, {key, 1000, 2000}, 1));
    }
    std::vector<uint64_t> last;
    for (uint32_t key = 1; key <= 300; ++key) {
        CIBaseObjectVar again(&interpreter, 0);
        EXPECT_EQ(Fill(again, {key, 1000, 2000}, 1), shapes[key - 1]) << key;
        last.push_back(shapes[key - 1][2]);
    }
    std::sort(last.begin(), last.end());
    EXPECT_EQ(std::adjacent_find(last.begin(), last.end()), last.end());
}

TEST(ObjectVariableShapes, DropsAndClearsGoBackToTheShapesOfWhatRemains) {
    CInterpretor interpreter;
    CIBaseObjectVar object(&interpreter, 0);
    uint64_t empty = object.GetShape();
    std::vector<uint64_t> shapes = Fill(object, {1, 2}, 1);
    Fill(object, {3}, 2);
    object.DropVariablesFromLevel(2);
    EXPECT_EQ(object.GetShape(), shapes[1]);
    // A drop that moves a later variable down gives the shape of the keys left, in order.
    object.ClearVariables();
    EXPECT_EQ(object.GetShape(), empty);
    Fill(object, {1}, 2);
    Fill(object, {2}, 1);
    object.DropVariablesFromLevel(2);
    CIBaseObjectVar fresh(&interpreter, 0);
    EXPECT_EQ(object.GetShape(), Fill(fresh, {2}, 1)[0]);
    EXPECT_EQ(object.ShapedPosition(object.FindVariable(2)), 1u);
    object.ClearVariables();
    EXPECT_EQ(object.GetShape(), empty);
}

TEST(ObjectVariableShapes, AnObjectWithATableHasAShapeOfItsOwn) {
    CInterpretor interpreter;
    CIBaseObjectVar one(&interpreter, 0);
    CIBaseObjectVar two(&interpreter, 0);
    std::vector<uint32_t> keys;
    for (uint32_t key = 1; key <= 12; ++key)
        keys.push_back(key);
    std::vector<uint64_t> first = Fill(one, keys, 1);
    std::vector<uint64_t> second = Fill(two, keys, 1);
    // Up to the front's size the shapes agree; past it each object is on its own.
    EXPECT_EQ(first[7], second[7]);
    EXPECT_NE(first[8], second[8]);
    EXPECT_EQ(one.GetShape(), one.GetStamp());
    EXPECT_EQ(one.ShapedPosition(one.FindVariable(1)), 0u);
    // Dropping the table's variables gives the front's shape back.
    one.DropVariablesFromLevel(1);
    Fill(one, {1, 2}, 1);
    CIBaseObjectVar fresh(&interpreter, 0);
    EXPECT_EQ(one.GetShape(), Fill(fresh, {1, 2}, 1)[1]);
}

} // namespace
