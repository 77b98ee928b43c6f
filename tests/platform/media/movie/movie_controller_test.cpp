// The movie controller: actions reach the movie through the filter, which can swallow them;
// the bar's geometry follows its visibility; keys, clicks and drags; frame steps; editing
// only while enabled.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/kernel/test_hooks.h"
#include "platform/media/movie/movie_controller.h"

namespace {

using namespace platform::movie;

// Ten frames of 60 units in a 160 x 120 picture.
std::unique_ptr<Movie> TenFrames() {
    auto media = std::make_shared<BuiltMedia>(2, 2);
    for (uint32_t i = 0; i < 10; ++i)
        media->Append(Picture{2, 2, std::vector<uint32_t>(4, i)}, 60);
    auto movie = std::make_unique<Movie>();
    movie->InsertMedia(media, 0);
    return movie;
}

TEST(MovieController, ActionsGoThroughTheFilter) {
    platform::test::FreezeClock(0);
    std::unique_ptr<Movie> movie = TenFrames();
    MovieController controller(*movie, {0, 0, 160, 136});
    std::vector<int32_t> seen;
    controller.SetActionFilter([&](int32_t action) {
        seen.push_back(action);
        return action == kActionMovieClick || action == kActionSetVolume;
    });
    controller.DoAction(kActionGoToTime, 300);
    controller.DoAction(kActionSetLooping, 1);
    controller.DoAction(kActionSetVolume, 100); // swallowed
    EXPECT_EQ(controller.DoAction(kActionGetVolume, 0), kFullVolume);
    EXPECT_EQ(controller.DoAction(kActionGetLooping, 0), 1);
    controller.DoAction(kActionSetSelectionBegin, 120);
    controller.DoAction(kActionSetSelectionDuration, 60);
    EXPECT_EQ(movie->Selection().start, 120);
    EXPECT_EQ(movie->Selection().length, 60);
    controller.DoAction(kActionPlay, kNormalRate);
    EXPECT_EQ(movie->Rate(), kNormalRate);
    platform::test::AdvanceClock(100);
    EXPECT_TRUE(controller.Idle());
    EXPECT_EQ(movie->Time(), 360);

    // A click in the picture goes to the filter only; a new size tells it too.
    EXPECT_TRUE(controller.Click(50, 50));
    controller.SetBounds({0, 0, 200, 136});
    controller.SetBounds({10, 0, 210, 136});
    EXPECT_EQ(seen.back(), kActionControllerSizeChanged);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), kActionControllerSizeChanged), 1);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), kActionMovieClick), 1);
    platform::test::UnfreezeClock();
}

TEST(MovieController, BarButtonSliderAndKeys) {
    std::unique_ptr<Movie> movie = TenFrames();
    MovieController controller(*movie, {0, 0, 116, 136});
    EXPECT_EQ(controller.MovieBox().bottom, 120);
    EXPECT_EQ(controller.ButtonRect().right, 16);
    EXPECT_EQ(controller.SliderRect().left, 16);

    // The slider's ends are the movie's.
    controller.Click(115, 125);
    EXPECT_EQ(movie->Time(), 600);
    controller.Drag(16 + 50);
    EXPECT_EQ(movie->Time(), 303);
    controller.Click(5, 130);
    EXPECT_EQ(movie->Rate(), kNormalRate);
    controller.Click(5, 130);
    EXPECT_EQ(movie->Rate(), 0);

    // Keys only once enabled: Space toggles, the arrows step whole frames.
    EXPECT_FALSE(controller.Key(0x20));
    controller.DoAction(kActionSetKeysEnabled, 1);
    EXPECT_TRUE(controller.Key(0x20));
    EXPECT_EQ(movie->Rate(), kNormalRate);
    EXPECT_TRUE(controller.Key(0x27));
    EXPECT_EQ(movie->Rate(), 0);
    EXPECT_EQ(movie->Time(), 360);
    controller.Key(0x25);
    controller.Key(0x25);
    EXPECT_EQ(movie->Time(), 240);
    controller.DoAction(kActionStep, 1000);
    EXPECT_EQ(movie->Time(), 540); // the last frame
    controller.DoAction(kActionStep, INT64_MIN);
    EXPECT_EQ(movie->Time(), 0);

    controller.SetVisible(false);
    EXPECT_EQ(controller.MovieBox().bottom, 136);
    controller.Click(5, 130); // the picture now, not the button
    EXPECT_EQ(movie->Rate(), 0);
}

TEST(MovieController, EditsOnlyWhileEnabled) {
    std::unique_ptr<Movie> movie = TenFrames();
    MovieController controller(*movie, {0, 0, 160, 136});
    movie->SetSelection(0, 120);
    EXPECT_EQ(controller.Cut(), nullptr);
    controller.Clear();
    EXPECT_EQ(movie->Duration(), 600);
    controller.EnableEditing(true);
    std::unique_ptr<Movie> cut = controller.Cut();
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(movie->Duration(), 480);
    EXPECT_EQ(controller.Copy(), nullptr); // nothing selected now
    controller.Paste(*cut);
    controller.Paste(*cut);
    EXPECT_EQ(movie->Duration(), 720);
    controller.Undo();
    EXPECT_EQ(movie->Duration(), 600);
}

} // namespace
