#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

#include "platform/gdi/dc.h"
#include "platform/gdi/text/font_instance.h"
#include "platform/gdi/text/font_lookup.h"
#include "platform/gdi/text/font_outline_metrics.h"
#include "platform/gdi/text/text_out.h"
#include "platform/kernel/errors.h"

namespace platform {

std::shared_ptr<const FontInstance> Font::Instance() const {
    unsigned generation = FontSetGeneration();
    std::lock_guard guard(lock_);
    if (!instance_ || generation_ != generation) {
        instance_ = FontInstance::ForLogFont(logFont);
        generation_ = generation;
    }
    return instance_;
}

namespace {

// The instance of the font selected into a DC; null for a dead DC.
std::shared_ptr<const FontInstance> SelectedFont(HDC handle) {
    std::shared_ptr<DeviceContext> dc = LookupDC(handle);
    if (!dc) return nullptr;
    std::shared_ptr<GdiObject> font;
    {
        std::lock_guard guard(dc->lock);
        font = dc->state.font.object;
    }
    return font ? std::static_pointer_cast<Font>(font)->Instance() : nullptr;
}

LONG Clamped(int64_t value) {
    return static_cast<LONG>(std::clamp<int64_t>(value, std::numeric_limits<LONG>::min(),
                                                 std::numeric_limits<LONG>::max()));
}

// The text of an extent call; false for a negative count or a missing text.
bool TextOf(LPCSTR text, int count, std::string_view& out) {
    if (count < 0 || (count > 0 && text == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    out = count > 0 ? std::string_view(text, static_cast<size_t>(count)) : std::string_view();
    return true;
}

} // namespace
} // namespace platform

HFONT CreateFontIndirectA(const LOGFONTA* font) {
    if (font == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return platform::RegisterObject(std::make_shared<platform::Font>(*font));
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
    auto font = platform::SelectedFont(dc);
    if (!font || metrics == nullptr) return FALSE;
    *metrics = font->Metrics();
    return TRUE;
}

UINT GetOutlineTextMetricsA(HDC dc, UINT size, void* buffer) {
    auto font = platform::SelectedFont(dc);
    OUTLINETEXTMETRICA metrics{};
    platform::FontNames names;
    if (!font || !font->OutlineMetrics(metrics, names)) return 0;
    if (buffer == nullptr) return metrics.otmSize;
    std::vector<uint8_t> record = platform::OutlineTextMetricsRecord(metrics, names);
    size_t bytes = std::min<size_t>(size, record.size());
    std::memcpy(buffer, record.data(), bytes);
    return static_cast<UINT>(bytes);
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, SIZE* size) {
    return GetTextExtentExPointA(dc, text, count, 0, nullptr, nullptr, size);
}

BOOL GetTextExtentExPointA(HDC dc, LPCSTR text, int count, int maxExtent, int* fit, int* dx,
                           SIZE* size) {
    auto font = platform::SelectedFont(dc);
    std::string_view chars;
    if (!font || size == nullptr || !platform::TextOf(text, count, chars)) return FALSE;
    if (fit != nullptr || dx != nullptr) {
        std::vector<int64_t> partial;
        size_t fitting = font->Fit(chars, maxExtent, dx != nullptr ? &partial : nullptr);
        if (fit != nullptr) *fit = static_cast<int>(fitting);
        for (size_t i = 0; i < partial.size(); ++i)
            dx[i] = platform::Clamped(partial[i]);
    }
    *size = SIZE{platform::Clamped(font->Extent(chars)), font->Metrics().tmHeight};
    return TRUE;
}
