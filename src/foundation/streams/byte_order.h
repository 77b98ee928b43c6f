// Conversions of raw binary values between byte orders. A value is converted as the
// bytes it occupies in memory: the result, stored on the host, shows in the target
// order the bytes that the input showed in the source order. An unknown pair of orders
// gives 0.
#pragma once

#include <cstdint>

// Order codes as scripts see them.
inline constexpr int32_t kByteOrderBig = 1;
inline constexpr int32_t kByteOrderLittle = 2;
// 16-bit units from the most significant, each unit little-endian.
inline constexpr int32_t kByteOrderPdp = 3;

int32_t GetHostByteOrder();

uint32_t ConvertByteOrder32(uint32_t value, int32_t from, int32_t to);
int32_t ConvertByteOrderInt32(int32_t value, int32_t from, int32_t to);
// A 16-bit value is laid out alike in little-endian and PDP order, so only big <->
// little swaps; every other pair returns the value unchanged.
uint16_t ConvertByteOrder16(uint16_t value, int32_t from, int32_t to);
int16_t ConvertByteOrderInt16(int16_t value, int32_t from, int32_t to);
double ConvertByteOrder64(double value, int32_t from, int32_t to);
float ConvertByteOrderFloat(float value, int32_t from, int32_t to);
