// The settings text: what each kind of line makes, and that a written text reads back to
// the same configuration, however long its lines and whatever its player numbers.
#include <gtest/gtest.h>

#include <string>

#include "input/control_names.h"
#include "input/game_input_manager.h"
#include "support/temp_dir.h"

namespace {

int Load(GameInputManager& manager, const std::string& text) {
    return manager.LoadSettingsMemory(text.data(), text.size());
}

// Text with every kind of line: unknown control names, conditions, spoken phrases, a
// Speech section and preferences naming Speech.
const char kRich[] = "Two players\r\n"
                     "\tPreferredDevices = Speech;Mouse;Joystick\r\n"
                     "\tPlayer 2\r\n"
                     "\t\tFire\r\n"
                     "\t\t\tJoystick\r\n"
                     "\t\t\t\tJOY_BUTTON1 + KEY_VK_SHIFT\r\n"
                     "\t\t\t\tJOY_WHATEVER+KEY_VK_A\r\n"
                     "\t\t\tKeyboard\r\n"
                     "\t\t\t\tkey_vk_space+SPEECH_BEGIN[fire now]SPEECH_END\r\n"
                     "\t\t\tSpeech\r\n"
                     "\t\t\t\tSPEECH_BEGIN[fire]SPEECH_END\r\n"
                     "\tplayer 1\r\n"
                     "\t\tLeft\r\n"
                     "\t\t\tMouse\r\n"
                     "\t\t\t\tMOUSE_LEFT\r\n"
                     "Solo\r\n"
                     "\tPlayer 1\r\n"
                     "\t\tJump\r\n";

TEST(SettingsText, ControlNamesAreFoundWithoutRegardToCase) {
    int32_t type = 0;
    int32_t row = 0;
    EXPECT_EQ(LookupControlName("KEY_VK_a", type, row), 47u);
    int32_t sameRow = 0;
    LookupControlName("key_vk_A", type, sameRow);
    EXPECT_EQ(row, sameRow);
    EXPECT_EQ(type, kInputKeyboard);
    EXPECT_EQ(LookupControlName("KEY_VK_A1", type, row), 0u);
    EXPECT_EQ(row, -1);
    // The Windows keys' ids sit between Z and the Applications key.
    EXPECT_EQ(LookupControlName("KEY_VK_LWIN", type, row), 73u);
    EXPECT_EQ(LookupControlName("KEY_VK_RSHIFT", type, row), 11u);
    EXPECT_EQ(LookupControlName("KEY_VK_PAUSE", type, row), 14u);
    EXPECT_EQ(LookupControlName("KEY_VK_APPS", type, row), 75u);
    EXPECT_EQ(LookupControlName("KEY_VK_SCROLL", type, row), 117u);
    EXPECT_EQ(row, ControlNameTable::kRowCount - 1);
    EXPECT_EQ(LookupControlName("JOY_BUTTON128", type, row), 150u);
    EXPECT_EQ(row, 149);
    EXPECT_EQ(LookupControlName("MOUSE_BUTTON4", type, row), 10u);
    EXPECT_EQ(row, 159);
}

TEST(SettingsText, LinesMakeSettingsPlayersActionsAndBindings) {
    GameInputManager manager;
    ASSERT_EQ(Load(manager, kRich), 1);
    ASSERT_EQ(manager.GetSettingCount(), 2);
    InputSetting* setting = manager.GetSettingAt(0);
    EXPECT_EQ(setting->name, "Two players");
    // Speech is passed over; the third preference stays.
    EXPECT_EQ(setting->preferred[0], kInputMouse);
    EXPECT_EQ(setting->preferred[1], kInputJoystick);
    EXPECT_EQ(setting->preferred[2], kInputMouse);
    // Place 2 was filled first, then place 1.
    ASSERT_EQ(setting->GetPlayerCount(), 2);
    InputPlayer* second = setting->GetPlayer(1);
    ASSERT_NE(second, nullptr);
    ASSERT_EQ(second->actions.size(), 1u);
    const InputAction& fire = *second->actions[0];
    ASSERT_EQ(fire.bindings[1].size(), 2u);
    const InputBinding& joined = *fire.bindings[1][0];
    EXPECT_EQ(joined.controlId, 23u);
    ASSERT_EQ(joined.conditions.size(), 1u);
    EXPECT_EQ(joined.conditions[0].name, "KEY_VK_SHIFT");
    EXPECT_EQ(joined.conditions[0].deviceType, kInputKeyboard);
    EXPECT_EQ(fire.bindings[1][1]->row, -1);
    ASSERT_EQ(fire.bindings[2].size(), 1u);
    EXPECT_EQ(fire.bindings[2][0]->conditions[0].name, "SPEECH_BEGIN[fire now]SPEECH_END");
    EXPECT_EQ(fire.bindings[2][0]->conditions[0].row, -1);
    EXPECT_EQ(setting->GetPlayer(0)->actions[0]->name, "Left");
    EXPECT_TRUE(manager.GetSettingAt(1)->GetPlayer(0)->actions[0]->bindings[0].empty());
}

TEST(SettingsText, DepthOneLinesOtherThanTheKeywordsEndTheReading) {
    GameInputManager manager;
    EXPECT_EQ(Load(manager, "A\n\tPlayers\n\t\tRun\nB\n\tOptions\nC\n"), 0);
    // Players reads as a player line (number 0: not kept); what came before Options stays.
    ASSERT_EQ(manager.GetSettingCount(), 2);
    EXPECT_EQ(manager.GetSettingAt(0)->GetPlayerCount(), 0);
    // Line endings LF CR and a setting without lines read.
    EXPECT_EQ(Load(manager, "A\n\r\tPlayer 1\n\r"), 1);
    EXPECT_EQ(manager.GetSettingAt(0)->GetPlayerCount(), 1);
}

TEST(SettingsText, ASmallSettingIsWrittenWithAllThreeSections) {
    GameInputManager manager;
    ASSERT_EQ(Load(manager, "Game\n\tPlayer 1\n\t\tFire\n"), 1);
    EXPECT_EQ(manager.WriteSettings(), "Game\r\n"
                                       "\tPreferredDevices=Joystick;Keyboard;Mouse\r\n"
                                       "\tPlayer 1\r\n"
                                       "\t\tFire\r\n"
                                       "\t\t\tMouse\r\n"
                                       "\t\t\tJoystick\r\n"
                                       "\t\t\tKeyboard\r\n");
}

TEST(SettingsText, WrittenTextReadsBackTheSame) {
    GameInputManager manager;
    ASSERT_EQ(Load(manager, kRich), 1);
    std::string written = manager.WriteSettings();
    // Unknown names and spoken phrases are kept; the Speech section is not.
    EXPECT_NE(written.find("\t\t\t\tJOY_WHATEVER+KEY_VK_A\r\n"), std::string::npos);
    EXPECT_NE(written.find("KEY_VK_SPACE+SPEECH_BEGIN[fire now]SPEECH_END"), std::string::npos);
    EXPECT_EQ(written.find("\t\t\tSpeech"), std::string::npos);
    GameInputManager again;
    ASSERT_EQ(Load(again, written), 1);
    EXPECT_EQ(again.WriteSettings(), written);
}

TEST(SettingsText, PlayerNumbersOutsideThePlacesAreNotKept) {
    GameInputManager manager;
    ASSERT_EQ(Load(manager, "G\n\tPlayer 2000000000\n\t\tFire\n\t\t\tKeyboard\n\t\t\t\tKEY_VK_A\n"
                            "\tPlayer -3\n\tPlayer 99999999999999999999\n\tPlayer 3\n"
                            "\tPlayer 3\n\t\tJump\n"),
              1);
    InputSetting* setting = manager.GetSettingAt(0);
    ASSERT_EQ(setting->GetPlayerCount(), 3);
    EXPECT_EQ(setting->GetPlayer(0), nullptr);
    // The second Player 3 replaced the first.
    ASSERT_NE(setting->GetPlayer(2), nullptr);
    EXPECT_EQ(setting->GetPlayer(2)->actions[0]->name, "Jump");
    std::string written = manager.WriteSettings();
    EXPECT_EQ(written.find("Player 1"), std::string::npos);
    EXPECT_NE(written.find("\tPlayer 3\r\n"), std::string::npos);
    ASSERT_EQ(Load(manager, "G\n\tPlayer 256\n\tPlayer 257\n"), 1);
    EXPECT_EQ(manager.GetSettingAt(0)->GetPlayerCount(), 256);
}

TEST(SettingsText, LongLinesAndBinaryBytesSurviveARoundTrip) {
    std::string longCondition(10000, 'x');
    std::string text = "G\n\tPlayer 1\n\t\t" + std::string(10240, 'a') +
                       "\n\t\t\tKeyboard\n\t\t\t\tKEY_VK_A+" + longCondition + "\n";
    text += std::string("B\0in\x01\xFF", 7) + "\n";
    GameInputManager manager;
    ASSERT_EQ(Load(manager, text), 1);
    // A long line is one line: no tail read as a setting of its own.
    ASSERT_EQ(manager.GetSettingCount(), 2);
    const InputAction& action = *manager.GetSettingAt(0)->GetPlayer(0)->actions[0];
    EXPECT_EQ(action.name.size(), 10240u);
    EXPECT_EQ(action.bindings[2][0]->conditions[0].name, longCondition);
    std::string written = manager.WriteSettings();
    GameInputManager again;
    ASSERT_EQ(Load(again, written), 1);
    EXPECT_EQ(again.WriteSettings(), written);
}

TEST(SettingsText, FilesAreWrittenAndReadBack) {
    test_support::TempDir dir;
    std::string path = dir.Win("settings.txt");
    GameInputManager manager;
    ASSERT_EQ(Load(manager, kRich), 1);
    ASSERT_EQ(manager.SaveSettingsFile(path.c_str()), 1);
    GameInputManager again;
    ASSERT_EQ(again.LoadSettingsFile(path.c_str()), 1);
    EXPECT_EQ(again.WriteSettings(), manager.WriteSettings());
    EXPECT_EQ(again.LoadSettingsFile(dir.Win("missing.txt").c_str()), 0);
}

} // namespace
