// End to end: a packed project plays a movie into a Surface on the headless display until
// it stops, copies its last frame into a Window and deletes the Window, whose last picture
// the display keeps (ZORV_HEADLESS_DUMP).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/player_run.h"
#include "platform/media/video/movie_writer.h"
#include "support/temp_dir.h"

namespace {

using app_test::PackFolder;
using app_test::PlayerOutcome;
using app_test::RunPlayer;
using app_test::ShellQuote;

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const char* const kScript = R"(w = New Window("Video", 64, 48, 20, 20);
w.SetAutoRefresh(0);
w.SetFillColor(0x000000);
w.Rectangle(0, 0, 64, 48);
s = New Surface(32, 24, 24);
v = New Video(s, "clip.avi");
n = 0;
While (v.IsPlaying() && n < 500) {
    Program.Wait(10);
    n++;
}
w.Copy(s, 16, 12);
w.Refresh();
Delete w;
)";

TEST(VideoRun, APackedProjectPlaysAMovieIntoASurfaceToItsLastFrame) {
    test_support::TempDir folder;
    folder.WriteFile("game/project.zpk", "entry Game\n  module main.zs\n");
    folder.WriteFile("game/main.zs", kScript);
    platform::video::MoviePlan movie;
    movie.codec = platform::video::MovieCodec::Raw24;
    movie.rateNumerator = 30;
    movie.colours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x20C080, 0x8040F0};
    ASSERT_EQ(platform::video::WriteMovie(folder.Linux("clip.avi"), movie), "");
    std::filesystem::create_directories(folder.Linux("pictures"));
    ASSERT_TRUE(PackFolder(folder));
    PlayerOutcome outcome =
        RunPlayer(folder, folder.Linux("packed"), {},
                  "ZORV_AUDIO=null ZORV_HEADLESS_DUMP=" + ShellQuote(folder.Linux("pictures")));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    ASSERT_TRUE(folder.Exists("pictures/window-1.png")) << outcome.errors;

    const std::filesystem::path golden =
        std::filesystem::path(__FILE__).parent_path() / "golden" / "video_run.png";
    const char* write = std::getenv("ZORV_WRITE_PICTURES");
    if (write != nullptr && write[0] == '1') {
        std::filesystem::copy_file(folder.Linux("pictures/window-1.png"), golden,
                                   std::filesystem::copy_options::overwrite_existing);
        return;
    }
    EXPECT_EQ(ReadBytes(folder.Linux("pictures/window-1.png")), ReadBytes(golden))
        << golden << " differs: ZORV_WRITE_PICTURES=1 writes it again";
}

} // namespace
