#include "audio/mpeg/mpeg_stream_source.h"

#include <algorithm>
#include <memory>
#include <new>

MpegStreamSource::~MpegStreamSource() {
    Close();
}

bool MpegStreamSource::Test(CInStream* stream) {
    if (stream == nullptr) return false;
    auto reader = std::make_unique<StreamReader>();
    auto mpeg = std::make_unique<MpegAudioStream>();
    reader->Open(stream);
    int rate = 0;
    bool stereo = false;
    bool opened = mpeg->Open(reader.get(), &rate, &stereo, true, 0, 0) == 0;
    mpeg->Close();
    reader->Close();
    return opened;
}

int MpegStreamSource::Open(CInStream* stream) {
    Close();
    if (stream == nullptr) return kSourceBadFormat;
    reader_.Open(stream);
    int rate = 0;
    bool stereo = false;
    if (mpeg_.Open(&reader_, &rate, &stereo, true, 0, 0) != 0) {
        reader_.Close();
        return kSourceBadFormat;
    }
    SetNativeFormat(MakePcmFormat(stereo ? 2 : 1, static_cast<uint32_t>(rate), 16));
    opened_ = true;
    stream_ = stream;
    return 0;
}

void MpegStreamSource::Close() {
    if (!opened_) return;
    mpeg_.Close();
    reader_.Close();
    opened_ = false;
    stream_ = nullptr;
}

uint64_t MpegStreamSource::GetNativeLength() {
    return opened_ ? static_cast<uint64_t>(std::max<int64_t>(mpeg_.Control(4, 0, 0), 0)) : 0;
}

uint64_t MpegStreamSource::GetNativePosition() {
    return opened_ ? static_cast<uint64_t>(std::max<int64_t>(mpeg_.SeekRelative(0), 0)) : 0;
}

void MpegStreamSource::SeekNative(uint64_t bytes) {
    if (!opened_) return;
    bytes = std::min(bytes, GetNativeLength());
    mpeg_.Seek(static_cast<int64_t>(bytes));
}

ResultCode MpegStreamSource::ReadNative(uint8_t* buffer, uint32_t size, uint32_t* count) {
    *count = 0;
    if (!opened_) return kResultReadError;
    uint64_t length = GetNativeLength();
    uint64_t position = GetNativePosition();
    uint64_t left = length > position ? length - position : 0;
    auto want = static_cast<int32_t>(std::min<uint64_t>({size, left, 0x7FFFFFFF}));
    if (want == 0) return kResultOk;
    int32_t got = mpeg_.Read(buffer, want);
    if (got < 0) return kResultReadError;
    *count = static_cast<uint32_t>(got);
    return kResultOk;
}
