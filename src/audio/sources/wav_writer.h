// Writes a source's output as a 44-byte-header PCM WAV file (the clipboard's sound form).
#pragma once

#include <cstdint>

class COutStream;
class SoundSource;

// 1 on success; 0 on a write failure, a source that delivered other than its length, or
// data too long for the header's 32-bit sizes. The source is read from its start.
int WriteWavFile(COutStream& out, SoundSource& source);
// Bytes WriteWavFile writes for the source.
uint64_t GetWavFileSize(SoundSource& source);
