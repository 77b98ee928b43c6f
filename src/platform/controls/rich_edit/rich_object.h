// A picture or an embedded object in a rich-edit document. It takes one character position
// (a space in the text) and shows as a box of its size: PNG, JPEG and device-independent
// bitmap pictures drawn in it, any other picture (metafiles among them) and an embedded
// object as a frame. Its RTF group is kept as it was read and written back unchanged, so a
// document loses nothing it cannot show.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr char kRichObjectChar = ' ';
// A box is at most this many twips a side (32767 pixels at 96 dots an inch).
inline constexpr int kRichObjectMaxTwips = 32767 * 15;

enum class RichObjectKind : uint8_t { Png, Jpeg, Dib, OtherPicture, Embedded };

// The size words of a \pict or \object group as read; -1 where a word was missing.
struct RichObjectSize {
    int64_t width = -1;      // \picw (pixels, or 0.01 mm for a metafile) or \objw (twips)
    int64_t height = -1;     // \pich or \objh
    int64_t goalWidth = -1;  // \picwgoal (twips)
    int64_t goalHeight = -1; // \pichgoal
    int64_t scaleX = 100;    // \picscalex or \objscalex (percent)
    int64_t scaleY = 100;
};

struct RichObject {
    RichObjectKind kind = RichObjectKind::OtherPicture;
    std::string group; // "{\pict ...}" or "{\object ...}"
    int width = 0;     // twips, scaled
    int height = 0;
    // The decoded picture, rows top first, 0xAARRGGBB; none when it is shown as a frame.
    int pixelWidth = 0;
    int pixelHeight = 0;
    std::vector<uint32_t> pixels;

    bool Shown() const { return !pixels.empty(); }
    // Everything else follows from the group.
    bool operator==(const RichObject& other) const { return group == other.group; }
};

// A picture from its group, kind, data bytes and size words; its data is decoded here.
std::shared_ptr<const RichObject> MakeRichPicture(std::string group, RichObjectKind kind,
                                                  std::string_view data,
                                                  const RichObjectSize& size);
std::shared_ptr<const RichObject> MakeRichEmbedded(std::string group, const RichObjectSize& size);

} // namespace platform
