#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/shell/tray.h"
#include "platform/user/input/input.h"
#include "script/script_runner.h"

namespace {

// Plays the user: every new entry whose tip is "click me" gets, once, a press and release
// of each button, a double click of each and a move; the script dispatches them.
class TrayUser {
public:
    TrayUser() {
        platform::SetTrayListener([this] {
            for (const platform::TrayEntry& entry : platform::TrayEntries()) {
                if (entry.tip != "click me" || !clicked_.insert(entry.id).second) continue;
                for (UINT message :
                     {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN,
                      WM_MBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK,
                      WM_MOUSEMOVE, WM_MOUSEWHEEL})
                    platform::PostTrayMouseMessage(entry.window, entry.id, message);
            }
        });
    }
    ~TrayUser() { platform::SetTrayListener(nullptr); }
    TrayUser(const TrayUser&) = delete;
    TrayUser& operator=(const TrayUser&) = delete;

private:
    std::set<UINT> clicked_;
};

const char* const kButtonNames = "Function Name(b) {\n"
                                 "  If (b == TrayIcon.LEFTBUTTON) Return \"left\";\n"
                                 "  If (b == TrayIcon.RIGHTBUTTON) Return \"right\";\n"
                                 "  If (b == TrayIcon.MIDDLEBUTTON) Return \"middle\";\n"
                                 "  Return b;\n"
                                 "}\n";

TEST(TrayIconClass, EachIconGetsOnlyItsOwnClicksWithEachButton) {
    TrayUser user;
    script_test::ScriptRunner runner;
    script_test::ScriptResult result =
        runner.Run(std::string(kButtonNames) +
                   "Function Who(t) { If (t == quiet) Return \"quiet\"; Return \"loud\"; }\n"
                   "Function Down(t, x, y, b) { Print(Who(t), \"down\", Name(b)); }\n"
                   "Function Up(t, x, y, b) { Print(Who(t), \"up\", Name(b)); }\n"
                   "Function Double(t, x, y, b) { Print(Who(t), \"double\", Name(b)); }\n"
                   "Function Move(t, x, y) { Print(Who(t), \"move\"); }\n"
                   "Function Watch(t) { t.OnMouseDown = Down; t.OnMouseUp = Up;\n"
                   "  t.OnMouseDblClick = Double; t.OnMouseMove = Move; }\n"
                   "w = New Window();\n"
                   "quiet = New TrayIcon(w, \"quiet\");\n"
                   "Watch(quiet);\n"
                   "loud = New TrayIcon(\"click me\");\n"
                   "Watch(loud);\n"
                   "UiDispatch();\nRunPending();\n");
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "loud down left\nloud up left\nloud down right\nloud up right\n"
                             "loud down middle\nloud up middle\nloud double left\n"
                             "loud double right\nloud double middle\nloud move\n");
    // The run's end took the entries away.
    EXPECT_TRUE(platform::TrayEntries().empty());
}

TEST(TrayIconClass, TipsAndIconsReachTheTrayAndGoWithTheOwner) {
    std::vector<std::vector<platform::TrayEntry>> states;
    platform::SetTrayListener([&] { states.push_back(platform::TrayEntries()); });
    script_test::ScriptRunner runner;
    script_test::ScriptResult result = runner.Run(
        "w = New Window();\n"
        "s = New Surface(16, 16, 32);\n"
        "s.Clear(Surface.RED);\n"
        "a = New TrayIcon(\"Ready\");\n"
        "b = New TrayIcon(s, w, \"0123456789012345678901234567890123456789012345678901234567890"
        "123456789\");\n"
        "a.SetTip();\n"
        "a.SetIcon(s);\n"
        "v = New Window();\n"
        "c = New TrayIcon(v, \"other window\");\n"
        "Delete w;\n"
        "Print(a, b, c == 0);\n");
    platform::SetTrayListener(nullptr);
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "0 0 0\n");
    ASSERT_GE(states.size(), 6u);
    ASSERT_EQ(states[0].size(), 1u);
    EXPECT_EQ(states[0][0].tip, "Ready");
    EXPECT_TRUE(states[0][0].pixels.empty());
    ASSERT_EQ(states[1].size(), 2u);
    EXPECT_EQ(states[1][1].tip, std::string("0123456789012345678901234567890123456789012345678901"
                                            "23456789012"));
    ASSERT_EQ(states[1][1].pixels.size(), 256u);
    EXPECT_EQ(states[1][1].pixels[17], 0xFFFF0000u);
    EXPECT_NE(states[0][0].id, states[1][1].id);
    EXPECT_EQ(states[2][0].tip, "");
    EXPECT_EQ(states[3][0].pixels.size(), 256u);
    // Deleting the first Window took both of its icons.
    ASSERT_EQ(states[5].size(), 2u);
    ASSERT_EQ(states[6].size(), 1u);
    EXPECT_EQ(states[6][0].tip, "other window");
}

TEST(TrayIconClass, WrongArgumentsAreRefused) {
    const char* const cases[] = {
        "w = New Window(); t = New TrayIcon(w, w);",
        "t = New TrayIcon(\"no window\");",
        "w = New Window(); s = New Surface(4, 4); t = New TrayIcon(w, s, s);",
        "w = New Window(); t = New TrayIcon(w); t.SetTip(3);",
        "w = New Window(); s = New Surface(4, 4); t = New TrayIcon(s, w, 2);",
    };
    for (const char* source : cases) {
        script_test::ScriptRunner runner;
        script_test::ScriptResult result = runner.Run(source);
        EXPECT_EQ(result.code, 14) << source;
        EXPECT_TRUE(platform::TrayEntries().empty()) << source;
    }
}

} // namespace
