// The movie window on the headless display under the test clock: the picture against the
// reader's frames (stretched by the zoom), the position by the clock and by the sound
// track's voice on the null output, reverse play, pause and resume, seeks in either time
// format, errors, and the play bar against its golden with its button and trackbar.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/controls/trackbar.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "platform/kernel/test_hooks.h"
#include "platform/media/mci/mci_types.h"
#include "platform/media/mciwnd/mciwnd.h"
#include "platform/media/video/movie_reader.h"
#include "platform/media/video/movie_writer.h"
#include "platform/sound/sound_test_hooks.h"
#include "platform/user/test_hooks.h"
#include "support/golden_picture.h"
#include "support/temp_dir.h"

namespace {

namespace headless = platform::headless;
using platform::video::MovieCodec;
using platform::video::MoviePlan;

const std::vector<uint32_t> kColours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF,
                                        0xFF00FF, 0x808080, 0xFFFFFF, 0x000000, 0x204080};

class MovieWindow : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Install();
        headless::SetEnvironment("ZORV_AUDIO", "null");
        platform::test::FreezeClock(1000);
        platform::test::ResetSoundOutput();
    }
    void TearDown() override {
        if (window != 0) DestroyWindow(window);
        platform::test::RecordSoundOutput(false);
        platform::test::ResetSoundOutput();
        platform::test::UnfreezeClock();
    }
    // A 10-frame movie of kColours at 10 frames a second (1 s), written once per test.
    std::string Movie(MovieCodec codec = MovieCodec::Raw24, int32_t toneHz = 0) {
        MoviePlan plan;
        plan.codec = codec;
        plan.rateNumerator = 10;
        plan.colours = kColours;
        plan.toneHz = toneHz;
        plan.keyInterval = 3;
        EXPECT_EQ(platform::video::WriteMovie(dir.Linux("movie.avi"), plan), "");
        return dir.WinPath() + "\\movie.avi";
    }
    HWND Open(const std::string& file, DWORD style = WS_POPUP | WS_VISIBLE | MCIWNDF_NOPLAYBAR) {
        window = MCIWndCreateA(0, 0, style, file.c_str());
        EXPECT_NE(window, 0u);
        headless::DispatchPending();
        return window;
    }
    static void Advance(DWORD ms) {
        for (DWORD at = 0; at < ms; at += 10) {
            headless::AdvanceTime(10);
            headless::DispatchPending();
        }
    }
    LRESULT Send(UINT message, LPARAM lParam = 0, WPARAM wParam = 0) {
        return SendMessageA(window, message, wParam, lParam);
    }
    LRESULT Position() { return Send(MCIWNDM_GETPOSITIONA); }
    LRESULT Mode() { return Send(MCIWNDM_GETMODEA); }
    // The colour in the middle of the picture, and at its far corner.
    uint32_t Middle(int pictureHeight = 24) {
        headless::DispatchPending();
        headless::Pixels pixels;
        EXPECT_TRUE(headless::ReadPixels(window, pixels));
        return pixels.At(pixels.width / 2, pictureHeight / 2);
    }

    test_support::TempDir dir;
    HWND window = 0;
};

TEST_F(MovieWindow, OpensSizedToTheMovieAndShowsItsFirstFrame) {
    Open(Movie());
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 32);
    EXPECT_EQ(client.bottom, 24);
    EXPECT_EQ(Send(MCIWNDM_GETLENGTH), 1000);
    EXPECT_EQ(Send(MCIWNDM_SETTIMEFORMATA, LPARAM("frames")), 0);
    EXPECT_EQ(Send(MCIWNDM_GETLENGTH), 10);
    char mode[14] = "";
    EXPECT_EQ(Send(MCIWNDM_GETMODEA, LPARAM(mode), sizeof mode), LRESULT(MCI_MODE_STOP));
    EXPECT_STREQ(mode, "stopped");
    EXPECT_EQ(Middle(), kColours[0]);
}

TEST_F(MovieWindow, PlaysByTheClockToTheEndWithTheReadersFrames) {
    Open(Movie());
    ASSERT_EQ(Send(MCI_PLAY), 0);
    EXPECT_EQ(Mode(), LRESULT(MCI_MODE_PLAY));
    Advance(350);
    EXPECT_EQ(Position(), 350);
    EXPECT_EQ(Middle(), kColours[3]);
    Send(MCIWNDM_SETTIMEFORMATA, LPARAM("frames"));
    EXPECT_EQ(Position(), 3);
    Advance(700);
    EXPECT_EQ(Mode(), LRESULT(MCI_MODE_STOP));
    EXPECT_EQ(Position(), 10);
    EXPECT_EQ(Middle(), kColours[9]);
    // Playing from the end starts again at the beginning.
    ASSERT_EQ(Send(MCI_PLAY), 0);
    Advance(50);
    EXPECT_EQ(Middle(), kColours[0]);
}

TEST_F(MovieWindow, ZoomStretchesThePicture) {
    Open(Movie());
    EXPECT_EQ(Send(MCIWNDM_SETZOOM, 200), 0);
    EXPECT_EQ(Send(MCIWNDM_GETZOOM), 200);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 64);
    EXPECT_EQ(client.bottom, 48);
    headless::DispatchPending();
    headless::Pixels pixels;
    ASSERT_TRUE(headless::ReadPixels(window, pixels));
    EXPECT_EQ(pixels.At(0, 0), kColours[0]);
    EXPECT_EQ(pixels.At(63, 47), kColours[0]);
    EXPECT_EQ(Send(MCIWNDM_SETZOOM, 0), 0);
    EXPECT_EQ(Send(MCIWNDM_GETZOOM), 100);
}

TEST_F(MovieWindow, ReversePausesAndResumesBackwards) {
    // Cinepak's delta frames decoded backwards come out right only through key-frame seeks.
    Open(Movie(MovieCodec::Cinepak));
    ASSERT_EQ(Send(MCIWNDM_PLAYREVERSE), 0);
    Advance(150);
    EXPECT_EQ(Position(), 850);
    auto near = [](uint32_t a, uint32_t b) {
        for (int shift : {0, 8, 16})
            if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 8) return false;
        return true;
    };
    EXPECT_PRED2(near, Middle(), kColours[8]);
    ASSERT_EQ(Send(MCI_PAUSE), 0);
    Advance(200);
    EXPECT_EQ(Mode(), LRESULT(MCI_MODE_PAUSE));
    EXPECT_EQ(Position(), 850);
    ASSERT_EQ(Send(MCI_RESUME), 0);
    Advance(300);
    EXPECT_EQ(Position(), 550);
    EXPECT_PRED2(near, Middle(), kColours[5]);
    Advance(600);
    EXPECT_EQ(Mode(), LRESULT(MCI_MODE_STOP));
    EXPECT_EQ(Position(), 0);
}

TEST_F(MovieWindow, SeeksStopAndRefuseWhatIsOutOfRange) {
    Open(Movie());
    Send(MCI_PLAY);
    Advance(100);
    ASSERT_EQ(Send(MCI_SEEK, 420), 0);
    EXPECT_EQ(Mode(), LRESULT(MCI_MODE_STOP));
    EXPECT_EQ(Middle(), kColours[4]);
    Send(MCIWNDM_SETTIMEFORMATA, LPARAM("frames"));
    ASSERT_EQ(Send(MCI_SEEK, 7), 0);
    EXPECT_EQ(Position(), 7);
    EXPECT_EQ(Middle(), kColours[7]);
    EXPECT_EQ(Send(MCI_SEEK, 11), LRESULT(MCIERR_OUTOFRANGE));
    char error[128] = "";
    EXPECT_EQ(Send(MCIWNDM_GETERRORA, LPARAM(error), sizeof error), LRESULT(MCIERR_OUTOFRANGE));
    EXPECT_STRNE(error, "");
    EXPECT_EQ(Send(MCI_SEEK, MCIWND_END), 0);
    EXPECT_EQ(Position(), 10);
    EXPECT_EQ(Send(MCIWNDM_GETERRORA), 0);
    EXPECT_EQ(Send(MCIWNDM_SETTIMEFORMATA, LPARAM("tmsf")), LRESULT(MCIERR_BAD_TIME_FORMAT));
}

TEST_F(MovieWindow, AFileThatIsNoMovieLeavesAWindowWithItsError) {
    dir.WriteFile("notes.avi", "not a movie at all");
    Open(dir.WinPath() + "\\notes.avi");
    EXPECT_EQ(Send(MCIWNDM_GETERRORA), LRESULT(MCIERR_INVALID_FILE));
    EXPECT_EQ(Send(MCI_PLAY), LRESULT(MCIERR_INVALID_DEVICE_ID));
    EXPECT_EQ(Mode(), LRESULT(MCI_MODE_NOT_READY));
    DestroyWindow(window);
    Open(dir.WinPath() + "\\missing.avi");
    EXPECT_NE(Send(MCIWNDM_GETERRORA), 0);
}

TEST_F(MovieWindow, TheSoundTrackPlaysAndLeadsThePosition) {
    platform::test::RecordSoundOutput(true);
    Open(Movie(MovieCodec::Raw24, 440));
    ASSERT_EQ(Send(MCI_PLAY), 0);
    Advance(400);
    // The output has played what the clock let through; the picture follows its frames.
    std::vector<float> played = platform::test::TakeSoundOutput();
    double energy = 0;
    for (float sample : played)
        energy += double(sample) * sample;
    EXPECT_GT(energy, 1.0);
    size_t playedMs = played.size() / 2 * 1000 / 44100;
    EXPECT_NEAR(double(Position()), double(playedMs), 20.0);
    // Paused, the voice holds still, and so does the picture.
    Send(MCI_PAUSE);
    LRESULT paused = Position();
    Advance(200);
    EXPECT_EQ(Position(), paused);
    Send(MCI_RESUME);
    Advance(1000);
    EXPECT_EQ(Mode(), LRESULT(MCI_MODE_STOP));
    EXPECT_EQ(Position(), 1000);
}

class PlayBar : public MovieWindow {
protected:
    void SetUp() override {
        MovieWindow::SetUp();
        fonts.WriteFile("fonts/.keep", "");
        for (const char* name : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"})
            std::filesystem::create_symlink(std::string(font_test::LIBERATION_FOLDER) + "/" + name,
                                            fonts.Linux(std::string("fonts/") + name));
        font_test::PinFolders(fonts, font_test::Dir(fonts.Linux("fonts")));
    }
    void TearDown() override {
        MovieWindow::TearDown();
        platform::test::UseFontConfigFile("");
    }
    test_support::TempDir fonts;
};

TEST_F(PlayBar, LooksLikeItsGoldenAndItsButtonPlaysAndPauses) {
    Open(Movie(), WS_OVERLAPPEDWINDOW | WS_VISIBLE | MCIWNDF_NOMENU | MCIWNDF_NOERRORDLG);
    Send(MCIWNDM_SETZOOM, 400);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 128);
    EXPECT_EQ(client.bottom, 96 + MCIWND_PLAYBAR_HEIGHT);
    Send(MCI_SEEK, 500);
    // The caption is the file's name, which lies in a different folder each run.
    SetWindowTextA(window, "movie.avi");
    headless::DispatchPending();
    headless::Pixels drawn;
    ASSERT_TRUE(headless::ReadWholePixels(window, drawn));
    test_support::ExpectLikeGolden(
        std::filesystem::path(__FILE__).parent_path() / "golden" / "play_bar.png", drawn);

    HWND button = GetDlgItem(window, MCIWND_PLAYBAR_BUTTON);
    HWND trackbar = GetDlgItem(window, MCIWND_PLAYBAR_TRACKBAR);
    ASSERT_NE(button, 0u);
    ASSERT_NE(trackbar, 0u);
    ASSERT_TRUE(headless::Click(button, headless::Button::Left, 10, 10));
    headless::DispatchPending();
    EXPECT_EQ(Mode(), LRESULT(MCI_MODE_PLAY));
    Advance(200);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETPOS, 0, 0), 7);
    ASSERT_TRUE(headless::Click(button, headless::Button::Left, 10, 10));
    headless::DispatchPending();
    EXPECT_EQ(Mode(), LRESULT(MCI_MODE_PAUSE));
    // Home on the trackbar seeks to the start.
    SetFocus(trackbar);
    headless::PressKey(VK_HOME);
    headless::DispatchPending();
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(Mode(), LRESULT(MCI_MODE_STOP));
}

} // namespace
