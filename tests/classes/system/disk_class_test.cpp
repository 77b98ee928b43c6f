#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

#include "script/script_runner.h"
#include "support/temp_dir.h"

namespace {

std::string RunScript(const std::string& source) {
    script_test::ScriptRunner runner;
    script_test::ScriptResult result = runner.Run(source);
    EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    return result.output;
}

TEST(DiskClass, CopiesLargeFilesWhole) {
    test_support::TempDir dir;
    constexpr size_t kSize = 100 * 1024 * 1024 + 7;
    {
        std::ofstream out(dir.Linux("big.bin"), std::ios::binary);
        std::string block(1 << 20, '\0');
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = char(i * 7 + i / 251);
        for (size_t written = 0; written < kSize; written += block.size())
            out.write(block.data(), std::streamsize(std::min(block.size(), kSize - written)));
    }
    std::string from = dir.Win("big.bin");
    std::string to = dir.Win("copy.bin");
    EXPECT_EQ(RunScript("Print(Disk.CopyFile(\"" + from + "\", \"" + to +
                        "\"), Disk.GetFileSize(\"" + to + "\"));\n"),
              "1 " + std::to_string(kSize) + "\n");
    EXPECT_TRUE(dir.ReadFile("copy.bin") == dir.ReadFile("big.bin"));
}

TEST(DiskClass, NeverCopiesAFileOntoItselfThroughALink) {
    test_support::TempDir dir;
    dir.WriteFile("real.txt", "content");
    ASSERT_EQ(symlink(dir.Linux("real.txt").c_str(), dir.Linux("link.txt").c_str()), 0);
    std::string real = dir.Win("real.txt");
    std::string link = dir.Win("link.txt");
    EXPECT_EQ(RunScript("Print(Disk.CopyFile(\"" + real + "\", \"" + link +
                        "\"), Disk.GetLastDiskErrorCode(), Disk.AppendFile(\"" + link + "\", \"" +
                        real + "\"), Disk.GetLastDiskErrorCode());\n"),
              "0 32 0 32\n");
    EXPECT_EQ(dir.ReadFile("real.txt"), "content");
}

} // namespace
