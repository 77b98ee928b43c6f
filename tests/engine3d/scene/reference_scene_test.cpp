// The reference scene's frame as the renderer sees it, and the reference world's file, each
// compared with a checked-in expected copy in golden/. With ZORV_WRITE_GOLDEN set the
// copies are written instead (then read the differences before committing them).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "engine3d/files/binary_world_file.h"
#include "engine3d/files/zyb_format.h"
#include "engine3d/scene/byte_sink.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/support/reference_scene.h"
#include "engine3d/scene/support/scene_fixture.h"
#include "foundation/streams/mem_in_stream.h"

namespace {

std::string GoldenPath(const char* name) {
    return std::string(ZORV_SOURCE_DIR) + "/tests/engine3d/scene/golden/" + name;
}

std::vector<uint8_t> ReadGolden(const char* name) {
    std::ifstream in(GoldenPath(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// True when the test should write its golden copy rather than compare with it.
bool WriteGolden(const char* name, const std::vector<uint8_t>& bytes) {
    if (std::getenv("ZORV_WRITE_GOLDEN") == nullptr) return false;
    std::ofstream(GoldenPath(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return true;
}

// The renderer calls and polygon draws in the order they happened, one a line; pointers
// become #1, #2... by first appearance so that the text is the same at every run.
class RecordText {
public:
    std::string Of(const RecordingDevice& device) {
        std::string text;
        size_t draw = 0;
        for (size_t call = 0; call <= device.calls.size(); ++call) {
            for (; draw < device.draws.size() && device.draws[draw].callsBefore == call; ++draw)
                text += Draw(device.draws[draw]);
            if (call == device.calls.size()) break;
            const RecordedCall& c = device.calls[call];
            // One statement each: the operands of one expression may be named in any order.
            text += c.slot;
            for (const void* p : {c.first, c.second, c.third})
                text += " " + Id(p);
            for (uint32_t value : c.values)
                text += " " + std::to_string(value);
            // A batch's triangles make no draws of their own: the object names what it shows.
            if (c.slot == "DrawPolygonBatch" && c.third != nullptr) {
                char name[64] = "-";
                static_cast<const L3DObject*>(c.third)->GetName(name, sizeof name);
                text += std::string(" ") + name;
            }
            // Sprites and the background quad with their corners' place and texture.
            if (c.slot == "DrawQuad" || c.slot == "DrawElement2D")
                for (const SpriteCorner& corner : static_cast<const LSprite*>(c.second)->corners) {
                    char xyuv[96];
                    std::snprintf(xyuv, sizeof xyuv, " (%.2f %.2f %.4f %.4f)", corner.x, corner.y,
                                  corner.u, corner.v);
                    text += xyuv;
                }
            text += "\n";
        }
        return text;
    }

private:
    std::string Id(const void* p) {
        if (p == nullptr) return "-";
        auto [at, added] = ids_.emplace(p, int(ids_.size()) + 1);
        return "#" + std::to_string(at->second);
    }

    static std::string Draw(const RecordedDraw& d) {
        char name[64] = "-", material[64] = "-";
        if (d.polygon->owner != nullptr) d.polygon->owner->GetName(name, sizeof name);
        if (d.material != nullptr) d.material->GetName(material, sizeof material);
        std::string line = std::string("  draw ") + name + " " + material;
        for (const auto& v : d.vertices) {
            char xyz[64];
            std::snprintf(xyz, sizeof xyz, " (%.2f %.2f %.2f)", v[0], v[1], v[2]);
            line += xyz;
        }
        return line + "\n";
    }

    std::map<const void*, int> ids_;
};

class ReferenceSceneTest : public SceneTest {
protected:
    ReferenceSceneTest() : scene(BuildReferenceScene(world, device)) {}

    ReferenceScene scene;
};

// One frame of the scene as text: the calls and draws, then each batch's indices.
std::string FrameText(RecordingDevice& device, L3DWorld& world, const ReferenceScene& scene) {
    auto* screen = static_cast<RecordingRenderer*>(device.CreateRenderer(&world));
    screen->AttachView(scene.camera);
    device.calls.clear();
    device.draws.clear();
    screen->RenderFrame();
    std::string text = RecordText().Of(device);
    for (const auto& indices : screen->batchIndices) {
        text += "  batch";
        for (uint16_t i : indices)
            text += " " + std::to_string(i);
        text += "\n";
    }
    return text;
}

// A frame on a software back end, then one on a "hardware" one (whose world batches its
// triangles) with the animation further on and the camera turned.
TEST_F(ReferenceSceneTest, FramesRecordAsTheExpectedCalls) {
    scene.walker->Sequences()->SetFrame(0);
    std::string text = "== software\n" + FrameText(device, world, scene);

    RecordingDevice hardware;
    hardware.hardware = 1;
    L3DWorld accelerated(&hardware, 0, nullptr, nullptr);
    ReferenceScene turned = BuildReferenceScene(accelerated, hardware);
    turned.walker->Sequences()->SetFrame(5);
    // The background follows the turn.
    turned.camera->SetAngles(0.05f, 0.1f, 0.08f, 0);
    text += "== hardware\n" + FrameText(hardware, accelerated, turned);

    const std::vector<uint8_t> bytes(text.begin(), text.end());
    if (WriteGolden("reference_frame.txt", bytes)) GTEST_SKIP() << "written";
    const std::vector<uint8_t> expected = ReadGolden("reference_frame.txt");
    EXPECT_EQ(text, std::string(expected.begin(), expected.end()));
}

// Chunks as (tag, bytes), the top level first and each top-level chunk's own chunks after
// it, so that a difference names the chunk it is in.
std::vector<std::pair<std::string, std::vector<uint8_t>>> Chunks(const std::vector<uint8_t>& b) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> chunks;
    auto u32 = [&](size_t at) {
        return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
               uint32_t(b[at + 3]) << 24;
    };
    auto walk = [&](size_t at, size_t end, const std::string& prefix, auto& self) -> void {
        while (at + 8 <= end) {
            const size_t size = u32(at + 4);
            const std::string tag =
                prefix + std::string(b.begin() + long(at), b.begin() + long(at) + 4);
            const size_t stop = std::min(end, at + 8 + size);
            chunks.emplace_back(tag,
                                std::vector<uint8_t>(b.begin() + long(at), b.begin() + long(stop)));
            // The container's payload starts with the format version.
            if (prefix.empty()) self(at + 8 + (tag == "HZYB" ? 4 : 0), stop, tag + "/", self);
            at = stop;
        }
    };
    walk(0, b.size(), "", walk);
    return chunks;
}

constexpr uint32_t kEverything = 0xFFFFFFFF & ~zyb::kSaveTextureFolder;

TEST_F(ReferenceSceneTest, TheWorldSavesAsTheExpectedFileAndReadsBack) {
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    LBinaryWorldFile file;
    ASSERT_EQ(file.WriteWorld(writer, world, kEverything), 0);
    const std::vector<uint8_t>& bytes = sink.Bytes();
    if (WriteGolden("reference_world.zyb", bytes)) GTEST_SKIP() << "written";

    const auto chunks = Chunks(bytes);
    const auto expected = Chunks(ReadGolden("reference_world.zyb"));
    ASSERT_EQ(chunks.size(), expected.size());
    for (size_t i = 0; i < chunks.size(); ++i) {
        EXPECT_EQ(chunks[i].first, expected[i].first) << i;
        EXPECT_EQ(chunks[i].second, expected[i].second) << chunks[i].first;
    }

    // The file read into a new world and saved again.
    RecordingDevice otherDevice;
    L3DWorld other(&otherDevice, 0, nullptr, nullptr);
    CMemInStream in;
    in.Attach(bytes.data(), uint32_t(bytes.size()));
    ASSERT_EQ(LBinaryWorldFile().LoadWorld(&in, &other, 0xFFF, nullptr), 1);
    MemoryByteSink again;
    ChunkWriter againWriter(again);
    ASSERT_EQ(LBinaryWorldFile().WriteWorld(againWriter, other, kEverything), 0);
    const auto reread = Chunks(again.Bytes());
    ASSERT_EQ(reread.size(), chunks.size());
    for (size_t i = 0; i < chunks.size(); ++i) {
        EXPECT_EQ(reread[i].first, chunks[i].first) << i;
        // Every chunk comes back byte for byte, but the sprite list's: it holds only a count
        // and empty records, which no reader takes back, so the world read has no sprites
        // (and the container holding it is compared through its other chunks).
        if (chunks[i].first == "HZYB" || chunks[i].first == "HZYB/BSPR") continue;
        EXPECT_EQ(reread[i].second, chunks[i].second) << chunks[i].first;
    }
}

} // namespace
