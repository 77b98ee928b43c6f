// CDAudio over a fake drive (three tracks, the last a data track; a tray; a position that
// follows the test clock), with no disc, with no drive at all, and on a real drive when the
// machine has one with an audio disc.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"
#include "platform/media/cdaudio/cd_drive.h"
#include "platform/media/mci/mci.h"
#include "script/script_runner.h"

namespace {

using platform::media::CdAudio;
using platform::media::CdDrive;
using platform::media::CdPosition;
using platform::media::CdState;
using platform::media::CdTrack;

constexpr uint32_t kMinute = 60 * 75;

struct Disc {
    bool inserted = true;
    bool trayOpen = false;
    bool playing = false;
    uint32_t from = 0;
    uint32_t to = 0;
    DWORD since = 0;
    uint32_t stoppedAt = 150;
};

class FakeDrive : public CdDrive {
public:
    explicit FakeDrive(std::shared_ptr<Disc> disc) : disc_(std::move(disc)) {}
    CdState State() override {
        if (disc_->trayOpen) return CdState::TrayOpen;
        return disc_->inserted ? CdState::Ready : CdState::NoDisc;
    }
    bool ReadToc(std::vector<CdTrack>& tracks, uint32_t* leadOut) override {
        if (State() != CdState::Ready) return false;
        tracks = {{150, false}, {150 + kMinute, false}, {150 + 2 * kMinute, true}};
        *leadOut = 150 + 3 * kMinute;
        return true;
    }
    bool Play(uint32_t from, uint32_t to) override {
        disc_->playing = true;
        disc_->from = from;
        disc_->to = to;
        disc_->since = timeGetTime();
        return true;
    }
    // The drive reports a paused play as stopped, as many do.
    bool Pause() override { return Stop(); }
    bool Resume() override { return false; }
    bool Stop() override {
        disc_->stoppedAt = Frame();
        disc_->playing = false;
        return true;
    }
    bool Eject() override {
        Stop();
        disc_->trayOpen = true;
        return true;
    }
    bool CloseTray() override {
        disc_->trayOpen = false;
        return true;
    }
    bool Position(CdPosition* position) override {
        uint32_t frame = Frame();
        if (disc_->playing && frame >= disc_->to) {
            disc_->playing = false;
            disc_->stoppedAt = disc_->to;
        }
        position->audio = disc_->playing ? CdAudio::Playing : CdAudio::Idle;
        position->frame = frame;
        position->track = frame >= 150 + 2 * kMinute ? 3 : frame >= 150 + kMinute ? 2 : 1;
        return true;
    }

private:
    uint32_t Frame() const {
        if (!disc_->playing) return disc_->stoppedAt;
        uint32_t frame = disc_->from + (timeGetTime() - disc_->since) * 75 / 1000;
        return frame < disc_->to ? frame : disc_->to;
    }
    std::shared_ptr<Disc> disc_;
};

class CDAudioClass : public ::testing::Test {
protected:
    void SetUp() override {
        platform::test::FreezeClock(5000);
        platform::test::SetCdDriveMaker([this] { return std::make_unique<FakeDrive>(disc_); });
    }
    void TearDown() override {
        platform::test::SetCdDriveMaker(nullptr);
        platform::test::UnfreezeClock();
    }
    std::string Run(const std::string& source) {
        script_test::ScriptResult result = runner.Run(source);
        EXPECT_EQ(result.code, 0) << "line " << result.line + 1;
        return result.output;
    }
    std::shared_ptr<Disc> disc_ = std::make_shared<Disc>();
    script_test::ScriptRunner runner;
};

TEST_F(CDAudioClass, TracksPlayPauseAndMoveAsTheDriveGoes) {
    EXPECT_EQ(
        Run("c = New CDAudio();\nPrint(c.GetCurrentTrack());\n"
            "Print(c.GetNumberOfTracks(), c.GetTrackLength(2), c.GetCDLength(), "
            "c.IsAudioTrack(1), c.IsAudioTrack(3), c.IsDiscPresent(), c.GetTrackLength());\n"
            "c.PlayTrack(2);\nProgram.Wait(1000);\n"
            "Print(c.GetCurrentTrack(), c.GetPositionInTrack(), c.GetCDPosition(), "
            "c.GetStatus() == CDAudio.STATUS_PLAYING);\n"
            // The drive says stopped; the object knows it paused.
            "c.Pause();\nProgram.Wait(500);\n"
            "Print(c.GetStatus() == CDAudio.STATUS_PAUSED, c.GetPositionInTrack());\n"
            "c.Resume();\nProgram.Wait(400);\nPrint(c.GetPositionInTrack(), c.GetStatus());\n"
            "c.Stop();\nPrint(c.GetStatus() == CDAudio.STATUS_STOPPED);\n"
            "c.PlayTrack(1);\nc.PreviousTrack();\nPrint(c.GetCurrentTrack(), "
            "c.GetPositionInTrack());\n"
            "c.NextTrack();\nPrint(c.GetCurrentTrack(), c.GetPositionInTrack());\n"
            "c.PlayTrackFromTime(62000);\nPrint(c.GetCurrentTrack(), c.GetCDPosition());\n"),
        "0\n3 60000 180000 1 0 1 0\n2 1000 63000 1\n1 1000\n1400 526\n1\n1 0\n2 0\n2 62000\n");
}

TEST_F(CDAudioClass, ErrorsKeepTheLastCodeAndItsText) {
    EXPECT_EQ(Run("c = New CDAudio();\nc.PlayTrack(4);\nPrint(c.GetLastErrorCode());\n"
                  "Print(c.GetErrorString(0) == \"\", c.GetErrorString(1) != \"\");\n"
                  "c.PlayTrack(1);\nPrint(c.GetLastErrorCode());\n"
                  // The door: open means no disc to read until it closes.
                  "c.OpenDoor();\nPrint(c.GetStatus() == CDAudio.STATUS_OPENED, c.IsDiscPresent(), "
                  "c.GetNumberOfTracks(), c.GetLastErrorCode());\n"
                  "c.CloseDoor();\nPrint(c.IsDiscPresent(), c.GetNumberOfTracks());\n"),
              "282\n1 1\n0\n1 0 0 276\n1 3\n");
    disc_->inserted = false;
    EXPECT_EQ(Run("c = New CDAudio();\nPrint(c.IsDiscPresent(), c.GetStatus() == "
                  "CDAudio.STATUS_NOT_READY, c.GetCDLength(), c.GetLastErrorCode());\n"),
              "0 1 0 276\n");
}

TEST_F(CDAudioClass, WithoutADriveEveryMethodAnswersZeroAnd306) {
    platform::test::SetCdDriveMaker(nullptr);
    setenv("ZORV_CDROM", "/nonexistent/cdrom", 1);
    EXPECT_EQ(Run("c = New CDAudio();\nPrint(c.GetNumberOfTracks(), c.GetTrackLength(1), "
                  "c.GetCDLength(), c.GetStatus(), c.IsDiscPresent(), c.IsAudioTrack(1));\n"
                  "c.PlayTrack(1);\nc.OpenDoor();\nPrint(c.GetLastErrorCode(), "
                  "c.GetErrorString(1) != \"\");\n"),
              "0 0 0 0 0 0\n306 1\n");
    unsetenv("ZORV_CDROM");
}

TEST(CDAudioDrive, ARealDrivePlaysItsFirstTrack) {
    std::unique_ptr<CdDrive> drive = platform::media::OpenCdDrive();
    std::vector<CdTrack> tracks;
    uint32_t leadOut = 0;
    if (drive == nullptr || drive->State() != CdState::Ready || !drive->ReadToc(tracks, &leadOut) ||
        tracks.empty() || tracks[0].data)
        GTEST_SKIP() << "skipped: no drive with an audio disc";
    ASSERT_TRUE(drive->Play(tracks[0].start, leadOut));
    CdPosition before;
    ASSERT_TRUE(drive->Position(&before));
    Sleep(1000);
    CdPosition after;
    ASSERT_TRUE(drive->Position(&after));
    drive->Stop();
    EXPECT_GT(after.frame, before.frame);
}

} // namespace
