// Movies over files and built media: what a file opens to and the errors of those that do
// not, playing on the test clock (rates, ends, loops, selections), the editing of the
// selection with undo and the scrap checked by the frames shown, and frames drawn into
// worlds of every format.
#include <gtest/gtest.h>

#include <vector>

#include "platform/kernel/test_hooks.h"
#include "platform/media/movie/movie.h"
#include "platform/media/video/movie_writer.h"
#include "support/temp_dir.h"

namespace {

using namespace platform::movie;

const std::vector<uint32_t> kColours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF,
                                        0xFF00FF, 0x808080, 0xFFFFFF, 0x000000, 0x204080};

// Ten frames of 60 units (a tenth of a second), frame i of colour kColours[i].
std::unique_ptr<Movie> BuiltMovie() {
    auto media = std::make_shared<BuiltMedia>(4, 2);
    for (uint32_t colour : kColours)
        media->Append(Picture{4, 2, std::vector<uint32_t>(8, colour)}, 60);
    auto movie = std::make_unique<Movie>();
    movie->InsertMedia(media, 0);
    return movie;
}

// The colours shown every 60 units, as the frames' indexes; -1 for a gap.
std::vector<int> Frames(Movie& movie) {
    std::vector<int> frames;
    for (int64_t time = 0; time < movie.Duration(); time += 60) {
        const Picture* picture = movie.PictureAt(time);
        int index = -1;
        for (size_t i = 0; picture && i < kColours.size(); ++i)
            if (picture->pixels[0] == kColours[i]) index = static_cast<int>(i);
        frames.push_back(index);
    }
    return frames;
}

class MovieClock : public ::testing::Test {
protected:
    void SetUp() override { platform::test::FreezeClock(1000); }
    void TearDown() override { platform::test::UnfreezeClock(); }
};

TEST(Movie, OpensFilesAndReportsWhatIsWrongWithOthers) {
    test_support::TempDir dir;
    platform::video::MoviePlan plan;
    plan.codec = platform::video::MovieCodec::QuickTimeRle;
    plan.colours = kColours;
    plan.toneHz = 440;
    ASSERT_EQ(platform::video::WriteMovie(dir.Linux("tone.mov"), plan), "");
    plan.toneHz = 0;
    plan.codec = platform::video::MovieCodec::Cinepak;
    ASSERT_EQ(platform::video::WriteMovie(dir.Linux("quiet.avi"), plan), "");

    std::unique_ptr<Movie> tone = Movie::OpenFile(dir.Win("tone.mov").c_str());
    ASSERT_NE(tone, nullptr);
    EXPECT_EQ(GetMoviesError(), kNoError);
    EXPECT_EQ(tone->Duration(), 400); // ten frames at 15 a second
    EXPECT_TRUE(tone->HasVideoTrack());
    EXPECT_TRUE(tone->HasSoundTrack());
    EXPECT_EQ(tone->NativeWidth(), 32);
    EXPECT_EQ(tone->NativeHeight(), 24);
    EXPECT_EQ(tone->PictureAt(0)->pixels[0], 0xFF0000u);
    EXPECT_EQ(tone->PictureAt(130)->pixels[100], 0xFFFF00u);
    EXPECT_EQ(tone->PictureAt(399)->pixels[0], 0x204080u);

    std::unique_ptr<Movie> quiet = Movie::OpenLinuxPath(dir.Linux("quiet.avi"));
    ASSERT_NE(quiet, nullptr);
    EXPECT_FALSE(quiet->HasSoundTrack());

    // Paths are kept whole, however long.
    std::string deep =
        std::string(120, 'a') + "/" + std::string(120, 'b') + "/" + std::string(40, 'c') + ".mov";
    dir.WriteFile(deep, "");
    ASSERT_EQ(platform::video::WriteMovie(dir.Linux(deep), plan), "");
    std::string deepWin = dir.Win(deep);
    for (char& c : deepWin)
        if (c == '/') c = '\\';
    ASSERT_GT(deepWin.size(), 255u);
    EXPECT_NE(Movie::OpenFile(deepWin.c_str()), nullptr);

    EXPECT_EQ(Movie::OpenFile(dir.Win("none.mov").c_str()), nullptr);
    EXPECT_EQ(GetMoviesError(), kFileNotFound);
    dir.WriteFile("text.mov", "not a movie at all");
    EXPECT_EQ(Movie::OpenFile(dir.Win("text.mov").c_str()), nullptr);
    EXPECT_EQ(GetMoviesError(), kNoMovieFound);
    EXPECT_EQ(Movie::OpenFile(dir.WinPath().c_str()), nullptr);
    EXPECT_EQ(GetMoviesError(), kFileNotFound);
}

TEST_F(MovieClock, PlaysToTheEndOrLoops) {
    std::unique_ptr<Movie> movie = BuiltMovie();
    movie->SetRate(kNormalRate);
    EXPECT_TRUE(movie->Task(1500));
    EXPECT_EQ(movie->Time(), 300);
    movie->Task(3000);
    EXPECT_EQ(movie->Time(), 600);
    EXPECT_EQ(movie->Rate(), 0);

    // Started again at its end, it starts from the beginning; looping wraps over the end.
    movie->SetLooping(true);
    movie->SetRate(kNormalRate);
    EXPECT_EQ(movie->Time(), 0);
    movie->Task(2500); // 1.5 s: once round and half way
    EXPECT_EQ(movie->Time(), 300);
    EXPECT_EQ(movie->Rate(), kNormalRate);

    // Backwards, a loop wraps from the beginning to the end.
    movie->SetRate(-2 * kNormalRate);
    movie->Task(2800); // 300 ms at twice the rate: 360 units back
    EXPECT_EQ(movie->Time(), 540);
    movie->SetLooping(false);
    movie->Task(4000);
    EXPECT_EQ(movie->Time(), 0);
    EXPECT_EQ(movie->Rate(), 0);

    // After a stall of hours a looping movie moves on by ten minutes at most: here exactly
    // ten minutes, a whole number of rounds.
    movie->SetLooping(true);
    movie->SetTime(60);
    movie->SetRate(kNormalRate);
    movie->Task(1000 + 5 * 3600 * 1000);
    EXPECT_EQ(movie->Time(), 60);
}

TEST_F(MovieClock, SlowRatesKeepTheirFractionsAndSelectionsBoundPlaying) {
    std::unique_ptr<Movie> movie = BuiltMovie();
    movie->SetRate(kNormalRate / 4);
    for (DWORD now = 1001; now <= 1900; ++now)
        movie->Task(now);
    EXPECT_EQ(movie->Time(), 135); // 900 ms at a quarter speed, not rounded down each ms

    movie->SetRate(0);
    movie->SetSelection(120, 120);
    movie->SetPlaySelectionOnly(true);
    movie->SetLooping(true);
    platform::test::FreezeClock(1900);
    movie->SetRate(kNormalRate);
    movie->Task(2400); // 300 units from 135 round a loop of 120..240
    EXPECT_EQ(movie->Time(), 195);
    // Outside the selection, playing starts at its beginning.
    movie->SetRate(0);
    movie->SetTime(500);
    movie->SetRate(kNormalRate);
    EXPECT_EQ(movie->Time(), 120);
}

TEST(Movie, EditsTheSelectionWithUndoAndTheScrap) {
    std::unique_ptr<Movie> movie = BuiltMovie();
    movie->SetSelection(120, 180);
    std::unique_ptr<Movie> cut = movie->Cut();
    EXPECT_EQ(cut->Duration(), 180);
    EXPECT_EQ(Frames(*cut), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(Frames(*movie), (std::vector<int>{0, 1, 5, 6, 7, 8, 9}));
    EXPECT_EQ(movie->Time(), 120);

    PutMovieOnScrap(*cut);
    cut.reset();
    movie->SetTime(0);
    movie->Paste(*MovieFromScrap());
    EXPECT_EQ(Frames(*movie), (std::vector<int>{2, 3, 4, 0, 1, 5, 6, 7, 8, 9}));
    EXPECT_EQ(movie->Time(), 180);

    // Pasting over a selection replaces it.
    movie->SetSelection(540, 60);
    movie->Paste(*MovieFromScrap());
    EXPECT_EQ(Frames(*movie), (std::vector<int>{2, 3, 4, 0, 1, 5, 6, 7, 8, 2, 3, 4}));
    EXPECT_TRUE(movie->Undo());
    EXPECT_EQ(Frames(*movie), (std::vector<int>{2, 3, 4, 0, 1, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(movie->Undo()); // one level only
    EXPECT_EQ(movie->Duration(), 600);

    // Clear leaves the scrap alone; an empty selection clears nothing.
    movie->SetSelection(0, 180);
    movie->Clear();
    movie->Clear();
    EXPECT_EQ(Frames(*movie), (std::vector<int>{0, 1, 5, 6, 7, 8, 9}));
    EXPECT_EQ(MovieFromScrap()->Duration(), 180);
    ClearMovieScrap();
    EXPECT_EQ(MovieFromScrap(), nullptr);
}

TEST(Movie, SegmentsOfItselfAndBeyondItsEnd) {
    std::unique_ptr<Movie> movie = BuiltMovie();
    movie->InsertSegment(*movie, 480, 1000, 60);
    EXPECT_EQ(Frames(*movie), (std::vector<int>{0, 8, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    movie->DeleteSegment(600, 1LL << 62);
    EXPECT_EQ(Frames(*movie), (std::vector<int>{0, 8, 9, 1, 2, 3, 4, 5, 6, 7}));
    movie->SetSelection(500, 500);
    EXPECT_EQ(movie->Selection().length, 100);
    movie->SetTime(1LL << 40);
    EXPECT_EQ(movie->Time(), 600);
    EXPECT_TRUE(movie->Undo());
    EXPECT_EQ(movie->Duration(), 720);

    // A movie with a sound track keeps it through pastes into one without.
    Movie empty;
    EXPECT_EQ(empty.PictureAt(0), nullptr);
    empty.Paste(*movie);
    EXPECT_EQ(empty.Duration(), 720);
    EXPECT_TRUE(empty.HasVideoTrack());
    EXPECT_EQ(empty.NativeWidth(), 4);
}

TEST(Movie, DrawsFramesIntoWorldsOfEveryFormat) {
    std::unique_ptr<Movie> movie = BuiltMovie();
    movie->SetTime(200); // frame 3, yellow
    for (PixelFormat format :
         {PixelFormat::L555, PixelFormat::L565, PixelFormat::BG24, PixelFormat::BGRA}) {
        OffscreenWorld world;
        ASSERT_TRUE(MakeWorld(world, 9, 5, format));
        EXPECT_EQ(world.stride % 4, 0);
        ASSERT_TRUE(movie->DrawFrame(world));
        EXPECT_EQ(PixelAt(world, 8, 4), 0xFFFF00u);
        EXPECT_EQ(PixelAt(world, 0, 0), 0xFFFF00u);
    }
    OffscreenWorld indexed;
    ASSERT_TRUE(MakeWorld(indexed, 3, 3, PixelFormat::Indexed8, {0x000000, 0xF0F010, 0xFFFFFF}));
    ASSERT_TRUE(movie->DrawFrame(indexed));
    EXPECT_EQ(indexed.pixels[4], 1);

    // At its end a movie still shows its last frame.
    movie->SetTime(600);
    ASSERT_TRUE(movie->DrawFrame(indexed));
    EXPECT_EQ(PixelAt(indexed, 1, 1), 0x000000u);

    OffscreenWorld bad;
    EXPECT_FALSE(MakeWorld(bad, 0, 5, PixelFormat::BGRA));
    EXPECT_FALSE(MakeWorld(bad, 5, 20000, PixelFormat::BGRA));
    EXPECT_FALSE(MakeWorld(bad, 5, 5, PixelFormat::Indexed8));
    EXPECT_EQ(FormatForDepth(4), PixelFormat::Indexed8);
    EXPECT_EQ(FormatForDepth(15), PixelFormat::L555);
    EXPECT_EQ(FormatForDepth(12), PixelFormat::BGRA);
}

} // namespace
