#include "platform/controls/rich_edit/rich_object.h"

#include <algorithm>

#include "platform/controls/rich_edit/picture_decode.h"

namespace platform {

namespace {

constexpr int64_t kTwipsPerPixel = 15;

// A scale of nothing or less counts as none.
int Scaled(int64_t twips, int64_t percent) {
    if (percent <= 0) percent = 100;
    int64_t value = std::clamp<int64_t>(twips, 0, kRichObjectMaxTwips);
    return static_cast<int>(std::clamp<int64_t>(value * std::min<int64_t>(percent, 100000) / 100,
                                                0, kRichObjectMaxTwips));
}

// A goal size is in twips; without one a bitmap's \picw counts its pixels and a metafile's
// hundredths of a millimetre.
int64_t Natural(RichObjectKind kind, int64_t goal, int64_t words, int decoded) {
    if (goal > 0) return goal;
    if (decoded > 0) return decoded * kTwipsPerPixel;
    if (words <= 0) return 0;
    if (kind == RichObjectKind::OtherPicture) return std::min<int64_t>(words, INT32_MAX) * 1440 / 2540;
    return std::min<int64_t>(words, INT32_MAX) * kTwipsPerPixel;
}

} // namespace

std::shared_ptr<const RichObject> MakeRichPicture(std::string group, RichObjectKind kind,
                                                  std::string_view data,
                                                  const RichObjectSize& size) {
    auto object = std::make_shared<RichObject>();
    object->kind = kind;
    object->group = std::move(group);
    DecodedPicture picture;
    bool decoded = (kind == RichObjectKind::Png && DecodePng(data, picture)) ||
                   (kind == RichObjectKind::Jpeg && DecodeJpeg(data, picture)) ||
                   (kind == RichObjectKind::Dib && DecodeDib(data, picture));
    if (decoded) {
        object->pixelWidth = picture.width;
        object->pixelHeight = picture.height;
        object->pixels = std::move(picture.pixels);
    }
    object->width =
        Scaled(Natural(kind, size.goalWidth, size.width, object->pixelWidth), size.scaleX);
    object->height =
        Scaled(Natural(kind, size.goalHeight, size.height, object->pixelHeight), size.scaleY);
    return object;
}

std::shared_ptr<const RichObject> MakeRichEmbedded(std::string group, const RichObjectSize& size) {
    auto object = std::make_shared<RichObject>();
    object->kind = RichObjectKind::Embedded;
    object->group = std::move(group);
    object->width = Scaled(size.width, size.scaleX);
    object->height = Scaled(size.height, size.scaleY);
    return object;
}

} // namespace platform
