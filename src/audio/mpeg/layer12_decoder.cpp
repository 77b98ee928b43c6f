#include "audio/mpeg/layer12_decoder.h"

void LayerOneTwoDecoder::DecodeLayer1(BitReader&, const MpegHeader&, float* const[2]) {}

void LayerOneTwoDecoder::DecodeLayer2(BitReader&, const MpegHeader&, float* const[2]) {}
