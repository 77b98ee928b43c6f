// The sequencer device under the test clock on the null output: plays, pauses, seeks,
// notifies its window and never hands out an id twice.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "platform/kernel/test_hooks.h"
#include "platform/media/mci/mci.h"
#include "platform/media/midi/midi_bytes.h"
#include "platform/media/midi/midi_synth.h"
#include "platform/sound/sound_test_hooks.h"
#include "platform/user/messages.h"
#include "platform/user/window_class.h"
#include "platform/user/windows.h"
#include "support/recorded_sound.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::pair<WPARAM, LPARAM>> notified;

LRESULT Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MM_MCINOTIFY) {
        notified.emplace_back(wParam, lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class Sequencer : public ::testing::Test {
protected:
    test_support::RecordedSound recording_;
    void SetUp() override {
        if (platform::media::SoundFontPath().empty()) GTEST_SKIP() << "no General MIDI sound font";
        static bool registered = false;
        if (!registered) {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = &Record;
            windowClass.lpszClassName = "SequencerTestNotify";
            registered = RegisterClassA(&windowClass) != 0;
        }
        window_ = CreateWindowExA(0, "SequencerTestNotify", "", 0, 0, 0, 10, 10, 0, 0, 0, nullptr);
        notified.clear();
        path_ = dir_.WinPath() + "\\tune.mid";
        std::vector<uint8_t> tune = test_midi::Tune();
        FILE* file = std::fopen((dir_.LinuxPath() + "/tune.mid").c_str(), "wb");
        std::fwrite(tune.data(), 1, tune.size(), file);
        std::fclose(file);
    }
    void TearDown() override {
        if (window_ != 0) DestroyWindow(window_);
    }

    MCIDEVICEID Open(MCIERROR expected = 0) {
        MCI_OPEN_PARMSA open{0, 0, "sequencer", path_.c_str(), nullptr};
        EXPECT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT,
                                  reinterpret_cast<DWORD_PTR>(&open)),
                  expected);
        return open.wDeviceID;
    }
    MCIERROR Play(MCIDEVICEID id, DWORD flags = MCI_NOTIFY, DWORD from = 0) {
        MCI_PLAY_PARMS play{window_, from, 0};
        return mciSendCommandA(id, MCI_PLAY, flags, reinterpret_cast<DWORD_PTR>(&play));
    }
    DWORD Status(MCIDEVICEID id, DWORD item) {
        MCI_STATUS_PARMS status{0, 0, item, 0};
        EXPECT_EQ(
            mciSendCommandA(id, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)),
            0u);
        return static_cast<DWORD>(status.dwReturn);
    }
    // Moves the clock on by `ms` in steps of 10 ms, handling the posted messages.
    void Advance(DWORD ms) {
        for (DWORD at = 0; at < ms; at += 10) {
            platform::test::AdvanceClock(10);
            MSG msg;
            while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }
    }

    test_support::TempDir dir_;
    std::string path_;
    HWND window_ = 0;
};

TEST_F(Sequencer, PlaysToTheEndAndNotifiesItsWindow) {
    MCIDEVICEID id = Open();
    ASSERT_NE(id, 0u);
    ASSERT_EQ(Play(id), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_PLAY);
    Advance(300);
    DWORD position = Status(id, MCI_STATUS_POSITION);
    EXPECT_GT(position, 200u);
    EXPECT_LE(position, 300u);
    Advance(600);
    ASSERT_EQ(notified.size(), 1u);
    EXPECT_EQ(notified[0].first, MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(notified[0].second, static_cast<LPARAM>(id));
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_STOP);
    float peak = 0;
    for (float sample : platform::test::TakeSoundOutput())
        peak = std::max(peak, std::fabs(sample));
    EXPECT_GT(peak, 0.01f);
    EXPECT_EQ(mciSendCommandA(id, MCI_CLOSE, 0, 0), 0u);
    EXPECT_EQ(mciSendCommandA(id, MCI_CLOSE, 0, 0), MCIERR_INVALID_DEVICE_ID);
}

TEST_F(Sequencer, PauseAndStopAbortAndASecondPlaySupersedes) {
    MCIDEVICEID id = Open();
    ASSERT_EQ(Play(id), 0u);
    Advance(100);
    ASSERT_EQ(mciSendCommandA(id, MCI_PAUSE, 0, 0), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_PAUSE);
    DWORD paused = Status(id, MCI_STATUS_POSITION);
    Advance(1000);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), paused);
    ASSERT_EQ(Play(id), 0u);
    ASSERT_EQ(Play(id, MCI_NOTIFY | MCI_FROM, 0), 0u);
    Advance(100);
    ASSERT_EQ(mciSendCommandA(id, MCI_STOP, 0, 0), 0u);
    Advance(20);
    ASSERT_EQ(notified.size(), 3u);
    EXPECT_EQ(notified[0].first, MCI_NOTIFY_ABORTED);
    EXPECT_EQ(notified[1].first, MCI_NOTIFY_SUPERSEDED);
    EXPECT_EQ(notified[2].first, MCI_NOTIFY_ABORTED);
    EXPECT_EQ(mciSendCommandA(id, MCI_CLOSE, 0, 0), 0u);
}

TEST_F(Sequencer, IdsAreNeverReusedAndBadOpensFail) {
    MCIDEVICEID first = Open();
    EXPECT_EQ(mciSendCommandA(first, MCI_CLOSE, 0, 0), 0u);
    MCIDEVICEID second = Open();
    EXPECT_GT(second, first);
    EXPECT_EQ(mciSendCommandA(second, MCI_CLOSE, 0, 0), 0u);
    path_ = dir_.WinPath() + "\\missing.mid";
    Open(MCIERR_FILE_NOT_FOUND);
    MCI_OPEN_PARMSA odd{0, 0, "waveaudio", nullptr, nullptr};
    EXPECT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE, reinterpret_cast<DWORD_PTR>(&odd)),
              MCIERR_INVALID_DEVICE_NAME);
    setenv("ZORV_SOUNDFONT", (dir_.LinuxPath() + "/none.sf2").c_str(), 1);
    path_ = dir_.WinPath() + "\\tune.mid";
    Open(MCIERR_DEVICE_NOT_INSTALLED);
    unsetenv("ZORV_SOUNDFONT");
    char text[16];
    EXPECT_TRUE(mciGetErrorStringA(MCIERR_DEVICE_NOT_INSTALLED, text, sizeof text));
    EXPECT_EQ(std::string(text).size(), 15u);
    EXPECT_FALSE(mciGetErrorStringA(12345, text, sizeof text));
}

} // namespace
