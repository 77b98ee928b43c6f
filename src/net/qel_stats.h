// The traffic record of a host, player, server or connection: packet and byte counters in
// both directions, packet size extremes, and throughput readings taken about once a second.
#pragma once

#include <cstdint>

class QelStats {
public:
    QelStats();

    void RecordIn(int32_t n);
    void RecordOut(int32_t n);
    // Takes a reading when one is due: after k whole seconds from the start, the k-th.
    void Tick();
    // Whole seconds since the start.
    int32_t GetRuntime() const;
    static int32_t Rate(int32_t bytes, int32_t seconds);

    int32_t startTime;
    int32_t lastReadingTime;
    int32_t readingCount = 1;
    int32_t windowBytesIn = 0;
    int32_t windowBytesOut = 0;
    int32_t lastInSize = 0;
    int32_t lastOutSize = 0;
    int32_t lastInReading = 0;
    int32_t lastOutReading = 0;
    int32_t inPackets = 0;
    int32_t outPackets = 0;
    int32_t lastDirection = 0;
    int32_t totalBytesIn = 0;
    int32_t totalBytesOut = 0;
    int32_t biggestIn = -1;
    int32_t smallestIn = -1;
    int32_t biggestOut = -1;
    int32_t smallestOut = -1;
    int32_t highestInReading = -1;
    int32_t lowestInReading = -1;
    int32_t highestOutReading = -1;
    int32_t lowestOutReading = -1;
    // Datagrams dropped unhandled: from a sender other than the connection they name, or
    // while the script had too many events of their peer waiting.
    int32_t droppedDatagrams = 0;

    // Values derived for scripts.
    int32_t GetPackets() const { return Add(inPackets, outPackets); }
    int32_t GetBytes() const { return Add(totalBytesIn, totalBytesOut); }
    int32_t GetLastPacketSize() const;
    int32_t GetBiggestPacket() const;
    int32_t GetSmallestPacket() const;
    int32_t GetAverageIn() const { return Rate(totalBytesIn, GetRuntime()); }
    int32_t GetAverageOut() const { return Rate(totalBytesOut, GetRuntime()); }
    int32_t GetAverage() const { return Rate(GetBytes(), GetRuntime()); }
    int32_t GetCurrentIn() const { return Rate(windowBytesIn, SecondsSinceReading()); }
    int32_t GetCurrentOut() const { return Rate(windowBytesOut, SecondsSinceReading()); }
    int32_t GetCurrent() const {
        return Rate(Add(windowBytesIn, windowBytesOut), SecondsSinceReading());
    }
    int32_t GetLastReading() const { return Add(lastInReading, lastOutReading); }
    int32_t GetAveragePacketIn() const { return Average(totalBytesIn, inPackets); }
    int32_t GetAveragePacketOut() const { return Average(totalBytesOut, outPackets); }
    int32_t GetAveragePacket() const { return Average(GetBytes(), GetPackets()); }

private:
    int32_t SecondsSinceReading() const;
    // Counters wrap as 32-bit values do rather than overflow.
    static int32_t Add(int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
    }
    static int32_t Average(int32_t bytes, int32_t count) { return count == 0 ? 0 : bytes / count; }
};
