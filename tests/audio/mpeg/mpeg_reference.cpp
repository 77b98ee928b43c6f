#include "audio/mpeg/mpeg_reference.h"

#include <mpg123.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "audio/mpeg/mpeg_audio_stream.h"
#include "audio/streams/stream_reader.h"
#include "foundation/streams/mem_in_stream.h"

namespace mpeg_test {

namespace {

void Put32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

} // namespace

std::vector<int16_t> TestSignal(int rate, int channels, double seconds) {
    size_t frames = static_cast<size_t>(rate * seconds);
    std::vector<int16_t> out(frames * static_cast<size_t>(channels));
    uint32_t noise = 12345;
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / rate;
        for (int ch = 0; ch < channels; ++ch) {
            double v = 0.3 * std::sin(2 * M_PI * (220.0 + 110.0 * ch) * t) +
                       0.15 * std::sin(2 * M_PI * (1000.0 + 600.0 * t) * t) +
                       0.08 * std::sin(2 * M_PI * 5000.0 * t + ch);
            noise = noise * 1664525u + 1013904223u;
            double burst = std::fmod(t, 0.5) < 0.1 ? 0.2 : 0.02;
            v += burst * ((noise >> 8) / double(1 << 24) - 0.5);
            if (std::fmod(t, 0.37) < 0.002) v += 0.5 * ((i & 1) != 0 ? 1 : -1);
            out[i * channels + ch] = static_cast<int16_t>(std::clamp(v, -1.0, 1.0) * 30000);
        }
    }
    return out;
}

Bytes WavFile(const std::vector<int16_t>& samples, int rate, int channels) {
    Bytes out = {'R', 'I', 'F', 'F'};
    uint32_t data = static_cast<uint32_t>(samples.size() * 2);
    Put32(out, 36 + data);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(channels));
    Put32(out, static_cast<uint32_t>(rate));
    Put32(out, static_cast<uint32_t>(rate * channels * 2));
    Put16(out, static_cast<uint32_t>(channels * 2));
    Put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, data);
    for (int16_t s : samples)
        Put16(out, static_cast<uint16_t>(s));
    return out;
}

namespace {

// In a fresh temporary folder: `prepare` writes the inputs there and gives the command, which
// is run with the output file's path after it; the output's bytes.
Bytes RunInFolder(const std::function<std::string(const std::string&)>& prepare,
                  std::string* why) {
    char folder[] = "/tmp/zorv-mpeg-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        *why = "no temporary folder";
        return {};
    }
    std::string out = std::string(folder) + "/out.mp";
    std::string command = prepare(folder) + " " + out + " >/dev/null 2>&1";
    Bytes result;
    if (std::system(command.c_str()) == 0) {
        std::ifstream in(out, std::ios::binary);
        result.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::remove_all(folder);
    if (result.empty()) *why = command + " failed";
    return result;
}

} // namespace

Bytes Encode(const char* tool, const std::string& arguments, int rate, int channels, double seconds,
             std::string* why) {
    std::string path = std::string("/usr/bin/") + tool;
    if (access(path.c_str(), X_OK) != 0) {
        *why = std::string(tool) + " is not installed (tools/deps test)";
        return {};
    }
    return RunInFolder(
        [&](const std::string& folder) {
            std::string wav = folder + "/in.wav";
            Bytes bytes = WavFile(TestSignal(rate, channels, seconds), rate, channels);
            std::ofstream(wav, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
            return path + " " + arguments + " " + wav;
        },
        why);
}

Bytes RunEncoder(const std::string& pipeline, std::string* why) {
    return RunInFolder([&](const std::string&) { return pipeline; }, why);
}

Decoded ReferenceDecode(const Bytes& file, bool floats, bool gapless) {
    Decoded out;
    mpg123_init();
    int error = 0;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (handle == nullptr) return out;
    mpg123_param(handle, gapless ? MPG123_ADD_FLAGS : MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(handle);
    const long rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    for (long rate : rates)
        mpg123_format(handle, rate, MPG123_MONO | MPG123_STEREO,
                      floats ? MPG123_ENC_FLOAT_32 : MPG123_ENC_SIGNED_16);
    mpg123_open_feed(handle);
    mpg123_feed(handle, file.data(), file.size());
    std::vector<uint8_t> bytes;
    unsigned char piece[16384];
    for (;;) {
        size_t done = 0;
        int result = mpg123_read(handle, piece, sizeof piece, &done);
        bytes.insert(bytes.end(), piece, piece + done);
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(handle, &rate, &channels, &encoding);
            out.rate = static_cast<int>(rate);
            out.channels = channels;
            continue;
        }
        if (result != MPG123_OK) break;
    }
    mpg123_delete(handle);
    if (floats) {
        out.floats.resize(bytes.size() / 4);
        std::memcpy(out.floats.data(), bytes.data(), out.floats.size() * 4);
    } else {
        out.shorts.resize(bytes.size() / 2);
        std::memcpy(out.shorts.data(), bytes.data(), out.shorts.size() * 2);
    }
    return out;
}

Decoded OurDecode(const Bytes& file, bool floats, int reduction, int channels) {
    Decoded out;
    CMemInStream memory;
    memory.Attach(file.data(), static_cast<uint32_t>(file.size()));
    StreamReader reader;
    reader.Open(&memory);
    MpegAudioStream stream;
    bool stereo = false;
    if (stream.Open(&reader, &out.rate, &stereo, !floats, reduction, channels) != 0) return out;
    out.channels = stereo ? 2 : 1;
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> piece(10000);
    for (;;) {
        int32_t got = stream.Read(piece.data(), static_cast<int32_t>(piece.size()));
        if (got <= 0) break;
        bytes.insert(bytes.end(), piece.begin(), piece.begin() + got);
    }
    stream.Close();
    if (floats) {
        out.floats.resize(bytes.size() / 4);
        std::memcpy(out.floats.data(), bytes.data(), out.floats.size() * 4);
    } else {
        out.shorts.resize(bytes.size() / 2);
        std::memcpy(out.shorts.data(), bytes.data(), out.shorts.size() * 2);
    }
    return out;
}

Difference Compare(const std::vector<float>& a, const std::vector<float>& b) {
    Difference d;
    d.compared = std::min(a.size(), b.size());
    double sum = 0;
    for (size_t i = 0; i < d.compared; ++i) {
        double e = double(a[i]) - double(b[i]);
        sum += e * e;
        d.largest = std::max(d.largest, std::fabs(e));
    }
    d.rms = d.compared > 0 ? std::sqrt(sum / double(d.compared)) : 0;
    return d;
}

int CompareShorts(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
    int largest = 0;
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
    return largest;
}

} // namespace mpeg_test
