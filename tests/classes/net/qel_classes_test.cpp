// The networking classes' methods, table-driven: every method of an object that wraps no
// library object, and QelStats' values on a record whose traffic the test plays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/net/qel_stats_class.h"
#include "classes/net/qel_wrapper.h"
#include "net/qel_api.h"
#include "net/qel_player.h"
#include "net/qel_stats.h"
#include "platform/kernel/test_hooks.h"
#include "script/runtime/neighbour_services.h"
#include "script/script_runner.h"

namespace {

struct MethodCase {
    const char* call;
    // What the call prints; null for a method that answers nothing.
    const char* printed;
};

struct ClassCase {
    const char* className;
    std::vector<MethodCase> methods;
};

// A script-made object of these classes wraps nothing: it answers 0, the empty text or
// nothing, and sends nothing.
const std::vector<ClassCase> kWithoutLibraryObject = {
    {"QelPlayer",
     {{"GetName()", ""},
      {"GetChannelCount()", "0"},
      {"GetChannel(0)", "0"},
      {"GetIP()", ""},
      {"GetPort()", "0"},
      {"GetServerIP()", ""},
      {"SignOn(\"room\")", "0"},
      {"SetName(\"x\")", nullptr},
      {"GetMOTD()", ""},
      {"IsValid()", "0"},
      {"IsConnected()", "0"},
      {"SendText(\"t\", 1)", nullptr},
      {"BlastText(\"t\", 1)", nullptr},
      {"GetId()", "0"},
      {"GetStats()", "0"}}},
    {"QelChannel",
     {{"BlastText(\"t\", 1)", nullptr},
      {"GetUserCount()", "0"},
      {"GetUser(0)", "0"},
      {"IsMaster()", "0"},
      {"GetMaster()", "0"},
      {"SendText(\"t\")", nullptr},
      {"GetPlayer()", "0"},
      {"GetName()", ""},
      {"IsValid()", "0"},
      {"GetId()", "0"}}},
    {"QelUser",
     {{"BlastText(\"t\", 1)", nullptr},
      {"GetName()", ""},
      {"GetIP()", ""},
      {"SendText(\"t\", 2)", nullptr},
      {"GetChannel()", "0"},
      {"IsValid()", "0"},
      {"GetId()", "0"}}},
    {"QelServer",
     {{"GetConnectionCount()", "0"},
      {"GetConnection(0)", "0"},
      {"GetServerIP()", ""},
      {"GetPort()", "0"},
      {"SetMOTD(\"m\")", nullptr},
      {"SendText(\"t\")", nullptr},
      {"BlastText(\"t\")", nullptr},
      {"GetSession(0)", "0"},
      {"GetSession()", "0"},
      {"GetSessionCount()", "0"},
      {"Disconnect()", nullptr},
      {"IsValid()", "0"},
      {"GetStats()", "0"}}},
    {"QelConnection",
     {{"GetSessionCount()", "0"},
      {"GetSession(0)", "0"},
      {"GetName()", ""},
      {"GetClientIP()", ""},
      {"GetVersion()", "0"},
      {"GetServer()", "0"},
      {"SignOff(0)", nullptr},
      {"SendText(\"t\")", nullptr},
      {"BlastText(\"t\")", nullptr},
      {"IsValid()", "0"},
      {"GetId()", "0"},
      {"GetStats()", "0"}}},
    {"QelSession",
     {{"GetConnectionCount()", "0"},
      {"GetConnection(0)", "0"},
      {"SignOff(0)", nullptr},
      {"SendText(\"t\")", nullptr},
      {"BlastText(\"t\")", nullptr},
      {"GetName()", ""},
      {"IsValid()", "0"},
      {"GetId()", "0"}}},
};

TEST(QelClasses, EveryMethodOfAnObjectWithoutALibraryObjectAnswersNothing) {
    script_test::ScriptRunner runner;
    for (const ClassCase& tested : kWithoutLibraryObject) {
        std::string source = std::string("o = New ") + tested.className + "();\n";
        std::string expected;
        for (const MethodCase& method : tested.methods) {
            if (method.printed == nullptr) {
                source += std::string("o.") + method.call + ";\n";
                continue;
            }
            source += std::string("x = o.") + method.call + "; Print(\"[\" + x + \"]\");\n";
            expected += std::string("[") + method.printed + "]\n";
        }
        // Private data lives in the script object, with or without a library object.
        source += "o.SetPrivateData(\"mine\"); Print(o.GetPrivateData());\n";
        expected += "mine\n";
        script_test::ScriptResult result = runner.Run(source);
        EXPECT_EQ(result.ok, 1) << tested.className << ": error " << result.code << " line "
                                << result.line + 1;
        EXPECT_EQ(result.output, expected) << tested.className;
    }
}

class QelStatsValues : public ::testing::Test {
protected:
    void SetUp() override { platform::test::FreezeClock(10000); }
    void TearDown() override { platform::test::UnfreezeClock(); }
};

TEST_F(QelStatsValues, EveryMethodAnswersItsValueOfAPlayedRecord) {
    QelStats record;
    record.RecordIn(100);
    record.RecordIn(50);
    record.RecordOut(10);
    platform::test::AdvanceClock(2001);
    // The first reading: 150 in and 10 out over two seconds.
    record.Tick();
    record.RecordOut(30);
    record.RecordIn(20);
    platform::test::AdvanceClock(2000);
    record.Tick();
    record.RecordIn(40);
    platform::test::AdvanceClock(1000);
    const int32_t expected[] = {
        0,   4,  2,   6,  210, 40, 250, 40, 30, 40, // packets, bytes, last sizes
        100, 30, 100, 20, 10,  10,                  // biggest, smallest
        42,  8,  50,                                // averages over five seconds
        75,  15, 15,  10, 5,   5,                   // highest and lowest readings
        10,  15, 25,  40, 0,   40,                  // last readings, the current window
        5,   52, 20,  41,                           // run time, average packet sizes
        0,                                          // datagrams dropped
    };
    for (uint16_t id = 1; id < CIQelStats::kMethodCount; ++id)
        EXPECT_EQ(QelStatsValue(record, id), expected[id]) << "method " << id;
    EXPECT_EQ(QelStatsValue(record, CIQelStats::kMethodCount), 0);
}

TEST_F(QelStatsValues, ACopysTimeValuesGoOnRunning) {
    script_test::ScriptRunner runner;
    script_test::ScriptResult result =
        runner.Run("s = New QelStats();\n"
                   "Program.Wait(3000);\n"
                   "q = New Qel(); copy = q.GetStats();\n"
                   "Print(s.GetRuntime(), copy.GetRuntime(), copy.GetInPacketCount(), "
                   "copy.GetSmallestPacket());\n"
                   "Program.Wait(2000);\n"
                   "Print(s.GetRuntime(), copy.GetRuntime());\n");
    EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "3 0 0 -1\n5 2\n");
}

// The message pump's poll, firing two texts at the script's player: the first while every
// allocation fails, so that its text cannot be copied.
int textsFired = 0;
void PollWithATextThatCannotBeCopied(CInterpretor& interpreter) {
    QelAPI* root = FindNetworkRoot(interpreter);
    QelHost* host = root != nullptr ? root->GetHost(0) : nullptr;
    QelPlayer* player = host != nullptr ? host->GetPlayer(0) : nullptr;
    if (player != nullptr && textsFired < 2) {
        if (textsFired == 0) platform::test::InjectFault(platform::test::Fault::HeapAlloc, 100000);
        root->FireEvent(kQelEventPlayerServerText, player, nullptr,
                        textsFired == 0 ? "lost" : "kept", uint16_t(textsFired));
        platform::test::ClearFaults();
        ++textsFired;
    }
    PollNetwork(interpreter);
}

TEST(QelClasses, AnEventWhoseTextCannotBeCopiedIsDroppedAndTheRunGoesOn) {
    script_test::ScriptRunner runner;
    GetNeighbourServices().pollNetwork = &PollWithATextThatCannotBeCopied;
    textsFired = 0;
    // Nothing listens on port 1: the player stays, unconnected.
    script_test::ScriptResult result =
        runner.Run("Function Heard(p, text, code) { Print(text, code); }\n"
                   "q = New Qel(); p = q.Connect(\"127.0.0.1\", 1, \"p\");\n"
                   "p.OnMsgFromServer = Heard;\n"
                   "For (i = 0; i < 20; i++) Program.Wait(5);\n"
                   "Print(\"end\");\n");
    GetNeighbourServices().pollNetwork = &PollNetwork;
    EXPECT_EQ(result.ok, 1) << "error " << result.code;
    EXPECT_EQ(result.output, "kept 1\nend\n");
}

} // namespace
