#include "net/qel_stats.h"

#include "platform/kernel/clock.h"

namespace {

int32_t Now() {
    return static_cast<int32_t>(timeGetTime());
}

int32_t Since(int32_t then) {
    return static_cast<int32_t>(static_cast<uint32_t>(Now()) - static_cast<uint32_t>(then));
}

int32_t Plus(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

void Extremes(int32_t value, int32_t& biggest, int32_t& smallest) {
    if (value > biggest || biggest == -1) biggest = value;
    if (value < smallest || smallest == -1) smallest = value;
}

} // namespace

QelStats::QelStats() : startTime(Now()), lastReadingTime(startTime) {}

void QelStats::RecordIn(int32_t n) {
    windowBytesIn = Plus(windowBytesIn, n);
    lastInSize = n;
    inPackets = Plus(inPackets, 1);
    lastDirection = 1;
    totalBytesIn = Plus(totalBytesIn, n);
    Extremes(n, biggestIn, smallestIn);
}

void QelStats::RecordOut(int32_t n) {
    windowBytesOut = Plus(windowBytesOut, n);
    lastOutSize = n;
    outPackets = Plus(outPackets, 1);
    lastDirection = 2;
    totalBytesOut = Plus(totalBytesOut, n);
    Extremes(n, biggestOut, smallestOut);
}

void QelStats::Tick() {
    if (static_cast<int64_t>(Since(startTime)) <= static_cast<int64_t>(readingCount) * 1000) return;
    int32_t seconds = SecondsSinceReading();
    lastInReading = Rate(windowBytesIn, seconds);
    lastOutReading = Rate(windowBytesOut, seconds);
    windowBytesIn = 0;
    windowBytesOut = 0;
    Extremes(lastInReading, highestInReading, lowestInReading);
    Extremes(lastOutReading, highestOutReading, lowestOutReading);
    readingCount = Plus(readingCount, 1);
    lastReadingTime = Now();
}

int32_t QelStats::GetRuntime() const {
    return Since(startTime) / 1000;
}

int32_t QelStats::SecondsSinceReading() const {
    return Since(lastReadingTime) / 1000;
}

int32_t QelStats::Rate(int32_t bytes, int32_t seconds) {
    if (seconds == 0) return 0;
    return static_cast<int32_t>(static_cast<double>(bytes) / static_cast<double>(seconds));
}

int32_t QelStats::GetLastPacketSize() const {
    if (lastDirection == 1) return lastInSize;
    if (lastDirection == 2) return lastOutSize;
    return 0;
}

int32_t QelStats::GetBiggestPacket() const {
    return biggestIn > biggestOut ? biggestIn : biggestOut;
}

int32_t QelStats::GetSmallestPacket() const {
    return smallestOut < smallestIn ? smallestOut : smallestIn;
}
