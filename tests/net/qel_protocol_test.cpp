// Every message's bytes against bytes written by hand, and the framing of each.
#include <gtest/gtest.h>

#include "net/qel_protocol.h"

namespace {

std::string Bytes(const QelPacket& packet) {
    return {reinterpret_cast<const char*>(packet.GetData()),
            static_cast<size_t>(packet.GetLength())};
}

std::string Hand(std::initializer_list<int> bytes) {
    std::string text;
    for (int byte : bytes)
        text += static_cast<char>(byte);
    return text;
}

QelPacket Packet(const std::string& bytes) {
    QelPacket packet;
    packet.Set(bytes.data(), static_cast<int64_t>(bytes.size()));
    return packet;
}

TEST(QelProtocol, PlayerToServerLayouts) {
    QelPacket p;
    QelPutTextToSession(p, 0x0102, 0x0A0B0C0D, "hi");
    EXPECT_EQ(Bytes(p), Hand({1, 1, 2, 10, 11, 12, 13, 0, 0, 0, 2, 'h', 'i'}));
    QelPutTextToServer(p, 0xFFFE, std::string("a\0b", 3));
    EXPECT_EQ(Bytes(p), Hand({2, 0xFF, 0xFE, 0, 0, 0, 3, 'a', 0, 'b'}));
    QelPutTextToMember(p, 5, 6, 0x01000000, "x");
    EXPECT_EQ(Bytes(p), Hand({3, 0, 5, 0, 0, 0, 6, 1, 0, 0, 0, 0, 0, 0, 1, 'x'}));
    QelPutJoin(p, "room");
    EXPECT_EQ(Bytes(p), Hand({4, 0, 0, 0, 4, 'r', 'o', 'o', 'm'}));
    QelPutLeave(p, 0x11223344);
    EXPECT_EQ(Bytes(p), Hand({5, 0x11, 0x22, 0x33, 0x44}));
    QelPutSetName(p, "z");
    EXPECT_EQ(Bytes(p), Hand({11, 0, 0, 0, 1, 'z'}));
    QelPutSignOn(p, 3, "me");
    EXPECT_EQ(Bytes(p), Hand({12, 0, 3, 0, 0, 0, 2, 'm', 'e'}));
}

TEST(QelProtocol, ServerToPlayerLayouts) {
    QelPacket p;
    QelPutWelcome(p, "w");
    EXPECT_EQ(Bytes(p), Hand({10, 0, 0, 0, 1, 'w'}));
    QelPutHello(p, 3, 0x00000102);
    EXPECT_EQ(Bytes(p), Hand({12, 0, 3, 0, 0, 1, 2}));
    QelPutText(p, 9, 1, 2, "t");
    EXPECT_EQ(Bytes(p), Hand({1, 0, 9, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 1, 't'}));
    QelPutJoined(p, 1, 2, 3, "n", "1.2", "s");
    EXPECT_EQ(Bytes(p), Hand({8, 0, 0,   0, 1, 0, 0, 0,   2,   0,   0, 0, 3, 0, 0,
                              0, 1, 'n', 0, 0, 0, 3, '1', '.', '2', 0, 0, 0, 1, 's'}));
    QelPutMember(p, kQelMemberJoined, 4, 5, 6, "ab", "");
    EXPECT_EQ(Bytes(p),
              Hand({6, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0, 6, 0, 0, 0, 2, 'a', 'b', 0, 0, 0, 0}));
    QelPutMember(p, kQelMemberPresent, 4, 5, 0, "", "c");
    EXPECT_EQ(Bytes(p), Hand({7, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 'c'}));
    QelPutLeft(p, 7, 8, 9);
    EXPECT_EQ(Bytes(p), Hand({5, 0, 0, 0, 7, 0, 0, 0, 8, 0, 0, 0, 9}));
    QelPutNameChanged(p, 0x01020304, "q");
    EXPECT_EQ(Bytes(p), Hand({11, 1, 2, 3, 4, 0, 0, 0, 1, 'q'}));
}

TEST(QelProtocol, DatagramLayouts) {
    QelPacket p;
    QelPutRelay(p, 0x0203, 4, 5, 6, "pay");
    EXPECT_EQ(Bytes(p), Hand({1, 2, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0, 6, 'p', 'a', 'y'}));
    QelPutServerText(p, 1, 0x0A, "");
    EXPECT_EQ(Bytes(p), Hand({2, 0, 1, 0, 0, 0, 0x0A}));
}

TEST(QelProtocol, FramingCountsBytes) {
    QelPacket p;
    QelPutJoined(p, 1, 2, 0, "", "", "");
    std::string joined = Bytes(p);
    // Every prefix is incomplete; the whole is complete; more bytes after it stay.
    for (size_t n = 1; n < joined.size(); ++n)
        EXPECT_EQ(QelFrameForPlayer(Packet(joined.substr(0, n))).frame, QelFrame::Incomplete) << n;
    QelFraming whole = QelFrameForPlayer(Packet(joined + "extra"));
    EXPECT_EQ(whole.frame, QelFrame::Complete);
    EXPECT_EQ(whole.length, static_cast<int64_t>(joined.size()));

    QelPutHello(p, 3, 0);
    EXPECT_EQ(QelFrameForPlayer(p).length, 7);
    QelPutLeave(p, 0);
    EXPECT_EQ(QelFrameForServer(p).length, 5);
    QelPutLeft(p, 0, 0, 0);
    EXPECT_EQ(QelFrameForPlayer(p).length, 13);
    EXPECT_EQ(QelFrameForServer(QelPacket()).frame, QelFrame::Incomplete);

    // Lengths summed past the limit, in 64-bit arithmetic, and unknown types are refused
    // before their bytes arrive.
    std::string huge = Hand({8, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0x7F, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(QelFrameForPlayer(Packet(huge)).frame, QelFrame::Invalid);
    std::string twoHalves = Hand({8, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0x0C, 0, 0});
    twoHalves += std::string(0x0C0000, 'a') + Hand({0, 0x0C, 0, 0});
    EXPECT_EQ(QelFrameForPlayer(Packet(twoHalves)).frame, QelFrame::Invalid);
    for (int type : {0, 2, 3, 4, 9, 13, 255})
        EXPECT_EQ(QelFrameForPlayer(Packet(Hand({type}))).frame, QelFrame::Invalid) << type;
    for (int type : {0, 6, 7, 8, 9, 10, 13, 255})
        EXPECT_EQ(QelFrameForServer(Packet(Hand({type}))).frame, QelFrame::Invalid) << type;
}

} // namespace
