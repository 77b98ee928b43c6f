// Callers hand the GDI BITMAPINFO headers and bits of images read from files: random
// headers, colour tables and bits go through CreateDIBSection, SetDIBits, GetDIBits and
// StretchDIBits.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"

namespace {

// The largest header, three masks and 256 colours.
constexpr size_t kInfoBytes = 124 + 12 + 256 * 4;
constexpr int64_t kMaxBits = 1 << 20;

int64_t ImageBytes(const BITMAPINFOHEADER& h) {
    int64_t height = h.biHeight < 0 ? -int64_t{h.biHeight} : h.biHeight;
    if (h.biWidth < 0 || h.biWidth > kMaxBits || height > kMaxBits) return -1;
    return (int64_t{h.biWidth} * h.biBitCount + 31) / 32 * 4 * height;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kInfoBytes + 12) return 0;
    alignas(8) uint8_t info[kInfoBytes];
    std::memcpy(info, data, kInfoBytes);
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info);
    int8_t params[12];
    std::memcpy(params, data + kInfoBytes, sizeof params);
    data += kInfoBytes + sizeof params;
    size -= kInfoBytes + sizeof params;
    // The callers' buffers always hold the rows their headers promise.
    int64_t need = ImageBytes(bmi->bmiHeader);
    if (need < 0 || need > kMaxBits) return 0;
    std::vector<uint8_t> bits(static_cast<size_t>(need) + 4, 0);
    std::memcpy(bits.data(), data, std::min(size, bits.size()));
    UINT usage = params[0] & 1;

    HDC dc = CreateCompatibleDC(0);
    void* sectionBits = nullptr;
    HBITMAP section = CreateDIBSection(dc, bmi, usage, &sectionBits, 0, 0);
    HBITMAP target = CreateBitmap(17, 9, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, target);
    StretchDIBits(dc, params[1], params[2], params[3], params[4], params[5], params[6], params[7],
                  params[8], bits.data(), bmi, usage, static_cast<DWORD>(uint8_t(params[9])) << 16);
    SelectObject(dc, old);
    SetDIBits(dc, target, uint8_t(params[10]), uint8_t(params[11]), bits.data(), bmi, usage);
    if (section) {
        std::memcpy(sectionBits, bits.data(), static_cast<size_t>(need));
        alignas(8) uint8_t readInfo[kInfoBytes];
        std::memcpy(readInfo, info, kInfoBytes);
        auto* readBmi = reinterpret_cast<BITMAPINFO*>(readInfo);
        GetDIBits(dc, section, 0, 0, nullptr, readBmi, DIB_RGB_COLORS);
        GetDIBits(dc, section, uint8_t(params[10]), uint8_t(params[11]), bits.data(), readBmi,
                  DIB_RGB_COLORS);
        DeleteObject(section);
    }
    DeleteObject(target);
    DeleteDC(dc);
    return 0;
}
