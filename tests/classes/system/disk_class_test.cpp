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

// Ending a run resets the interpreter, which deletes the temporary files the script made.
TEST(DiskClass, TemporaryFilesAreGoneAfterTheReset) {
    std::string output = RunScript("t = Disk.CreateTemporaryFile(\".dat\");\n"
                                   "u = Disk.CreateTemporaryFile();\n"
                                   "Print(t);\nPrint(u);\n"
                                   "Print(Disk.Exist(t), Disk.Exist(u), t == u, "
                                   "Disk.GetExtension(t), Disk.GetExtension(u));\n");
    size_t first = output.find('\n');
    size_t second = output.find('\n', first + 1);
    ASSERT_NE(second, std::string::npos);
    std::string made = output.substr(0, first);
    std::string other = output.substr(first + 1, second - first - 1);
    EXPECT_EQ(output.substr(second + 1), "1 1 0 .dat .tmp\n");
    EXPECT_EQ(RunScript("n = Disk.GetName(\"" + made +
                        "\");\nPrint(n.SubString(0, 2), Disk.Exist(\"" + made +
                        "\"), Disk.Exist(\"" + other + "\"));\n"),
              "zq 0 0\n");
}

} // namespace
