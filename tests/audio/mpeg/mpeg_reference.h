// MPEG audio files for the tests: encoded by lame and twolame into a temporary folder,
// decoded by libmpg123 as the reference and by our stream, and compared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mpeg_test {

using Bytes = std::vector<uint8_t>;

// A test signal of tones, noise bursts and clicks (which make the encoder switch to short
// blocks), as 16-bit PCM interleaved.
std::vector<int16_t> TestSignal(int rate, int channels, double seconds);
Bytes WavFile(const std::vector<int16_t>& samples, int rate, int channels);

// Runs `tool` (lame or twolame) with `arguments` on the signal; empty with `why` set when
// the tool is missing or fails.
Bytes Encode(const char* tool, const std::string& arguments, int rate, int channels, double seconds,
             std::string* why);

struct Decoded {
    int rate = 0;
    int channels = 0;
    std::vector<float> floats;
    std::vector<int16_t> shorts;
};

// libmpg123's decoding, float or 16-bit; `gapless` trims lame's encoder delay and padding.
Decoded ReferenceDecode(const Bytes& file, bool floats, bool gapless = false);
// Runs a shell pipeline that writes the file named by its last argument, OUT.
Bytes RunEncoder(const std::string& pipeline, std::string* why);
// Ours through MpegAudioStream over the bytes.
Decoded OurDecode(const Bytes& file, bool floats, int reduction = 0, int channels = 0);

struct Difference {
    double rms = 0;
    double largest = 0;
    size_t compared = 0;
};

// Over the common length of two float decodings, in units of full scale.
Difference Compare(const std::vector<float>& a, const std::vector<float>& b);
// Largest difference of 16-bit samples over the common length.
int CompareShorts(const std::vector<int16_t>& a, const std::vector<int16_t>& b);

// ISO/IEC 11172-4 full accuracy.
inline constexpr double kRmsLimit = 1.0 / 32768.0 / 3.4641016151377544;
inline constexpr double kMaxLimit = 1.0 / 16384.0;

} // namespace mpeg_test
