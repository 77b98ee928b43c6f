#include <gtest/gtest.h>

#include <cstring>

#include "foundation/files/file_layer.h"
#include "foundation/test_helpers.h"
#include "platform/files/files.h"
#include "support/temp_dir.h"

namespace {

using namespace foundation_test;

TEST(FileNamesTest, BufferHelpersRefuseWhatDoesNotFit) {
    char path[13] = "a.b\\name.x";
    EXPECT_EQ(SetFileExtension(path, sizeof path, "longer"), 0);
    EXPECT_STREQ(path, "a.b\\name.x");
    EXPECT_EQ(SetFileExtension(path, sizeof path, ".abc"), 1);
    EXPECT_STREQ(path, "a.b\\name.abc");
    std::strcpy(path, "a.b/name");
    EXPECT_EQ(SetFileExtension(path, sizeof path, "c"), 1);
    EXPECT_STREQ(path, "a.b/name.c");
    std::string text = "C:\\a.b\\name";
    SetFileExtensionStr(text, "png");
    EXPECT_EQ(text, "C:\\a.b\\name.png");

    char folder[8] = "C:\\";
    StripTrailingBackslash(folder);
    EXPECT_STREQ(folder, "C:\\");
    std::strcpy(folder, "C:\\abcd");
    EXPECT_EQ(AppendBackslash(folder, sizeof folder), 0);
    EXPECT_STREQ(folder, "C:\\abcd");
    folder[6] = '\0';
    EXPECT_EQ(AppendBackslash(folder, sizeof folder), 1);
    EXPECT_STREQ(folder, "C:\\abc\\");
    StripTrailingBackslash(folder);
    EXPECT_STREQ(folder, "C:\\abc");
}

class TempFileNameTest : public ::testing::Test {
protected:
    uint32_t Make(const char* extension, int keep, uint32_t start, size_t capacity = MAX_PATH) {
        return MakeTempFileName(dir.WinPath().c_str(), "t", name, capacity, extension, keep, start);
    }

    test_support::TempDir dir;
    char name[MAX_PATH] = "unchanged";
};

TEST_F(TempFileNameTest, NamesAreFreshAndCleaned) {
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temp, temp);
    temp[length - 1] = '\0';
    uint32_t number = MakeTempFileName(nullptr, "zt", name, sizeof name, nullptr, 0, 41);
    EXPECT_EQ(std::string(name), std::string(temp) + "\\zt" + std::to_string(number) + ".tmp");
    EXPECT_EQ(FileExists(name), 0);

    dir.WriteFile("t1.a", "");
    EXPECT_EQ(Make(".a:b", 1, 0), 2u);
    EXPECT_EQ(std::string(name), dir.Win("t2.a"));
    EXPECT_TRUE(dir.Exists("t2.a"));
    // Wrapping past 0 must not yield 0, which reads as failure.
    EXPECT_EQ(Make(nullptr, 0, 0xFFFFFFFF), 1u);
}

TEST_F(TempFileNameTest, FailuresLeaveTheBufferAlone) {
    InjectFault(Fault::CreateExists, 200000);
    EXPECT_EQ(Make(nullptr, 0, 0), 200001u);
    InjectFault(Fault::CreateExists, 200001);
    std::strcpy(name, "unchanged");
    EXPECT_EQ(Make(nullptr, 0, 0), 0u);
    EXPECT_EQ(Make(nullptr, 1, 0, dir.Win("t1.tmp").size()), 0u);
    EXPECT_FALSE(dir.Exists("t1.tmp"));
    // A missing folder is given up at the first attempt, not retried 200001 times.
    InjectFault(Fault::CreateExists, 1, 1);
    EXPECT_EQ(MakeTempFileName(dir.Win("no").c_str(), "t", name, MAX_PATH, 0, 0, 0), 0u);
    EXPECT_EQ(platform::test::PendingFaults(Fault::CreateExists), 1u);
    EXPECT_STREQ(name, "unchanged");
}

TEST(LongShortNamesTest, EveryComponentIsRespelled) {
    test_support::TempDir dir;
    dir.WriteFile("Long Folder Name/Document File.text", "x");
    std::string longPath = dir.Win("Long Folder Name\\Document File.text");
    std::string shortPath;
    std::string respelled;
    ASSERT_EQ(GetShortPathNameOf(longPath.c_str(), shortPath), 1);
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
    EXPECT_EQ(shortPath.find("~1\\DOCUME~1.TEX"), shortPath.size() - 15) << shortPath;
    ASSERT_EQ(GetLongPathNameOf(shortPath.c_str(), respelled), 1);
    EXPECT_EQ(respelled, longPath);
    ASSERT_EQ(GetLongPathNameOf(dir.Win("long folder name\\").c_str(), respelled), 1);
    EXPECT_EQ(respelled, dir.Win("Long Folder Name\\"));

    EXPECT_EQ(GetLongPathNameOf("C:\\", respelled) ? respelled : "", "C:\\");
    EXPECT_EQ(GetLongPathNameOf(dir.Win("nothing").c_str(), respelled), 0);
    EXPECT_EQ(respelled, "");
    EXPECT_EQ(GetShortPathNameOf(dir.Win("*").c_str(), respelled), 0);
}

} // namespace
