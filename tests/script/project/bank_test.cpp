#include "script/project/bank.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/streams/in_stream.h"
#include "packer/project_chunk_writer.h"
#include "script/project/element.h"
#include "script/project/project_entry.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"
#include "script/project/project_test_data.h"
#include "support/temp_dir.h"

namespace {

using namespace project_format;

struct El {
    std::string name{};
    std::string data{};
    bool packed = false;
    std::string folder{};
    bool hole = false;
    // Bytes between the header's strings and the data record (animation words).
    std::string headerExtra{};
};

// A bank record as it starts a bank file; offsets relative to its first byte.
std::string BankBytes(uint32_t type, const std::string& name, const std::vector<El>& elements,
                      uint32_t version = kBankVersion1) {
    ProjectChunkWriter w;
    w.U32(type);
    w.String(name);
    w.U32(version);
    w.U32(uint32_t(elements.size()));
    const size_t offsets = w.Size();
    for (size_t i = 0; i < elements.size(); ++i)
        w.U32(0);
    for (size_t i = 0; i < elements.size(); ++i) {
        const El& e = elements[i];
        if (e.hole) continue;
        w.PatchU32(offsets + 4 * i, uint32_t(w.Size()));
        w.String(e.name);
        w.String(e.folder);
        w.Append(e.headerExtra);
        w.PackedBlock(e.data, e.packed);
    }
    return w.Text();
}

std::string Le32(uint32_t v) {
    ProjectChunkWriter w;
    w.U32(v);
    return w.Text();
}

// Reads a stream to its end and deletes it.
std::string Drain(CInStream* stream) {
    std::unique_ptr<CInStream> owned(stream);
    if (!owned) return "<null>";
    std::string text(owned->GetLength(), '\0');
    if (owned->Read(text.data(), uint32_t(text.size())) != kResultOk) return "<failed>";
    return text;
}

class BankTest : public ::testing::Test {
protected:
    CBank* Open(const std::string& bytes) {
        dir_.WriteFile("bank.dat", bytes);
        bank_.reset(CreateBank(nullptr, dir_.Win("bank.dat").c_str()));
        return bank_.get();
    }

    test_support::TempDir dir_;
    std::unique_ptr<CBank> bank_;
};

const std::string kLong(3000, 'q');

TEST_F(BankTest, DirectoryLookupsHolesAndData) {
    CBank* bank = Open(BankBytes(
        kSoundBank, "Noises",
        {{"Bang", "raw bytes"}, {"", "", false, "", true}, {"Whoosh", kLong, true, "wind"}}));
    ASSERT_NE(bank, nullptr);
    EXPECT_EQ(GetLastBankCode(), kResultOk);
    EXPECT_EQ(bank->GetType(), kSoundBank);
    EXPECT_STREQ(bank->GetName(), "Noises");
    EXPECT_EQ(bank->GetElementCount(), 3u);
    EXPECT_EQ(bank->GetElement(1), nullptr);
    EXPECT_EQ(bank->LoadElementData(1, 0), 0);
    EXPECT_EQ(bank->FindElementIndex("wHOOSH"), 2);
    EXPECT_EQ(bank->FindElementIndex("nothing"), -1);

    // Nothing is read before it is asked for.
    auto* whoosh = static_cast<CBinaryElement*>(bank->GetElement(2));
    EXPECT_FALSE(whoosh->HasData());
    ASSERT_EQ(bank->LoadElementData(2, 0), 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(whoosh->GetData()), whoosh->GetSize()),
              kLong);
    ASSERT_EQ(bank->LoadElementData(0, 0), 1);
    auto* bang = static_cast<CBinaryElement*>(bank->GetElement(0));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bang->GetData()), bang->GetSize()),
              "raw bytes");

    char name[64];
    EXPECT_EQ(whoosh->GetFullName(name, sizeof name), 21u);
    EXPECT_STREQ(name, "://Noises/wind/Whoosh");
    // Too small a buffer: the length needed, and no partial text.
    EXPECT_EQ(bang->GetFullName(name, 8), 14u);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(bank->GetFullName(name, sizeof name), 9u);
    EXPECT_STREQ(name, "://Noises");
}

TEST_F(BankTest, StreamsReadRawInPlaceAndInterleaved) {
    CBank* bank = Open(BankBytes(kBinaryBank, "B",
                                 {{"a", "AAAAAAAAAA"}, {"b", "bbbbbbbbbb"}, {"z", kLong, true}}));
    ASSERT_NE(bank, nullptr);
    std::unique_ptr<CInStream> a(bank->GetElement(0)->OpenStream(0));
    std::unique_ptr<CInStream> b(bank->GetElement(1)->OpenStream(0));
    ASSERT_TRUE(a && b);
    // A raw element's stream reads from the file: the element still holds no data.
    EXPECT_FALSE(bank->GetElement(0)->HasData());
    EXPECT_EQ(a->GetLength(), 10u);
    std::string got;
    for (int i = 0; i < 5; ++i) {
        char pair[2];
        ASSERT_EQ(a->Read(pair, 2), kResultOk);
        got.append(pair, 2);
        ASSERT_EQ(b->Read(pair, 2), kResultOk);
        got.append(pair, 2);
    }
    EXPECT_EQ(got, "AAbbAAbbAAbbAAbbAAbb");
    uint8_t past;
    EXPECT_NE(a->ReadByte(&past), kResultOk);

    // A stream of its own handle; a packed element is inflated into the element.
    EXPECT_EQ(Drain(bank->GetElement(1)->OpenStream(1)), "bbbbbbbbbb");
    EXPECT_EQ(Drain(bank->GetElement(2)->OpenStream(0)), kLong);
    EXPECT_TRUE(bank->GetElement(2)->HasData());
}

TEST_F(BankTest, OpenStreamKeepsItsDataAliveThroughRelease) {
    CBank* bank = Open(BankBytes(kBinaryBank, "B", {{"z", kLong, true}}));
    ASSERT_NE(bank, nullptr);
    std::unique_ptr<CInStream> stream(bank->GetElement(0)->OpenStream(0));
    ASSERT_TRUE(stream);
    bank->ReleaseAll();
    std::string text(kLong.size(), '\0');
    ASSERT_EQ(stream->Read(text.data(), uint32_t(text.size())), kResultOk);
    EXPECT_EQ(text, kLong);
    stream.reset();
    bank->ReleaseAll();
    EXPECT_FALSE(bank->GetElement(0)->HasData());
}

TEST_F(BankTest, StringElementsAreTerminatedTexts) {
    CBank* bank = Open(BankBytes(kStringBank, "Texts", {{"hello", "Hello", true}, {"empty", ""}}));
    ASSERT_NE(bank, nullptr);
    auto* hello = static_cast<CStringElement*>(bank->GetElement(0));
    EXPECT_EQ(hello->OpenStream(0), nullptr); // only once loaded
    ASSERT_EQ(bank->LoadElementData(0, 0), 1);
    EXPECT_STREQ(hello->GetText(), "Hello");
    EXPECT_EQ(Drain(hello->OpenStream(0)), std::string("Hello\0", 6));
    // An empty text still counts as loaded.
    ASSERT_EQ(bank->LoadElementData(1, 0), 1);
    EXPECT_TRUE(bank->GetElement(1)->HasData());
    EXPECT_EQ(Drain(bank->GetElement(1)->OpenStream(0)), std::string(1, '\0'));
}

TEST_F(BankTest, AnimationHeadersFollowTheBankVersion) {
    ProjectChunkWriter words;
    words.U16(12);
    words.U16(34);
    CBank* bank =
        Open(BankBytes(kAnimationBank, "Anims",
                       {{"walk", "frames", false, "", false, words.Text()}}, kBankVersion2));
    ASSERT_NE(bank, nullptr);
    auto* walk = static_cast<CAnimElement*>(bank->GetElement(0));
    EXPECT_EQ(walk->animWord1, 12);
    EXPECT_EQ(walk->animWord2, 34);
    ASSERT_EQ(bank->LoadElementData(0, 0), 1);
    EXPECT_EQ(walk->GetSize(), 6u);

    bank = Open(BankBytes(kAnimationBank, "Anims", {El{"walk", "frames"}}, kBankVersion1));
    ASSERT_NE(bank, nullptr);
    ASSERT_EQ(bank->LoadElementData(0, 0), 1);
    EXPECT_EQ(static_cast<CBinaryElement*>(bank->GetElement(0))->GetSize(), 6u);
}

TEST_F(BankTest, HostileDirectoriesAreRefused) {
    // Names: 275 bytes are the most a bank name may have.
    EXPECT_NE(Open(BankBytes(kBinaryBank, std::string(275, 'n'), {El{"a", "x"}})), nullptr);
    EXPECT_EQ(Open(BankBytes(kBinaryBank, std::string(276, 'n'), {El{"a", "x"}})), nullptr);
    EXPECT_EQ(GetLastBankCode(), kBankHeaderRefused);

    // A huge element count is refused before anything is allocated for it.
    ProjectChunkWriter huge;
    huge.U32(kBinaryBank);
    huge.String("H");
    huge.U32(kBankVersion1);
    huge.U32(0x40000000);
    huge.U32(0);
    EXPECT_EQ(Open(huge.Text()), nullptr);
    EXPECT_EQ(GetLastBankCode(), kResultEndOfData);

    // An offset past the end of the file, and a header cut short.
    std::string bytes = BankBytes(kBinaryBank, "B", {El{"a", "x"}});
    bytes.replace(4 + 3 + 4 + 4, 4, Le32(0x7FFFFFF0));
    EXPECT_EQ(Open(bytes), nullptr);
    EXPECT_EQ(GetLastBankCode(), kBankElementHeaderUnreadable);
    bytes = BankBytes(kBinaryBank, "B", {El{"a-long-name", "x"}});
    EXPECT_EQ(Open(bytes.substr(0, bytes.size() - 16)), nullptr);
    EXPECT_EQ(GetLastBankCode(), kBankElementHeaderUnreadable);

    // Cut inside the bank name; no such file.
    EXPECT_EQ(Open(bytes.substr(0, 6)), nullptr);
    EXPECT_EQ(GetLastBankCode(), kResultEndOfData);
    EXPECT_EQ(CreateBank(nullptr, dir_.Win("missing.dat").c_str()), nullptr);
    EXPECT_EQ(GetLastBankCode(), kResultCannotOpen);
}

// An element whose data record is replaced by `record`.
std::string WithRecord(const std::string& record) {
    std::string bytes = BankBytes(kBinaryBank, "B", {El{"e", ""}});
    return bytes.substr(0, bytes.size() - 8) + record;
}

TEST_F(BankTest, HostileDataRecordsFailCleanly) {
    std::vector<uint8_t> zipped;
    ASSERT_TRUE(ZlibPack("0123456789", 10, zipped));
    const std::string stream(zipped.begin(), zipped.end());
    const auto packed = [&](uint32_t declared) {
        return WithRecord(Le32(declared) + Le32(uint32_t(stream.size())) + stream);
    };
    struct Case {
        std::string record;
        ResultCode code;
    } cases[] = {
        {packed(9), kResultCompressionError},  // inflates to more than declared
        {packed(11), kResultCompressionError}, // ... and to fewer
        {WithRecord(Le32(100) + Le32(0) + "short"), kResultEndOfData},
        {WithRecord(Le32(10) + Le32(5000) + stream), kResultEndOfData},
        {WithRecord(Le32(0xFFFFFFF0) + Le32(0) + "x"), kResultEndOfData},
        {packed(kMaxUnpackedSize + 1), kResultCompressionError},
    };
    for (const Case& c : cases) {
        CBank* bank = Open(c.record);
        ASSERT_NE(bank, nullptr);
        EXPECT_EQ(bank->LoadElementData(0, 0), 0);
        EXPECT_EQ(GetLastBankCode(), c.code);
        EXPECT_FALSE(bank->GetElement(0)->HasData());
        EXPECT_EQ(bank->GetElement(0)->OpenStream(0), nullptr);
    }
    CBank* bank = Open(packed(10));
    ASSERT_EQ(bank->LoadElementData(0, 0), 1);
    EXPECT_EQ(GetLastBankCode(), kResultOk);
}

TEST_F(BankTest, ProjectTablesFindElementsAndForgetDeletedBanks) {
    project_test::Element greeting("Greeting", "hi", true, "menu");
    project_test::Bank texts;
    texts.type = kStringBank;
    texts.name = "Texts";
    texts.elements = {greeting};
    project_test::Entry entry;
    entry.name = "Game";
    entry.banks = {texts};
    dir_.WriteFile("project.dat", project_test::Project({entry}));
    CProjectFile reader;
    ASSERT_EQ(reader.Open(nullptr, dir_.Win("project.dat").c_str(), nullptr), kResultOk);
    CElement* element = reader.ResolveElement("GAME://TEXTS/MENU/greeting", kStringBank, 1);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(reader.ResolveElement("menu/Greeting", kStringBank, 1), element);
    char name[64];
    element->GetFullName(name, sizeof name);
    EXPECT_STREQ(name, "Game://Texts/menu/Greeting");
    CBank* bank = reader.FindBankByName("texts");
    ASSERT_EQ(bank, element->bank);

    // A bank deleted while the project lives leaves no stale entry in the tables.
    auto* owner = static_cast<CProjectEntry*>(reader.GetEntries().GetHead()->item);
    owner->banks.RemoveNode(owner->banks.FindNode(bank), 1);
    delete bank;
    EXPECT_EQ(reader.ResolveElement("Game://Texts/menu/Greeting", kStringBank, 1), nullptr);
    EXPECT_EQ(reader.FindBankByName("Texts"), nullptr);
}

} // namespace
