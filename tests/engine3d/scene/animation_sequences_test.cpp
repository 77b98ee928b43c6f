#include "engine3d/scene/animation_sequences.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string CurrentName(const LAnimationIK& set) {
    return set.currentSequence ? set.currentSequence->name : "";
}

TEST(AnimationSequencesTest, StartsWithMainAndNamesIgnoreAsciiCaseOnly) {
    LAnimationIK set;
    EXPECT_EQ(set.GetSequenceCount(), 1u);
    EXPECT_EQ(CurrentName(set), "Main");
    EXPECT_EQ(set.currentFrame, -1);
    EXPECT_EQ(set.flags, LAnimationIK::kLoop);

    EXPECT_EQ(set.AddSequence("Walk", 1, 10, 20, 7, 30, 8, 9), 1);
    EXPECT_EQ(set.AddSequence("wALK", 0, 0, 5, 0, 0, 0, 0), 0);
    EXPECT_EQ(set.AddSequence("", 0, 0, 5, 0, 0, 0, 0), 0);
    EXPECT_EQ(set.AddSequence(nullptr, 0, 0, 5, 0, 0, 0, 0), 0);
    SequenceRecord* walk = set.FindSequence("WALK");
    ASSERT_NE(walk, nullptr);
    EXPECT_EQ(walk->current, 20);
    EXPECT_EQ(walk->values[0], 7);
    EXPECT_EQ(walk->values[1], 8);
    EXPECT_EQ(walk->values[2], 9);

    EXPECT_EQ(set.SetSequence("walk", 2, 1, 4, 0, -3, 0, 0), 1);
    EXPECT_EQ(set.GetSequenceCount(), 2u);
    EXPECT_EQ(walk->start, 1);
    EXPECT_EQ(walk->current, 1);
    EXPECT_STREQ(walk->name, "walk");
    EXPECT_EQ(set.UpdateSequence("Run", 0, 0, 1, 0, 0, 0, 0), 0);
    EXPECT_EQ(set.SetSequence("Run", 0, 0, 1, 0, 0, 0, 0), 1);
    EXPECT_EQ(set.GetSequenceCount(), 3u);

    // Only ASCII letters fold: accented ones are different names.
    EXPECT_EQ(set.AddSequence("\xE9t\xE9", 0, 0, 1, 0, 0, 0, 0), 1);
    EXPECT_EQ(set.FindSequence("\xC9T\xC9"), nullptr);

    EXPECT_EQ(set.AddSequence("ABCDEFGHIJKLMNOPQRST", 0, 0, 1, 0, 0, 0, 0), 1);
    EXPECT_NE(set.FindSequence("ABCDEFGHIJKLMNO"), nullptr);
    EXPECT_EQ(set.FindSequence("ABCDEFGHIJKLMNOPQRST"), nullptr);
}

TEST(AnimationSequencesTest, SelectionWrapsAndRemovingTheCurrentSelectsMain) {
    LAnimationIK set;
    set.AddSequence("A", 0, 10, 20, 0, 0, 0, 0);
    set.AddSequence("B", 0, 30, 40, 0, 0, 0, 0);
    EXPECT_EQ(set.SelectSequence("b"), 1);
    EXPECT_EQ(set.currentFrame, 30);
    EXPECT_EQ(set.NextSequence(), 1);
    EXPECT_EQ(CurrentName(set), "Main");
    EXPECT_EQ(set.currentFrame, 0);
    EXPECT_EQ(set.PreviousSequence(), 1);
    EXPECT_EQ(CurrentName(set), "B");

    EXPECT_EQ(set.RemoveSequence("B"), 1);
    EXPECT_EQ(CurrentName(set), "Main");
    EXPECT_EQ(set.RemoveSequence("B"), 0);
    EXPECT_EQ(set.RemoveSequence("main"), 1);
    EXPECT_EQ(set.currentSequence, nullptr);
    EXPECT_EQ(set.NextSequence(), 0);
    EXPECT_EQ(set.SelectSequence("Gone"), 0);
    set.SetFrame(5);
    EXPECT_EQ(set.GetSequenceCount(), 1u);
}

TEST(AnimationSequencesTest, SetFrameWrapsWhenLoopingAndClampsOtherwise) {
    struct Case {
        uint32_t flags;
        int32_t frame, expected;
    } cases[] = {{0, 25, 20}, {2, 25, 10}, {0, 5, 10}, {2, 5, 20}, {0, 15, 15}, {2, 10, 10}};
    for (const Case& c : cases) {
        LAnimationIK set;
        set.AddSequence("Range", 0, 10, 20, 0, 0, 0, 0);
        set.SelectSequence("Range");
        set.flags = c.flags;
        set.SetFrame(c.frame);
        EXPECT_EQ(set.currentFrame, c.expected) << c.flags << " " << c.frame;
    }
}

} // namespace
