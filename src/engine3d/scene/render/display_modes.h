// The display hardware a back end can draw with, as a tree: drivers, each with its
// devices, each device with its display modes. Every level keeps a word of back-end data
// that only the back end reads and frees.
#pragma once

#include <cstdint>

struct LDisplayMode {
    int8_t depth = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    // " %d x %d ( %d BPP )" of width, height and depth.
    char text[64] = {};
    uintptr_t data = 0;
    LDisplayMode* next = nullptr;
    LDisplayMode* previous = nullptr;
};

struct LDisplayDevice {
    char name[64] = {};
    // 1 when the device can draw into a window.
    uint32_t firstParameter = 0;
    uintptr_t data = 0;
    LDisplayMode* currentMode = nullptr;
    LDisplayMode* modes = nullptr;
    LDisplayDevice* next = nullptr;
};

struct LDisplayDriver {
    char name[64] = {};
    uintptr_t data = 0;
    LDisplayDevice* currentDevice = nullptr;
    LDisplayDevice* devices = nullptr;
    LDisplayDriver* next = nullptr;
    LDisplayDriver* previous = nullptr;
};

struct LDisplaySize {
    int32_t width;
    int32_t height;
};
