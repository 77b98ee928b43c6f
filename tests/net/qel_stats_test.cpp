// Traffic statistics under the frozen clock.
#include <gtest/gtest.h>

#include "net/qel_api.h"
#include "net/qel_memory_sockets.h"
#include "net/qel_stats.h"
#include "platform/kernel/test_hooks.h"

namespace {

class QelStatsTest : public ::testing::Test {
protected:
    void SetUp() override { platform::test::FreezeClock(10000); }
    void TearDown() override { platform::test::UnfreezeClock(); }
};

TEST_F(QelStatsTest, NoTrafficReportsMinusOneExtremesAndZeroAverages) {
    QelStats stats;
    EXPECT_EQ(stats.GetBiggestPacket(), -1);
    EXPECT_EQ(stats.GetSmallestPacket(), -1);
    EXPECT_EQ(stats.GetAverage(), 0);
    EXPECT_EQ(stats.GetAveragePacket(), 0);
    EXPECT_EQ(stats.GetLastPacketSize(), 0);
    platform::test::AdvanceClock(1001);
    stats.Tick();
    EXPECT_EQ(stats.highestInReading, 0);
    EXPECT_EQ(stats.lowestOutReading, 0);
}

TEST_F(QelStatsTest, RecordsAndReadings) {
    QelStats stats;
    stats.RecordIn(100);
    stats.RecordIn(300);
    stats.RecordOut(50);
    EXPECT_EQ(stats.GetLastPacketSize(), 50);
    EXPECT_EQ(stats.GetBiggestPacket(), 300);
    // The smaller of the two smallest.
    EXPECT_EQ(stats.GetSmallestPacket(), 50);
    EXPECT_EQ(stats.GetAveragePacketIn(), 200);
    EXPECT_EQ(stats.GetPackets(), 3);
    EXPECT_EQ(stats.GetBytes(), 450);
    // Nothing before the first whole second.
    platform::test::AdvanceClock(1000);
    stats.Tick();
    EXPECT_EQ(stats.readingCount, 1);
    EXPECT_EQ(stats.GetAverageIn(), 400);
    platform::test::AdvanceClock(1);
    stats.Tick();
    EXPECT_EQ(stats.readingCount, 2);
    EXPECT_EQ(stats.lastInReading, 400);
    EXPECT_EQ(stats.lastOutReading, 50);
    EXPECT_EQ(stats.windowBytesIn, 0);
    EXPECT_EQ(stats.GetLastReading(), 450);
}

TEST_F(QelStatsTest, HeldUpPollCatchesUpWithZeroReadings) {
    QelStats stats;
    stats.RecordIn(3000);
    platform::test::AdvanceClock(3500);
    stats.Tick();
    // One reading over the whole pause...
    EXPECT_EQ(stats.lastInReading, 1000);
    EXPECT_EQ(stats.readingCount, 2);
    // ...then one more per tick until the count catches up, each under a second: 0.
    stats.Tick();
    stats.Tick();
    EXPECT_EQ(stats.readingCount, 4);
    EXPECT_EQ(stats.lowestInReading, 0);
    EXPECT_EQ(stats.highestInReading, 1000);
    stats.Tick();
    EXPECT_EQ(stats.readingCount, 4);
}

TEST_F(QelStatsTest, HostsIdsStartAtOne) {
    QelMemorySockets network;
    QelAPI api(&network);
    QelHost* host = api.CreateHost();
    EXPECT_EQ(host->NextId(), 1u);
    EXPECT_EQ(host->NextId(), 2u);
}

} // namespace
