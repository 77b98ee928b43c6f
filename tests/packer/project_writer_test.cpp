#include "packer/project_writer.h"

#include <gtest/gtest.h>

#include "packer/byte_cursor.h"
#include "packer/class_list.h"
#include "script/project/project_format.h"

namespace pf = project_format;
using packer_test::ByteCursor;
using packer_test::ListChunks;

namespace {

PackElement Raw(const std::string& name, uint16_t width, uint16_t height, uint16_t depth) {
    PackElement e;
    e.kind = PackElement::Kind::RawImage;
    e.name = name;
    e.width = width;
    e.height = height;
    e.depth = depth;
    e.data.assign(size_t{SurfacePitch(width, depth)} * height, 0x5A);
    return e;
}

PackBank& Images(PackEntry& entry) {
    return BankOfType(entry, pf::kImageBank);
}

std::vector<uint8_t> Write(const PackProject& project) {
    ProjectChunkWriter w;
    std::string error;
    EXPECT_TRUE(WriteProjectData(project, w, error)) << error;
    return w.Bytes();
}

} // namespace

TEST(ProjectWriter, TopLevelChunksCarryVersionModeAndClassList) {
    PackProject project;
    project.classes = {"Sprite", "Window"};
    project.entries.emplace_back().name = "Main";
    const std::vector<uint8_t> bytes = Write(project);

    const auto chunks = ListChunks(bytes, 0);
    ASSERT_EQ(chunks.size(), 4u);
    EXPECT_EQ(chunks[0].id, pf::kVersionChunk);
    EXPECT_EQ(chunks[1].id, pf::kHeaderChunk);
    EXPECT_EQ(chunks[2].id, pf::kApplicationEntryChunk);
    EXPECT_EQ(chunks[3].id, pf::kEndChunk);
    EXPECT_EQ(chunks[3].body + chunks[3].size, bytes.size());

    ByteCursor c{bytes, chunks[0].body};
    EXPECT_EQ(c.U32(), pf::kCurrentVersion);
    c.at = chunks[1].body;
    EXPECT_EQ(c.U32(), 0u);
    EXPECT_EQ(c.U32(), 1u); // mode 1: no code block
    EXPECT_EQ(c.U32(), 0u);
    EXPECT_EQ(c.Block(), std::string("\x02\0\0\0Sprite\0Window\0", 18));
    EXPECT_EQ(c.at, chunks[1].body + chunks[1].size);
}

TEST(ProjectWriter, DefaultClassListIsTheBuiltInListWithoutTheInterpreter) {
    const auto names = BuiltinClassList();
    ASSERT_EQ(names.size(), 75u);
    EXPECT_EQ(names.front(), "Sprite");
    EXPECT_EQ(names.back(), "Point3D");
}

TEST(ProjectWriter, RefusesWhatTheFormatCannotHold) {
    const auto refused = [](auto change) {
        PackProject project;
        PackEntry& entry = project.entries.emplace_back();
        entry.name = "E";
        BankOfType(entry, pf::kImageBank).elements.push_back(Raw("pic", 5, 3, 24));
        change(entry);
        ProjectChunkWriter w;
        std::string error;
        const bool ok = WriteProjectData(project, w, error);
        EXPECT_EQ(ok, error.empty());
        return !ok;
    };
    EXPECT_FALSE(refused([](PackEntry&) {}));
    EXPECT_FALSE(refused([](PackEntry& e) { Images(e).name = std::string(275, 'n'); }));
    EXPECT_TRUE(refused([](PackEntry& e) { Images(e).name = std::string(276, 'n'); }));
    EXPECT_TRUE(refused([](PackEntry& e) { Images(e).elements[0].data.pop_back(); }));
    EXPECT_TRUE(refused([](PackEntry& e) { Images(e).elements[0].depth = 12; }));
    EXPECT_TRUE(refused([](PackEntry& e) { Images(e).elements[0].paletteIndex = 0; }));
    EXPECT_TRUE(refused([](PackEntry& e) { Images(e).elements[0].mask.assign(14, 1); }));
    EXPECT_TRUE(refused([](PackEntry& e) { BankOfType(e, 9); }));
    EXPECT_TRUE(refused([](PackEntry& e) {
        BankOfType(e, pf::kBinaryBank).elements.push_back(Raw("misplaced", 1, 1, 8));
    }));
    EXPECT_TRUE(refused([](PackEntry& e) { e.name = std::string(70000, 'e'); }));
}
