// QTime over movie files the tests write: a QuickTime file with a tone and an AVI without,
// opened at creation and into a Surface; the start of the movies failing; the temporary file
// of CreateEmptyMovie gone with Close; the controller's bar against its reference picture; the
// effect dialog driven as a user drives it; the program coming back to the front.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "classes/media/qtime_class.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/dialogs/drawn_dialog.h"
#include "platform/controls/list_box.h"
#include "platform/display/headless_display.h"
#include "platform/media/video/movie_writer.h"
#include "platform/user/dialogs/common_dialogs.h"
#include "platform/user/dialogs/dialog_box.h"
#include "platform/user/dialogs/message_box.h"
#include "platform/user/windows.h"
#include "script/script_runner.h"
#include "support/golden_picture.h"
#include "support/temp_dir.h"

namespace {

using platform::video::MovieCodec;
using platform::video::MoviePlan;

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

class QTimeClassTest : public testing::Test {
protected:
    // Ten frames at 15 a second; frame i's red is 20 * i + 10.
    std::string Movie(const std::string& name, MovieCodec codec, int32_t toneHz) {
        MoviePlan plan;
        plan.codec = codec;
        plan.toneHz = toneHz;
        for (int i = 0; i < 10; ++i)
            plan.colours.push_back(uint32_t(20 * i + 10) << 16 | 0x4080);
        EXPECT_EQ(platform::video::WriteMovie(dir_.Linux(name), plan), "");
        return Quoted(dir_.Win(name));
    }

    test_support::TempDir dir_;
    script_test::ScriptRunner runner_;
};

TEST_F(QTimeClassTest, FilesOpenIntoSurfacesWithTheirTracks) {
    std::string mov = Movie("tone.mov", MovieCodec::QuickTimeRle, 440);
    std::string avi = Movie("quiet.avi", MovieCodec::Raw24, 0);
    script_test::ScriptResult result = runner_.Run(
        "UiAdvance(0);\n"
        "s = New Surface(64, 48, 16);\n"
        "q = New QTime(s, " +
        mov +
        ");\n"
        "Print(q.GetDuration(), q.GetMovieNativeWidth(), q.GetMovieNativeHeight(),"
        " q.HasSoundTrack(), q.HasVideoTrack(), q.GetMoviesError());\n"
        "q.GotoTime(340);\n"
        "UiRefreshNow();\n"
        // 5-6-5 keeps red to 5 bits: frame 5's red of 110 reads back as 104, frame 3's 70 as 64.
        "Print(s.GetPixel(40, 30) >> 16);\n"
        "q.ImportMovie(" +
        avi +
        ");\n"
        "Print(q.GetDuration(), q.HasSoundTrack(), q.IsControllerAttached());\n"
        "q.Play(); UiAdvance(200); Program.Wait(0); UiRefreshNow();\n"
        "Print(q.GetTime(), s.GetPixel(0, 0) >> 16);\n");
    ASSERT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "666 32 24 1 1 0\n104\n666 0 1\n200 64\n");
}

TEST_F(QTimeClassTest, AFailedStartRaises107) {
    SetQuickTimeStartFails(true);
    script_test::ScriptResult result =
        runner_.Run("s = New Surface(8, 8, 32);\nq = New QTime(s);\n");
    SetQuickTimeStartFails(false);
    EXPECT_EQ(result.code, 107);
    result = runner_.Run("s = New Surface(8, 8, 32);\nq = New QTime(s);\nPrint(q.GetTime());\n");
    EXPECT_EQ(result.code, 0);
}

TEST_F(QTimeClassTest, TheTemporaryMovieGoesWithClose) {
    // The user's private temporary folder, where the movie is made.
    const char* tmp = std::getenv("TMPDIR");
    std::filesystem::path folder = std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") +
                                   "/zorv-" + std::to_string(geteuid());
    auto count = [&] {
        size_t n = 0;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error))
            if (entry.path().filename().string().rfind("qtm", 0) == 0) ++n;
        return n;
    };
    size_t before = count();
    script_test::ScriptResult result =
        runner_.Run("s = New Surface(8, 8, 32);\nq = New QTime(s);\nq.CreateEmptyMovie();\n"
                    "Print(q.IsControllerAttached(), q.GetDuration());\n"
                    "q.CreateEmptyMovie();\nq.Close();\n");
    ASSERT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "1 0\n");
    EXPECT_EQ(count(), before);
}

TEST_F(QTimeClassTest, TheControllerBarLooksAsItsPicture) {
    std::string drawn = dir_.Linux("bar.png");
    script_test::ScriptResult result = runner_.Run("UiAdvance(0);\n"
                                                   "w = New Window(200, 160, 0, 0);\n"
                                                   "src = New Surface(8, 6, 32);\n"
                                                   "q = New QTime(10, 10, 160, 120);\n"
                                                   "q.CreateEmptyMovie();\n"
                                                   "q.DetachMovieController();\n"
                                                   "For (i = 0; i < 4; i++) { src.Clear(0x203040 + "
                                                   "i * 0x300000); src.SetPixel(i, i, 0xFFFFFF);"
                                                   " q.AppendVideoFrame(src, 250); }\n"
                                                   "q.EndVideoEdit();\n"
                                                   "q.AttachMovieController();\n"
                                                   "q.GotoTime(600);\n"
                                                   "UiRefreshNow(); UiDispatch();\n"
                                                   "UiSavePicture(w, \"" +
                                                   drawn + "\");\n");
    ASSERT_EQ(result.code, 0) << result.output;
    platform::headless::Pixels picture;
    ASSERT_TRUE(test_support::ReadPngPicture(drawn, picture));
    test_support::ExpectLikeGolden(std::filesystem::path(__FILE__).parent_path() / "qtime_bar.png",
                                   picture);
}

std::string ItemText(HWND dialog, int id) {
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

TEST_F(QTimeClassTest, TheEffectDialogChoosesAnEffectAndItsValues) {
    platform::test::DrawDialogsAsWindows(true);
    std::vector<std::string> seen;
    int shown = 0;
    platform::test::SetDialogBoxShownHook([&](HWND dialog) {
        char caption[64] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        seen.push_back(caption);
        if (shown++ == 0) {
            // RGB Balance, its red taken away; the blue typed is no number and stays.
            seen.push_back(ItemText(dialog, 200) + "/" + ItemText(dialog, 300));
            SendDlgItemMessageA(dialog, 100, LB_SETCURSEL, 6, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(100, LBN_SELCHANGE),
                         LPARAM(GetDlgItem(dialog, 100)));
            seen.push_back(ItemText(dialog, 200) + " " + ItemText(dialog, 202) + " " +
                           std::to_string(IsWindowVisible(GetDlgItem(dialog, 203))));
            SetDlgItemTextA(dialog, 300, "0");
            SetDlgItemTextA(dialog, 302, "blue");
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        } else {
            // Offered again as chosen; cancelled.
            seen.push_back(ItemText(dialog, 200) + "=" + ItemText(dialog, 300) + " " +
                           ItemText(dialog, 302));
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    script_test::ScriptResult result =
        runner_.Run("UiAdvance(0);\n"
                    "src = New Surface(8, 6, 32);\n"
                    "s = New Surface(8, 6, 32);\n"
                    "q = New QTime(s);\n"
                    "q.CreateEmptyMovie();\n"
                    "q.DetachMovieController();\n"
                    "src.Clear(0x804020);\n"
                    "q.AppendVideoFrame(src, 100);\n"
                    "q.EndVideoEdit();\n"
                    "Print(q.ChooseEffectDialog(), q.EffectFromDialog());\n"
                    "Program.Wait(0); UiRefreshNow();\n"
                    "Print(AsText(s.GetPixel(3, 2)), q.ChooseEffectDialog());\n");
    platform::test::SetDialogBoxShownHook(nullptr);
    platform::test::DrawDialogsAsWindows(false);
    ASSERT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "1 1\n16416 0\n");
    EXPECT_EQ(seen, (std::vector<std::string>{"Choose Effect", "Size/1", "Red Blue 0",
                                              "Choose Effect", "Red=0 1"}));
}

// The file dialog stands in for the user switching to another program and back: each call
// makes the program inactive, then active again.
class SwitchingDialogs : public platform::CommonDialogProvider {
public:
    bool ChooseFile(const platform::FileDialogRequest&, platform::FileDialogAnswer&) override {
        active = !active;
        platform::headless::SetAppActive(active);
        return false;
    }
    bool ChooseColor(const platform::ColorDialogRequest&, platform::ColorDialogAnswer&) override {
        return false;
    }
    bool ChooseFont(const platform::FontDialogRequest&, platform::FontDialogAnswer&) override {
        return false;
    }
    bool ChoosePrinter(const platform::PrintDialogRequest&, platform::PrintDialogAnswer&) override {
        return false;
    }
    bool active = true;
};

TEST_F(QTimeClassTest, BackInFrontAMovieWithSoundTakesTheSoundDevice) {
    std::string mov = Movie("tone.mov", MovieCodec::QuickTimeRle, 440);
    std::string quiet = Movie("quiet.mov", MovieCodec::QuickTimeRle, 0);
    platform::SetCommonDialogProvider(std::make_shared<SwitchingDialogs>());
    script_test::ScriptResult result = runner_.Run(
        "b = New Binary();\n"
        "b.AllocateData(44 + 16000);\n"
        "b.SetString(0, \"RIFF\"); b.SetLong(4, 36 + 16000); b.SetString(8, \"WAVEfmt \");\n"
        "b.SetLong(16, 16); b.SetWord(20, 1); b.SetWord(22, 1); b.SetLong(24, 8000);\n"
        "b.SetLong(28, 16000); b.SetWord(32, 2); b.SetWord(34, 16); b.SetString(36, \"data\");\n"
        "b.SetLong(40, 16000);\n"
        "b.SaveData(\"one.wav\");\n"
        "UiAdvance(0);\n"
        "w = New Window(400, 300);\n"
        "Function Away() {\n"
        "    snd = New Sound(\"one.wav\");\n"
        "    snd.Play(1);\n"
        "    UiAdvance(100); UiDispatch();\n"
        "    q.GetFileNamePreview();\n"
        "    UiAdvance(100); UiDispatch();\n"
        "    zzAway = snd.IsPlaying();\n"
        "    q.GetFileNamePreview();\n"
        "    UiAdvance(100); UiDispatch();\n"
        "    Print(zzAway, snd.IsPlaying());\n"
        "}\n"
        // Without sound the movie leaves the device alone.
        "q = New QTime(" +
        quiet +
        ");\n"
        "Away();\n"
        "q.OpenFile(" +
        mov +
        ");\n"
        "Away();\n");
    platform::SetCommonDialogProvider(nullptr);
    ASSERT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "1 1\n1 0\n");
}

} // namespace
