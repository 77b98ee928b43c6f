// Movies written out and read back: every codec of built frames in QuickTime files, AVI and
// DV, with the same duration and the frames within each codec's tolerance; movies that cannot
// be written say why.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/media/movie/movie_export.h"
#include "platform/media/video/movie_reader.h"
#include "support/temp_dir.h"

namespace {

using namespace platform::movie;

const std::vector<uint32_t> kColours = {0xC02020, 0x20C020, 0x2020C0, 0xC0C020, 0x808080};

// Five frames of 100 ms, 32 x 24.
std::unique_ptr<Movie> Built(uint32_t codec, int32_t quality = kQualityNormal) {
    auto media = std::make_shared<BuiltMedia>(32, 24);
    media->SetCodec(codec, quality);
    for (uint32_t colour : kColours)
        media->Append(Picture{32, 24, std::vector<uint32_t>(32 * 24, colour)}, 60);
    auto movie = std::make_unique<Movie>();
    movie->InsertMedia(media, 0);
    return movie;
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > tolerance) return false;
    return true;
}

TEST(MovieExport, EveryCodecReadsBackWithItsFramesAndDuration) {
    test_support::TempDir dir;
    struct Case {
        uint32_t codec;
        int tolerance;
    };
    for (Case c : {Case{kCodecAnimation, 0}, Case{kCodecCinepak, 24}, Case{kCodecGraphics, 40},
                   Case{kCodecVideo, 8}, Case{kCodecComponent, 8}, Case{0, 16}}) {
        SCOPED_TRACE(c.codec);
        std::unique_ptr<Movie> movie = Built(c.codec);
        ASSERT_EQ(ExportMovieToLinuxPath(*movie, dir.Linux("out.mov"), ExportFormat::QuickTime),
                  kNoError);
        std::unique_ptr<Movie> back = Movie::OpenLinuxPath(dir.Linux("out.mov"));
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->Duration(), 300);
        EXPECT_EQ(back->NativeWidth(), 32);
        for (size_t i = 0; i < kColours.size(); ++i) {
            const Picture* picture = back->PictureAt(int64_t(i) * 60 + 30);
            ASSERT_NE(picture, nullptr);
            EXPECT_TRUE(Near(picture->pixels[13 * 32 + 16], kColours[i], c.tolerance))
                << std::hex << picture->pixels[13 * 32 + 16] << " for " << kColours[i];
        }
    }
}

TEST(MovieExport, AviAndLetterboxedDv) {
    test_support::TempDir dir;
    std::unique_ptr<Movie> movie = Built(kCodecAnimation);
    // An edit first: what is written is what the movie shows.
    movie->DeleteSegment(60, 60);
    ASSERT_EQ(ExportMovieToLinuxPath(*movie, dir.Linux("out.avi"), ExportFormat::Avi), kNoError);
    std::unique_ptr<Movie> avi = Movie::OpenLinuxPath(dir.Linux("out.avi"));
    ASSERT_NE(avi, nullptr);
    EXPECT_EQ(avi->Duration(), 240);
    EXPECT_TRUE(Near(avi->PictureAt(90)->pixels[300], kColours[2], 16));

    ASSERT_EQ(ExportMovieToLinuxPath(*movie, dir.Linux("out.dv"), ExportFormat::Dv), kNoError);
    platform::video::MovieReader dv;
    ASSERT_TRUE(dv.OpenLinuxPath(dir.Linux("out.dv").c_str()));
    EXPECT_EQ(dv.Width(), 720);
    EXPECT_EQ(dv.Height(), 576);
    EXPECT_EQ(dv.FrameCount(), 10); // 400 ms at 25 a second
    // 4:3 is 720 x 540 in PAL's frame, black bands above and below.
    std::vector<uint32_t> pixels(720 * 576);
    ASSERT_TRUE(dv.ReadFrame(9, 32, reinterpret_cast<uint8_t*>(pixels.data()), 720 * 4));
    EXPECT_TRUE(Near(pixels[288 * 720 + 360], kColours[4], 24));
    EXPECT_TRUE(Near(pixels[5 * 720 + 360], 0, 24));
    EXPECT_TRUE(Near(pixels[30 * 720 + 360], kColours[4], 24));
}

TEST(MovieExport, SizesACodecRefusesAreWrittenAsPhotoJpeg) {
    test_support::TempDir dir;
    auto media = std::make_shared<BuiltMedia>(10, 6);
    media->SetCodec(kCodecCinepak, kQualityHigh);
    media->Append(Picture{10, 6, std::vector<uint32_t>(60, 0x2020C0)}, 600);
    Movie movie;
    movie.InsertMedia(media, 0);
    ASSERT_EQ(ExportMovieToLinuxPath(movie, dir.Linux("odd.mov"), ExportFormat::QuickTime),
              kNoError);
    std::unique_ptr<Movie> back = Movie::OpenLinuxPath(dir.Linux("odd.mov"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Duration(), 600);
    EXPECT_TRUE(Near(back->PictureAt(0)->pixels[25], 0x2020C0, 16));
}

TEST(MovieExport, MoviesThatCannotBeWrittenSayWhy) {
    test_support::TempDir dir;
    Movie empty;
    EXPECT_EQ(ExportMovieToLinuxPath(empty, dir.Linux("out.mov"), ExportFormat::QuickTime),
              kBadParameter);
    std::unique_ptr<Movie> movie = Built(kCodecAnimation);
    EXPECT_EQ(
        ExportMovieToLinuxPath(*movie, dir.Linux("no/folder/out.mov"), ExportFormat::QuickTime),
        kFileNotFound);
    EXPECT_EQ(GetMoviesError(), kFileNotFound);
}

} // namespace
