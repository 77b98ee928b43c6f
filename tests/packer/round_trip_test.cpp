// Packs a folder with the packer and reads it back with the player's own project reader.
#include <gtest/gtest.h>

#include <memory>

#include "foundation/streams/in_stream.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/surface.h"
#include "packer/manifest.h"
#include "packer/pack_output.h"
#include "packer/project_writer.h"
#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/project/image_bank.h"
#include "script/project/project_entry.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"
#include "script/project/project_test_data.h"
#include "support/temp_dir.h"

namespace pf = project_format;

namespace {

using project_test::ReadAll;

// A 2 x 1 BMP at 24 bits.
const std::string kBmp("BM\x3E\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\2\0\0\0\1\0\0\0"
                       "\1\0\x18\0\0\0\0\0\x08\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"
                       "\1\2\3\4\5\6\0\0",
                       62);

class RoundTripTest : public ::testing::Test {
protected:
    void SetUp() override { CreatePaletteContext(); }
    void TearDown() override {
        reader_.reset();
        ReleasePaletteContext();
    }

    // Packs the folder "p" into a bare project file and opens it.
    ResultCode PackAndOpen() {
        PackProject project;
        std::string error;
        EXPECT_TRUE(ReadManifestFile(dir_.Linux("p"), project, error)) << error;
        ProjectChunkWriter data;
        EXPECT_TRUE(WriteProjectData(project, data, error)) << error;
        EXPECT_TRUE(WriteBareProject(data.Bytes(), dir_.Linux("out.zpr"), error)) << error;
        reader_ = std::make_unique<CProjectFile>();
        return reader_->Open(nullptr, dir_.Win("out.zpr").c_str(), nullptr);
    }

    CProjectEntry* EntryAt(uint32_t i) { return project_test::EntryAt(*reader_, i); }

    test_support::TempDir dir_;
    std::unique_ptr<CProjectFile> reader_;
};

} // namespace

TEST_F(RoundTripTest, EveryBankTypeReadsBackAsPacked) {
    std::string big;
    for (int i = 0; i < 500; ++i)
        big += "sound sample " + std::to_string(i) + ";";
    dir_.WriteFile("p/main.zs", "x = 1;");
    dir_.WriteFile("p/second.zs", "y = 2;");
    dir_.WriteFile("p/init.zs", "z = 3;");
    dir_.WriteFile("p/input.txt", "keys");
    dir_.WriteFile("p/dot.bmp", kBmp);
    dir_.WriteFile("p/grey.raw", std::string("\x10\x20\x30\x40\x50\x60", 6));
    dir_.WriteFile("p/grey.pal", std::string(1024, '\x33'));
    dir_.WriteFile("p/walk.anm", "animation bytes");
    dir_.WriteFile("p/beep.wav", big);
    dir_.WriteFile("p/tune.mod", "music");
    dir_.WriteFile("p/world.zyb", "world");
    dir_.WriteFile("p/blob.bin", std::string("\0\1\2\3", 4));
    dir_.WriteFile("p/project.zpk", R"(classes Sprite Bank
entry Game
  cpu-share 25
  colour 0x102030
  use-palette yes
  init-source init.zs
  game-input on input.txt
  module main.zs
  module second.zs packed
  bank image Pictures
    file dot.bmp x=4 y=5
    raw grey.raw width=3 height=2 depth=8 palette=grey.pal packed
  bank animation Moves
    file walk.anm field1=7 field2=8
  bank sound
    file beep.wav packed
  bank music
    file tune.mod
  bank string Texts
    text hello "Hello" folder=en
  bank 3d
    file world.zyb
  bank binary
    file blob.bin packed
entry Other
  module main.zs name=other.zs
  bank string
)");
    ASSERT_EQ(PackAndOpen(), kResultOk);

    const PtrArray& classes = reader_->GetClassNames();
    ASSERT_EQ(classes.GetCount(), 2);
    EXPECT_STREQ(static_cast<const char*>(classes.GetAt(0)), "Sprite");
    EXPECT_STREQ(static_cast<const char*>(classes.GetAt(1)), "Bank");
    EXPECT_EQ(reader_->GetVersion(), pf::kCurrentVersion);
    EXPECT_EQ(reader_->GetMode(), 1u);

    ASSERT_EQ(reader_->GetEntries().GetCount(), 2);
    CProjectEntry* game = EntryAt(0);
    EXPECT_EQ(reader_->GetCurrentEntry(), game);
    EXPECT_STREQ(game->name, "Game");
    EXPECT_EQ(game->cpuShare, 25u);
    EXPECT_EQ(game->colourSetting, 0x102030u);
    EXPECT_EQ(game->flags, 1u);
    EXPECT_EQ(game->paletteFlag, 1u);
    EXPECT_STREQ(game->initialSource, "z = 3;");
    EXPECT_EQ(game->gameInputFlag, 1u);
    EXPECT_STREQ(game->gameInputText, "keys");
    EXPECT_EQ(game->displaySettings[0], 1u);
    EXPECT_EQ(game->lastSettings[0], 1u);

    CBank* sources = reader_->FindBank(pf::kSourceBank);
    ASSERT_NE(sources, nullptr);
    ASSERT_EQ(sources->GetElementCount(), 2u);
    EXPECT_EQ(ReadAll(sources->GetElement(0)->OpenStream(0)), "x = 1;");
    EXPECT_EQ(ReadAll(sources->GetElement(1)->OpenStream(0)), "y = 2;");
    char fullName[128];
    sources->GetElement(1)->GetFullName(fullName, sizeof fullName);
    EXPECT_STREQ(fullName, "Game://Source/second.zs");

    for (uint32_t type = 0; type <= pf::kBinaryBank; ++type) {
        ASSERT_NE(reader_->FindBank(type), nullptr) << type;
    }
    EXPECT_EQ(ReadAll(reader_->FindElementByName("Game://Sounds/beep.wav", 1, 0)), big);
    EXPECT_EQ(ReadAll(reader_->FindElementByName("music/TUNE.MOD", 1, 0)), "<null>");
    EXPECT_EQ(ReadAll(reader_->FindElementByName("game://musics/TUNE.MOD", 1, 0)), "music");
    EXPECT_EQ(ReadAll(reader_->FindElementByName("Game://3D/world.zyb", 1, 0)), "world");
    EXPECT_EQ(ReadAll(reader_->FindElementByName("Game://Binary/blob.bin", 1, 0)),
              std::string("\0\1\2\3", 4));

    CBank* anims = reader_->FindBankByName("Moves");
    ASSERT_NE(anims, nullptr);
    auto* walk = static_cast<CAnimElement*>(anims->GetElement(0));
    EXPECT_EQ(walk->animWord1, 7u);
    EXPECT_EQ(walk->animWord2, 8u);
    EXPECT_EQ(ReadAll(walk->OpenStream(0)), "animation bytes");

    CBank* strings = reader_->FindBank(pf::kStringBank);
    CElement* hello = reader_->ResolveElement("Game://Texts/en/hello", pf::kStringBank, 1);
    ASSERT_NE(hello, nullptr);
    ASSERT_EQ(strings->LoadElementData(0, 0), 1);
    EXPECT_EQ(ReadAll(hello->OpenStream(0)), std::string("Hello\0", 6));

    auto* images = static_cast<CImageBank*>(reader_->FindBank(pf::kImageBank));
    EXPECT_STREQ(images->GetName(), "Pictures");
    EXPECT_EQ(images->GetPaletteCount(), 1u);
    ASSERT_EQ(images->LoadElementData(1, 0), 1);
    auto* grey = static_cast<CImageElement*>(images->GetElement(1));
    ASSERT_NE(grey->GetSurface(), nullptr);
    EXPECT_EQ(grey->GetSurface()->GetWidth(), 3);
    EXPECT_EQ(grey->GetSurface()->GetHeight(), 2);
    // Decoding an image file needs the interpreter's image-file manager: check its record
    // where the reader found it, the file's bytes stored as they are.
    const std::string file = dir_.ReadFile("out.zpr");
    const std::string record = file.substr(images->GetDataOffset(0), 20 + kBmp.size());
    EXPECT_EQ(record.substr(0, 20), std::string("\4\0\5\0\xFF\xFF\xFF\xFF\xFF\xFF\2\0\1\0\x18\0"
                                                "\0\0\0\0",
                                                20));
    EXPECT_EQ(record.substr(20), kBmp);

    CProjectEntry* other = EntryAt(1);
    CBank* otherSources = reader_->FindBankInEntry(other, pf::kSourceBank);
    ASSERT_NE(otherSources, nullptr);
    EXPECT_STREQ(otherSources->GetElement(0)->GetNameText(), "other.zs");
    // Types below the highest one used get empty banks: a bank's index is its type.
    CBank* filler = reader_->FindBankInEntry(other, pf::kImageBank);
    ASSERT_NE(filler, nullptr);
    EXPECT_STREQ(filler->GetName(), "Images");
    EXPECT_EQ(filler->GetElementCount(), 0u);
    EXPECT_NE(reader_->FindBankInEntry(other, pf::kStringBank), nullptr);
    EXPECT_EQ(reader_->FindBankInEntry(other, pf::k3DBank), nullptr);
}

TEST_F(RoundTripTest, TheAppendedProjectIsFoundThroughTheTrailer) {
    dir_.WriteFile("player", std::string(1000, '\x7F'));
    dir_.WriteFile("p/project.zpk", "entry Solo\nmodule m.zs\n");
    dir_.WriteFile("p/m.zs", "a = 1;");
    PackProject project;
    std::string error;
    ASSERT_TRUE(ReadManifestFile(dir_.Linux("p"), project, error)) << error;
    ProjectChunkWriter data;
    ASSERT_TRUE(WriteProjectData(project, data, error)) << error;
    ASSERT_TRUE(WriteAppendedProject(dir_.Linux("player"), data.Bytes(), dir_.Linux("game"), error))
        << error;

    reader_ = std::make_unique<CProjectFile>();
    ProjectOffsetWord() = 0xFFFFFFFF;
    ASSERT_EQ(reader_->Locate(dir_.Win("game").c_str(), 0xFFFFFFFF, nullptr), kResultOk);
    EXPECT_EQ(ProjectOffsetWord(), 1000u);
    EXPECT_EQ(ProjectTrailerMarker(), pf::kTrailerMarker);
    ASSERT_NE(reader_->GetCurrentEntry(), nullptr);
    EXPECT_STREQ(reader_->GetCurrentEntry()->name, "Solo");
    EXPECT_EQ(ReadAll(reader_->FindElementByIndex(0, pf::kSourceBank, 0)->OpenStream(0)), "a = 1;");
}
