// The packet buffer, the send queue and the id list.
#include <gtest/gtest.h>

#include "net/qel_id_list.h"
#include "net/qel_packet.h"
#include "net/qel_packet_queue.h"

namespace {

TEST(QelPacket, ReadsThatDoNotFitGiveZero) {
    QelPacket p;
    p.PutU8(0xAB);
    p.PutU16(0x1234);
    p.PutU32(0xDEADBEEF);
    EXPECT_EQ(p.GetLength(), 7);
    EXPECT_EQ(p.GetU8(0), 0xAB);
    EXPECT_EQ(p.GetU16(1), 0x1234);
    EXPECT_EQ(p.GetU32(3), 0xDEADBEEFu);
    EXPECT_EQ(p.GetU32(4), 0u);
    EXPECT_EQ(p.GetU16(6), 0u);
    EXPECT_EQ(p.GetU8(7), 0u);
    EXPECT_EQ(p.GetU8(-1), 0u);
    EXPECT_EQ(p.GetU32(INT64_MAX - 1), 0u);
    EXPECT_EQ(p.CopyText(3, 100), std::string("\xDE\xAD\xBE\xEF"));
    EXPECT_EQ(p.CopyText(7, 1), std::string());
    EXPECT_FALSE(p.CopyText(8, 1).has_value());
    EXPECT_FALSE(p.CopyText(-1, 1).has_value());
}

TEST(QelPacket, ErasingFromTheFrontKeepsTheRest) {
    QelPacket p;
    for (int i = 0; i < 1000; ++i)
        p.PutU8(static_cast<uint8_t>(i));
    p.Erase(0, 10);
    EXPECT_EQ(p.GetLength(), 990);
    EXPECT_EQ(p.GetU8(0), 10);
    p.Erase(5, 5);
    EXPECT_EQ(p.GetU8(5), 20);
    // Appending after front erases keeps the bytes in order.
    for (int i = 0; i < 5000; ++i)
        p.PutU8(static_cast<uint8_t>(i));
    EXPECT_EQ(p.GetLength(), 5985);
    EXPECT_EQ(p.GetU8(985), 0);
    EXPECT_EQ(p.GetU8(984), static_cast<uint8_t>(999));
    p.Erase(0, INT64_MAX);
    EXPECT_EQ(p.GetLength(), 0);
    p.Set("ab", 2);
    p.Set(nullptr, 5);
    EXPECT_EQ(p.GetLength(), 0);
}

TEST(QelPacketQueue, KeepsCopiesAndCountsBytes) {
    QelPacketQueue queue;
    std::string first = "one";
    queue.Push(first.data(), first.size());
    first[0] = 'X';
    queue.Push("three", 5);
    EXPECT_EQ(queue.GetCount(), 2u);
    EXPECT_EQ(queue.GetBytes(), 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(queue.GetData(0)), queue.GetLength(0)),
              "one");
    EXPECT_EQ(queue.GetLength(2), 0u);
    queue.Remove(0);
    EXPECT_EQ(queue.GetBytes(), 5u);
    EXPECT_EQ(queue.GetLength(0), 5u);
    queue.Remove(7);
    EXPECT_EQ(queue.GetCount(), 1u);
}

TEST(QelIdList, HoldsEachIdOnceInOrder) {
    int a = 0, b = 0;
    QelIdList<int> list;
    EXPECT_TRUE(list.Add(&a, 5));
    EXPECT_TRUE(list.Add(&b, 9));
    EXPECT_FALSE(list.Add(&b, 5));
    EXPECT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.FindById(5), &a);
    EXPECT_EQ(list.GetIdAt(1), 9u);
    EXPECT_EQ(list.GetIdAt(2), 0u);
    EXPECT_EQ(list.GetAt(2), nullptr);
    list.RemoveById(5);
    EXPECT_EQ(list.GetAt(0), &b);
    EXPECT_EQ(list.FindById(5), nullptr);
}

} // namespace
