// Reads a text world (the sectioned text format) into a world under a load mask, or
// merges one object tree of it. One instance serves one operation and borrows the world.
#pragma once

#include <cstdint>

class CInStream;

class LScriptWorldFile {
public:
    // 1 with the version when the stream holds a "SCRIPT_INFORMATION" section whose
    // version this reader takes.
    static int IsYixStream(CInStream* stream, uint32_t* version);
};
