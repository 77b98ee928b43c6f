#include "script/project/project_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "foundation/memory/memory_helpers.h"
#include "foundation/streams/in_stream.h"
#include "graphics2d/palette/palette.h"
#include "platform/kernel/test_hooks.h"
#include "script/language/name_hash.h"
#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/project/project_entry.h"
#include "script/project/project_test_data.h"
#include "script/runtime/launch_info.h"
#include "support/temp_dir.h"

namespace {

using namespace project_test;

class ProjectFileTest : public ::testing::Test {
protected:
    void SetUp() override { CreatePaletteContext(); }
    void TearDown() override {
        reader_.reset();
        ReleasePaletteContext();
    }

    // Writes the bytes to a file and opens them with a fresh reader.
    ResultCode Open(const std::string& bytes, const CLaunchInfo* launch = nullptr) {
        dir_.WriteFile("project.dat", bytes);
        reader_ = std::make_unique<CProjectFile>();
        return reader_->Open(nullptr, dir_.Win("project.dat").c_str(), launch);
    }

    CProjectEntry* EntryAt(uint32_t i) { return project_test::EntryAt(*reader_, i); }

    test_support::TempDir dir_;
    std::unique_ptr<CProjectFile> reader_;
};

Entry GameEntry() {
    Entry e;
    e.name = "Game";
    e.cpuShare = 40;
    e.colourSetting = 0x123456;
    e.lastSetting = 9;
    e.initialSource = "Print 1";
    e.banks.push_back({kSourceBank, "Sources", {{"main", "End 0"}}});
    e.banks.push_back({kBinaryBank,
                       "Data",
                       {{"raw", "plain bytes"},
                        Element::Hole(),
                        {"zipped", std::string(5000, 'z'), true, "sub"}}});
    return e;
}

TEST_F(ProjectFileTest, ReadsEntriesSettingsAndClassList) {
    Entry second;
    second.name = "Tool";
    ASSERT_EQ(Open(Project({GameEntry(), second}, kCurrentVersion, 2, {"Sprite", "Bank", "Disk"})),
              kResultOk);
    EXPECT_EQ(reader_->GetMode(), 2u);
    EXPECT_EQ(reader_->GetVersion(), kCurrentVersion);
    const PtrArray& classes = reader_->GetClassNames();
    ASSERT_EQ(classes.GetCount(), 3u);
    EXPECT_STREQ(static_cast<const char*>(classes.GetAt(2)), "Disk");

    ASSERT_EQ(reader_->GetEntries().GetCount(), 2u);
    CProjectEntry* game = EntryAt(0);
    EXPECT_EQ(reader_->GetCurrentEntry(), game);
    EXPECT_STREQ(game->name, "Game");
    EXPECT_EQ(game->cpuShare, 40);
    EXPECT_EQ(game->colourSetting, 0x123456u);
    EXPECT_EQ(game->lastSettings[0], 9);
    EXPECT_EQ(game->lastSettings[1], 1);
    EXPECT_EQ(game->startSetting, 7u);
    EXPECT_STREQ(game->initialSource, "Print 1");
    EXPECT_EQ(game->banks.GetCount(), 2u);
    EXPECT_EQ(reader_->FindEntryByName("TOOL"), EntryAt(1));

    PtrArray names;
    ASSERT_TRUE(reader_->GetNameList(names));
    ASSERT_EQ(names.GetCount(), 2u);
    EXPECT_STREQ(static_cast<char*>(names.GetAt(1)), "Tool");
    for (uint32_t i = 0; i < names.GetCount(); ++i) {
        char* name = static_cast<char*>(names.GetAt(i));
        MemFree(&name);
    }

    EXPECT_EQ(reader_->SelectEntry(EntryAt(1)), game);
    EXPECT_EQ(reader_->SelectEntry(nullptr), EntryAt(1));
    EXPECT_EQ(reader_->GetCurrentEntry(), game);
}

TEST_F(ProjectFileTest, OlderVersionsKeepTheirLayoutAndModes) {
    Entry e;
    e.name = "Old";
    e.initialSource = "Print 2";
    e.cpuShare = 70;
    // Version 1 to 4: stored 0 and 1 are the modes 1 and 2; other values refuse the header.
    ASSERT_EQ(Open(Project({e}, kVersionBase + 3, 1)), kResultOk);
    EXPECT_EQ(reader_->GetMode(), 2u);
    EXPECT_STREQ(EntryAt(0)->initialSource, "Print 2");
    EXPECT_EQ(EntryAt(0)->cpuShare, 70);
    EXPECT_EQ(EntryAt(0)->inputSettings[0], 3);
    const PtrArray& classes = reader_->GetClassNames();
    ASSERT_EQ(classes.GetCount(), 75u);
    EXPECT_STREQ(static_cast<const char*>(classes.GetAt(0)), "Sprite");
    EXPECT_STREQ(static_cast<const char*>(classes.GetAt(74)), "Point3D");

    EXPECT_EQ(Open(Project({e}, kVersionBase + 1, 2)), kResultProjectRefused);
    ASSERT_EQ(Open(Project({e}, kVersionBase + 5, 4)), kResultProjectRefused); // no code block
    // The first version word has no mode field (mode 1) but the last setting; a word below
    // it has neither.
    e.lastSetting = 5;
    ASSERT_EQ(Open(Project({e}, kVersionBase, 2)), kResultOk);
    EXPECT_EQ(reader_->GetMode(), 1u);
    EXPECT_EQ(EntryAt(0)->lastSettings[0], 5);
    ASSERT_EQ(Open(Project({e}, 0)), kResultOk);
    EXPECT_EQ(EntryAt(0)->lastSettings[0], 1);
    EXPECT_EQ(EntryAt(0)->cpuShare, 70);
}

TEST_F(ProjectFileTest, ChunksAreSkippedExactlyAndOnlyFirstVersionAndHeaderCount) {
    ProjectChunkWriter w;
    // A size-0 header is not handled, so the real one below still counts.
    w.EmptyChunk(kHeaderChunk);
    w.BeginChunk(kVersionChunk);
    w.U32(kCurrentVersion);
    w.Append("tail bytes the handler never reads");
    w.EndChunk();
    Version(w, kVersionBase + 1);
    Header(w, kCurrentVersion, 1, {"Sprite"});
    Header(w, kCurrentVersion, 2, {"Sprite", "Bank"});
    w.BeginChunk(0x1700);
    w.U32(0x7F7F0000);
    w.EndChunk();
    w.BeginChunk(kCodeBlockChunk);
    w.Append("code");
    w.EndChunk();
    Entry e = GameEntry();
    EntryChunk(w, e, kCurrentVersion);
    // An extra entry is read only for a hosted run that wants the end notified.
    e.name = "Extra";
    EntryChunk(w, e, kCurrentVersion, kExtraEntryChunk);
    w.EmptyChunk(kEndChunk);
    w.Append("garbage after the end chunk");
    ASSERT_TRUE(w.Ok());

    // Mode 1 with a code block: refused.
    EXPECT_EQ(Open(w.Text()), kResultProjectRefused);
    EXPECT_EQ(reader_->GetVersion(), kCurrentVersion);
    EXPECT_EQ(reader_->GetMode(), 1u);
    EXPECT_EQ(reader_->GetClassNames().GetCount(), 1u);
    EXPECT_NE(reader_->GetCodeBlockPosition(), 0u);
    EXPECT_EQ(reader_->GetEntries().GetCount(), 1u);

    CLaunchInfo launch;
    launch.hosted = 1;
    EXPECT_EQ(Open(w.Text(), &launch), kResultProjectRefused);
    EXPECT_EQ(reader_->GetEntries().GetCount(), 1u);
    launch.notifyOnEnd = 1;
    EXPECT_EQ(Open(w.Text(), &launch), kResultProjectRefused);
    ASSERT_EQ(reader_->GetEntries().GetCount(), 2u);
    EXPECT_EQ(EntryAt(1)->extra, 1u);
    EXPECT_STREQ(EntryAt(1)->name, "Extra");
}

TEST_F(ProjectFileTest, LooksElementsUpByNameIndexAndFullName) {
    ASSERT_EQ(Open(Project({GameEntry()})), kResultOk);
    CElement* raw = reader_->ResolveElement("RAW", kBinaryBank, 1);
    ASSERT_NE(raw, nullptr);
    EXPECT_STREQ(raw->name, "raw");
    EXPECT_EQ(reader_->ResolveElement("game://DATA/Raw", kSourceBank, 0), raw);
    EXPECT_EQ(reader_->ResolveElement("sub/zipped", kBinaryBank, 1),
              reader_->FindElementByIndex(2, kBinaryBank, 1));
    EXPECT_EQ(reader_->ResolveElement("zipped", kBinaryBank, 1), nullptr);
    // The source bank stays out when asked.
    EXPECT_NE(reader_->ResolveElement("main", kSourceBank, 0), nullptr);
    EXPECT_EQ(reader_->ResolveElement("main", kSourceBank, 1), nullptr);
    EXPECT_EQ(reader_->ResolveElement("Game://Sources/main", kBinaryBank, 1), nullptr);
    EXPECT_EQ(reader_->FindElementByIndex(0, kSourceBank, 1), nullptr);
    // Holes and indexes outside the directory.
    EXPECT_EQ(reader_->FindElementByIndex(1, kBinaryBank, 0), nullptr);
    EXPECT_EQ(reader_->FindElementByIndex(3, kBinaryBank, 0), nullptr);
    EXPECT_EQ(reader_->FindElementByIndex(-1, kBinaryBank, 0), nullptr);

    CBank* data = reader_->FindBank(kBinaryBank);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(reader_->FindBankByName("data"), data);
    EXPECT_EQ(reader_->FindBankByName("GAME://Data"), data);
    EXPECT_EQ(reader_->FindBankByName("Other://Data"), nullptr);
    EXPECT_EQ(reader_->FindBankInEntry(reader_->GetCurrentEntry(), kImageBank), nullptr);

    EXPECT_EQ(ReadAll(reader_->FindElementByName("Raw", 1, 0)), "plain bytes");
    EXPECT_EQ(ReadAll(reader_->FindElementByName("game://data/sub/ZIPPED", 1, 1)),
              std::string(5000, 'z'));
    // No element of that name: the name is a file path.
    dir_.WriteFile("loose.txt", "from a file");
    EXPECT_EQ(ReadAll(reader_->FindElementByName(dir_.Win("loose.txt").c_str(), 1, 0)),
              "from a file");
    EXPECT_EQ(reader_->FindElementByName("nowhere.txt", 0, 0), nullptr);
    EXPECT_EQ(reader_->FindElementByName(nullptr, 0, 0), nullptr);
}

TEST_F(ProjectFileTest, EntryNameAfterItsBanksStillFindsThem) {
    ProjectChunkWriter w;
    Version(w, kCurrentVersion);
    Header(w, kCurrentVersion, 1, {});
    w.BeginChunk(kApplicationEntryChunk);
    w.String("");
    w.BeginChunk(kBankChunk);
    w.String("");
    w.Append(BankRecord({kBinaryBank, "Late", {{"item", "x"}}}));
    w.EndChunk();
    Entry e;
    e.name = "Named";
    Properties(w, e, kCurrentVersion);
    w.EmptyChunk(kEndChunk);
    w.EndChunk();
    w.EmptyChunk(kEndChunk);
    ASSERT_EQ(Open(w.Text()), kResultOk);
    EXPECT_NE(reader_->ResolveElement("Named://Late/item", kBinaryBank, 0), nullptr);
    EXPECT_NE(reader_->FindBankByName("Named://Late"), nullptr);
}

TEST_F(ProjectFileTest, EntryPaletteIsTheDefaultUntilPropertiesBringOne) {
    Entry bare;
    bare.properties = false;
    Entry coloured;
    coloured.name = "Coloured";
    coloured.flags = 1;
    ASSERT_EQ(Open(Project({bare, coloured})), kResultOk);
    PaletteRecord* defaultPalette = Palette_GetDefault();
    ASSERT_NE(defaultPalette, nullptr);
    EXPECT_EQ(EntryAt(0)->palette, defaultPalette);
    EXPECT_EQ(reader_->GetPalette(), defaultPalette);
    CProjectEntry* entry = EntryAt(1);
    ASSERT_NE(entry->palette, nullptr);
    EXPECT_NE(entry->palette, defaultPalette);
    EXPECT_EQ(entry->paletteFlag, 1u);
    // Table entry i is blue i, green 255 - i, red i / 2; the static colours took the ends.
    for (int i = 10; i < 246; ++i) {
        const PaletteEntry& colour = entry->palette->entries[i];
        EXPECT_EQ(colour.green, 255 - colour.blue) << i;
        EXPECT_EQ(colour.red, colour.blue / 2) << i;
    }
    Palette_Release(defaultPalette);
}

TEST_F(ProjectFileTest, EntryInAFileOfItsOwnAndElementPaths) {
    ProjectChunkWriter own;
    Entry e = GameEntry();
    EntryBody(own, e, kCurrentVersion);
    ASSERT_TRUE(own.WriteToFile(dir_.Linux("entry.bin")));
    Entry outside;
    outside.fileName = dir_.Win("entry.bin");
    ASSERT_EQ(Open(Project({outside})), kResultOk);
    EXPECT_STREQ(EntryAt(0)->name, "Game");
    EXPECT_EQ(ReadAll(reader_->FindElementByName("raw", 0, 0)), "plain bytes");

    char path[300];
    EXPECT_EQ(reader_->MakeElementPath(path, sizeof path, "pic.png"), dir_.Win("pic.png").size());
    EXPECT_EQ(std::string(path), dir_.Win("pic.png"));
    reader_->MakeElementPath(path, sizeof path, "D:\\x.png");
    EXPECT_STREQ(path, "D:\\x.png");
    EXPECT_EQ(reader_->MakeElementPath(path, 4, "D:\\x.png"), 3u);
    EXPECT_STREQ(path, "D:\\");

    outside.fileName = dir_.Win("missing.bin");
    EXPECT_EQ(Open(Project({outside})), kResultCannotOpen);
}

TEST_F(ProjectFileTest, TrailerOfTheProgramsOwnFileLocatesTheData) {
    const std::string player(1000, 'P');
    const std::string data = Project({GameEntry()});
    ProjectChunkWriter trailer;
    trailer.U32(kTrailerMarker);
    trailer.U32(uint32_t(player.size()));
    dir_.WriteFile("player", player + data + trailer.Text());
    platform::test::SetModuleFilePath(dir_.Linux("player"));
    ProjectOffsetWord() = 0xFFFFFFFF;
    CProjectFile first;
    EXPECT_EQ(first.Open("name", nullptr, nullptr), kResultOk);
    EXPECT_EQ(ProjectOffsetWord(), player.size());
    EXPECT_STREQ(first.GetProjectName(), "name");
    // A later open (a restart) reads at the word without the trailer.
    CProjectFile again;
    EXPECT_EQ(again.Open(nullptr, nullptr, nullptr), kResultOk);
    EXPECT_NE(again.ResolveElement("raw", kBinaryBank, 0), nullptr);
    ProjectOffsetWord() = 0;
    CProjectFile none;
    EXPECT_EQ(none.Open(nullptr, nullptr, nullptr), kResultNoProjectData);
    platform::test::SetModuleFilePath("");
    ProjectOffsetWord() = 0xFFFFFFFF;
}

TEST(ProjectNameHashTest, CaseDoesNotChangeTheBucket) {
    EXPECT_EQ(ProjectNameHash("abc"), ProjectNameHash("ABC"));
    EXPECT_EQ(ProjectNameHash("abc"), 'A' + 'B' + 'C');
    // Bytes above 127 count as negative.
    EXPECT_EQ(ProjectNameHash("\xC9"), int8_t(0xC9));
    EXPECT_EQ(ProjectNameBucket("\xE9t\xE9", 64), ProjectNameBucket("\xC9T\xC9", 64));
    // Pairs whose cases differ in more than bit 5 still meet.
    EXPECT_TRUE(NamesEqual("\x8A\xFF", "\x9A\x9F"));
    EXPECT_EQ(ProjectNameHash("\x8A\xFF"), ProjectNameHash("\x9A\x9F"));
}

} // namespace
