// Movie editing against a plain model: the movie as one cell per time unit, each naming the
// frame shown there. Any run of selections, cuts, copies, clears, pastes, undos, segment
// inserts (of other movies or of itself) and deletes, with ranges anywhere, must leave the
// movie showing the model's frames with the model's duration, time and selection.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "platform/media/movie/movie.h"

namespace {

using platform::movie::BuiltMedia;
using platform::movie::Movie;
using platform::movie::Picture;

constexpr uint32_t kGap = 0xFFFFFFFF;
// The model grows by copying cells; past this many an insert is left out of both.
constexpr size_t kLongest = 6000;

struct Input {
    const uint8_t* data;
    size_t size;

    template <class T> T Take() {
        T value{};
        size_t n = size < sizeof value ? size : sizeof value;
        std::memcpy(&value, data, n);
        data += n;
        size -= n;
        return value;
    }
};

struct Model {
    std::vector<uint32_t> cells;
    int64_t selectionStart = 0;
    int64_t selectionLength = 0;
    int64_t time = 0;
};

struct Range {
    int64_t start;
    int64_t length;
};

Range Clip(int64_t start, int64_t length, int64_t total) {
    __extension__ __int128 end = length <= 0 ? start : __int128(start) + length;
    int64_t from = std::clamp<int64_t>(start, 0, total);
    int64_t to = static_cast<int64_t>(std::clamp<__int128>(end, from, total));
    return {from, to - from};
}

int64_t Length(const Model& model) {
    return static_cast<int64_t>(model.cells.size());
}

void Remove(Model& model, int64_t start, int64_t length) {
    Range range = Clip(start, length, Length(model));
    model.cells.erase(model.cells.begin() + range.start,
                      model.cells.begin() + range.start + range.length);
    if (model.time > range.start) model.time = std::max(range.start, model.time - range.length);
    Range selection = Clip(model.selectionStart, model.selectionLength, Length(model));
    model.selectionStart = selection.start;
    model.selectionLength = selection.length;
}

void Place(Model& model, const std::vector<uint32_t>& cells, int64_t at) {
    at = std::clamp<int64_t>(at, 0, Length(model));
    model.cells.insert(model.cells.begin() + at, cells.begin(), cells.end());
}

// A source movie of `frames` one-unit frames of colour (tag << 16) | index.
std::unique_ptr<Movie> Source(uint32_t tag, int32_t frames, std::vector<uint32_t>& cells) {
    auto media = std::make_shared<BuiltMedia>(1, 1);
    for (int32_t i = 0; i < frames; ++i) {
        uint32_t colour = (tag << 16) | static_cast<uint32_t>(i);
        media->Append(Picture{1, 1, {colour}}, 1);
        cells.push_back(colour);
    }
    auto movie = std::make_unique<Movie>();
    movie->InsertMedia(media, 0);
    return movie;
}

void Check(Movie& movie, const Model& model, bool frames) {
    if (movie.Duration() != Length(model) || movie.Time() != model.time ||
        movie.Selection().start != model.selectionStart ||
        movie.Selection().length != model.selectionLength)
        std::abort();
    if (!frames) return;
    for (int64_t t = 0; t < Length(model); ++t) {
        const Picture* picture = movie.PictureAt(t);
        uint32_t shown = picture ? picture->pixels[0] : kGap;
        if (shown != model.cells[static_cast<size_t>(t)]) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    std::vector<std::unique_ptr<Movie>> sources;
    std::vector<std::vector<uint32_t>> sourceCells(3);
    for (uint32_t tag = 0; tag < 3; ++tag)
        sources.push_back(Source(tag + 1, 1 + in.Take<uint8_t>() % 64, sourceCells[tag]));

    Movie movie;
    Model model;
    std::optional<Model> undo;
    std::optional<std::vector<uint32_t>> scrap;
    std::unique_ptr<Movie> scrapMovie;
    while (in.size > 0) {
        uint8_t step = in.Take<uint8_t>();
        int64_t a = in.Take<int16_t>();
        int64_t b = in.Take<int16_t>();
        // Now and then a range far outside the movie.
        if (step & 0x80) b = b * (int64_t(1) << 47);
        switch (step % 8) {
        case 0: {
            movie.SetSelection(a, b);
            Range range = Clip(a, b, Length(model));
            model.selectionStart = range.start;
            model.selectionLength = range.length;
            break;
        }
        case 1:
        case 2: {
            bool cut = step % 8 == 1;
            std::unique_ptr<Movie> piece = cut ? movie.Cut() : movie.Copy();
            scrap = std::vector<uint32_t>(model.cells.begin() + model.selectionStart,
                                          model.cells.begin() + model.selectionStart +
                                              model.selectionLength);
            platform::movie::PutMovieOnScrap(*piece);
            if (cut && model.selectionLength > 0) {
                undo = model;
                int64_t start = model.selectionStart;
                Remove(model, start, model.selectionLength);
                model.selectionStart = start;
                model.selectionLength = 0;
                model.time = start;
            }
            break;
        }
        case 3: {
            if (!scrap || model.cells.size() + scrap->size() > kLongest) break;
            scrapMovie = platform::movie::MovieFromScrap();
            movie.Paste(*scrapMovie);
            undo = model;
            int64_t at = model.selectionLength > 0 ? model.selectionStart : model.time;
            Remove(model, model.selectionStart, model.selectionLength);
            Place(model, *scrap, at);
            model.time = at + static_cast<int64_t>(scrap->size());
            model.selectionStart = model.time;
            model.selectionLength = 0;
            break;
        }
        case 4:
            if (movie.Undo() != undo.has_value()) std::abort();
            if (undo) {
                model = *undo;
                model.time = std::min(model.time, Length(model));
                undo.reset();
            }
            break;
        case 5: {
            uint8_t which = in.Take<uint8_t>() % 4;
            int64_t at = in.Take<int16_t>();
            const std::vector<uint32_t>& from = which == 3 ? model.cells : sourceCells[which];
            Range range = Clip(a, b, static_cast<int64_t>(from.size()));
            if (model.cells.size() + static_cast<size_t>(range.length) > kLongest) break;
            std::vector<uint32_t> piece(from.begin() + range.start,
                                        from.begin() + range.start + range.length);
            movie.InsertSegment(which == 3 ? movie : *sources[which], a, b, at);
            undo = model;
            Place(model, piece, at);
            break;
        }
        case 6:
            movie.DeleteSegment(a, b);
            undo = model;
            Remove(model, a, b);
            break;
        case 7:
            movie.SetTime(a);
            model.time = std::clamp<int64_t>(a, 0, Length(model));
            break;
        }
        Check(movie, model, false);
    }
    Check(movie, model, true);
    platform::movie::ClearMovieScrap();
    return 0;
}
