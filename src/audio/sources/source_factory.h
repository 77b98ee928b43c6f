// Picks the source for a stream by looking at it: a RIFF WAVE file of PCM or Microsoft
// ADPCM, else an AIFF or uncompressed AIFC file, else MPEG audio (MP3, MP2).
#pragma once

#include "audio/sources/sound_source.h"

class CInStream;

// Replaces the source of `ref` with an opened one for `stream`: 0, else kSourceBadFormat
// (no kind accepts the stream, or its format cannot play) or 1 (no memory); `ref` is
// empty after a failure.
int CreateSoundSource(CInStream* stream, SoundSourceRef& ref);
