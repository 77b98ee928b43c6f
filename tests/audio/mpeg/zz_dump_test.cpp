#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include "audio/mpeg/mpeg_reference.h"
using namespace mpeg_test;
TEST(ZzDump, Dump) {
    const char* args = std::getenv("DUMP_ARGS");
    if (!args) GTEST_SKIP();
    int rate = std::atoi(std::getenv("DUMP_RATE"));
    int ch = std::atoi(std::getenv("DUMP_CH"));
    std::string why;
    Bytes file = Encode("lame", std::string("-t --quiet ") + args, rate, ch, 1.5, &why);
    std::ofstream("/tmp/mpegwork/f.mp3", std::ios::binary).write((const char*)file.data(), file.size());
    Decoded r = ReferenceDecode(file, true);
    Decoded o = OurDecode(file, true);
    std::ofstream("/tmp/mpegwork/ref.f32", std::ios::binary).write((const char*)r.floats.data(), r.floats.size()*4);
    std::ofstream("/tmp/mpegwork/our.f32", std::ios::binary).write((const char*)o.floats.data(), o.floats.size()*4);
}
