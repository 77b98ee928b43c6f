#include "classes/surface/sprite_plane.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/mem_surface.h"

namespace {

// A square of one colour placed with its top left corner at a point.
class Square final : public SpriteEntry {
public:
    explicit Square(SurfaceHandle* image) : image_(image) {}
    SurfaceHandle* GetDrawnImage() const override { return image_; }
    void Place(int32_t x, int32_t y) {
        next = {x, y, x + image_->GetWidth(), y + image_->GetHeight()};
    }

private:
    SurfaceHandle* image_;
};

class SpritePlaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(CreatePaletteContext(), nullptr);
        cMemSurface format;
        ASSERT_EQ(format.InitFormat(32), 1);
        picture_.Attach(format.MakeInstance(200, 100));
        picture_.FillRectAll(0x00FFFFFF);
        // A background that differs at every pixel, so that a wrong restore shows.
        for (int32_t y = 0; y < 100; y += 5)
            picture_.FillRect(0, y, 200, 5, 0x000101 * uint32_t(y));
        plane_.SetPicture(&picture_);
        plane_.SetHosted(true);
    }
    void TearDown() override {
        for (auto& sprite : sprites_)
            plane_.Remove(sprite.get(), false);
        sprites_.clear();
        images_.clear();
        picture_.Release();
        ReleasePaletteContext();
    }

    SurfaceHandle* Image(uint32_t colour, int32_t size) {
        auto image = std::make_unique<SurfaceHandle>();
        image->Create(size, size, &picture_);
        image->FillRectAll(colour);
        images_.push_back(std::move(image));
        return images_.back().get();
    }
    Square* Add(uint32_t colour, int32_t x, int32_t y, int32_t size = 20) {
        auto sprite = std::make_unique<Square>(Image(colour, size));
        sprite->Place(x, y);
        sprite->drawn = sprite->next;
        sprite->drawWord = 0;
        EXPECT_TRUE(plane_.Insert(sprite.get()));
        plane_.SpriteChanged(sprite.get());
        sprites_.push_back(std::move(sprite));
        return sprites_.back().get();
    }
    void Move(Square* sprite, int32_t x, int32_t y) {
        sprite->Place(x, y);
        plane_.SpriteChanged(sprite);
    }
    // Refresh as the surface runs it: the passes, then the dirty list is flushed.
    uint64_t Refresh() {
        const uint64_t before = plane_.blits;
        plane_.RunPasses();
        plane_.dirty.Clear();
        return plane_.blits - before;
    }
    uint32_t At(int32_t x, int32_t y) {
        uint32_t colour = 0xDEADBEEF;
        picture_.GetPixel(x, y, &colour);
        return colour;
    }
    // Every pixel of the picture.
    std::vector<uint32_t> Pixels() {
        std::vector<uint32_t> pixels;
        for (int32_t y = 0; y < 100; ++y)
            for (int32_t x = 0; x < 200; ++x)
                pixels.push_back(At(x, y));
        return pixels;
    }

    SurfaceHandle picture_;
    SpritePlane plane_;
    std::vector<std::unique_ptr<SurfaceHandle>> images_;
    std::vector<std::unique_ptr<Square>> sprites_;
};

TEST_F(SpritePlaneTest, MovingOneSpriteRedrawsOnlyWhatItsPlacesTouch) {
    const std::vector<uint32_t> background = Pixels();
    Add(0x0000FF, 10, 10);
    Add(0x00FF00, 20, 15);
    Add(0xFF0000, 30, 20);
    Square* far = Add(0x00FFFF, 150, 60);
    Square* mover = Add(0xFF00FF, 100, 70, 10);
    EXPECT_EQ(Refresh(), 5u);
    EXPECT_EQ(Refresh(), 0u) << "nothing changed since";
    EXPECT_EQ(At(35, 25), 0xFF0000u);
    EXPECT_EQ(At(155, 65), 0x00FFFFu);

    // Onto the stack of three: those and the mover, not the far one.
    Move(mover, 12, 12);
    EXPECT_EQ(Refresh(), 4u);
    EXPECT_EQ(At(14, 14), 0xFF00FFu);
    EXPECT_EQ(At(105, 75), background[75 * 200 + 105]);

    // Off again: the stack is drawn once more under where it was.
    Move(mover, 100, 70);
    EXPECT_EQ(Refresh(), 4u);
    EXPECT_EQ(At(14, 14), 0x0000FFu);
    (void)far;
    EXPECT_EQ(plane_.GetSprites().size(), 5u);
}

TEST_F(SpritePlaneTest, RemovedAndHiddenSpritesLeaveTheExactBackground) {
    const std::vector<uint32_t> background = Pixels();
    Square* a = Add(0x0000FF, 10, 10);
    Square* b = Add(0x00FF00, 25, 20);
    Refresh();
    ASSERT_NE(Pixels(), background);

    a->flags |= kSpriteHideRequested;
    plane_.SpriteChanged(a);
    Refresh();
    EXPECT_EQ(At(12, 12), background[12 * 200 + 12]);
    EXPECT_EQ(At(27, 22), 0x00FF00u) << "the sprite over it stays";
    a->flags = (a->flags & ~kSpriteHidden) | kSpriteShowRequested;
    plane_.SpriteChanged(a);
    Refresh();
    EXPECT_EQ(At(12, 12), 0x0000FFu);
    EXPECT_EQ(At(27, 22), 0x00FF00u) << "still in front";

    plane_.Remove(b, true);
    plane_.Remove(a, true);
    EXPECT_EQ(plane_.GetSprites().size(), 2u) << "two ghosts";
    Refresh();
    EXPECT_TRUE(plane_.GetSprites().empty());
    EXPECT_EQ(Pixels(), background);
}

TEST_F(SpritePlaneTest, DrawingUnderSpritesLiftsThemFirst) {
    const std::vector<uint32_t> background = Pixels();
    Square* a = Add(0x0000FF, 10, 10);
    Refresh();
    plane_.LiftSprites({0, 0, 12, 12});
    EXPECT_EQ(At(15, 15), background[15 * 200 + 15]);
    EXPECT_GT(plane_.dirty.GetCount(), 0);
    picture_.FillRect(0, 0, 12, 12, 0x123456);
    plane_.spritesChanged = true;
    Refresh();
    EXPECT_EQ(At(15, 15), 0x0000FFu) << "drawn again over the new picture";
    a->flags |= kSpriteHideRequested;
    plane_.SpriteChanged(a);
    Refresh();
    EXPECT_EQ(At(11, 11), 0x123456u);
    EXPECT_EQ(At(15, 15), background[15 * 200 + 15]);
}

TEST_F(SpritePlaneTest, AnUnhostedSurfaceKeepsNoDirtyList) {
    plane_.SetHosted(false);
    Add(0x0000FF, 10, 10);
    plane_.RunPasses();
    EXPECT_EQ(At(15, 15), 0x0000FFu);
    EXPECT_EQ(plane_.dirty.GetCount(), 0);
    EXPECT_EQ(plane_.dirty.GetRects(), nullptr);
}

TEST_F(SpritePlaneTest, LayersOrderTheList) {
    Square* a = Add(1, 0, 0, 1);
    Square* b = Add(2, 0, 0, 1);
    Square* c = Add(3, 0, 0, 1);
    auto order = [&] {
        std::vector<SpriteEntry*> list = plane_.GetSprites();
        return list;
    };
    EXPECT_EQ(order(), (std::vector<SpriteEntry*>{a, b, c}));
    plane_.SetLayer(a, 1);
    EXPECT_EQ(order(), (std::vector<SpriteEntry*>{b, c, a}));
    plane_.MoveToBack(c);
    EXPECT_EQ(order(), (std::vector<SpriteEntry*>{c, b, a}));
    plane_.MoveForward(b);
    EXPECT_EQ(order(), (std::vector<SpriteEntry*>{c, b, a})) << "not across layers";
    plane_.MoveAfter(c, b);
    EXPECT_EQ(order(), (std::vector<SpriteEntry*>{b, c, a}));
    plane_.MoveBefore(a, b);
    EXPECT_EQ(order(), (std::vector<SpriteEntry*>{b, c, a})) << "other layer";
    plane_.SetLayer(b, 1);
    EXPECT_EQ(order(), (std::vector<SpriteEntry*>{c, a, b}));
    plane_.MoveBackward(b);
    EXPECT_EQ(order(), (std::vector<SpriteEntry*>{c, b, a}));
}

TEST(SpritePlaneMarking, AHundredThousandChainedSpritesAreAllMarked) {
    std::vector<SpriteEntry> sprites(100000);
    SpritePlane plane;
    for (size_t i = 0; i < sprites.size(); ++i) {
        const int32_t x = int32_t(i) * 2;
        sprites[i].next = sprites[i].drawn = {x, 0, x + 3, 3};
        plane.Insert(&sprites[i]);
    }
    sprites.back().flags |= kSpriteHidden;
    plane.MarkSpriteDirty(&sprites[0]);
    size_t marked = 0;
    for (const SpriteEntry& sprite : sprites)
        marked += (sprite.flags & kSpriteMarked) ? 1 : 0;
    EXPECT_EQ(marked, sprites.size() - 1);
}

} // namespace
