#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "classes/system/file_reader.h"
#include "script/script_runner.h"
#include "support/temp_dir.h"

namespace {

using namespace std::string_literals;

// Every mix of line ends, NUL bytes and quotes, read with read buffers of every small
// size, so that each byte of the file falls on a buffer boundary at some point; then lines
// and tokens in turn, each read starting past line ends the other passed.
TEST(FileClass, ReadsTheSameWhereverTheBufferEnds) {
    const std::string content = "a\r\nb\n\rc\r\rd\n\ne\0f\r\n\"g,h\",i\rj"s;
    test_support::TempDir dir;
    dir.WriteFile("source.bin", content);
    const std::string script =
        "b = New Binary(\"" + dir.Win("source.bin") +
        "\");\n"
        "b.SaveData(\"mix.txt\", 1);\n"
        "f = New File(\"mix.txt\");\n"
        "l = \"\";\n"
        "For (i = 0; i < 7; i++) l = l + \"[\" + f.ReadLn() + \"]\";\n"
        "Print(l, f.GetPosition());\n"
        "f.SetPosition(0);\n"
        "l = \"\";\n"
        "For (i = 0; i < 9; i++) l = l + \"[\" + f.Read(File.HANDLEQUOTES) + \"]\";\n"
        "Print(l, f.GetPosition());\n"
        "f.SetPosition(0);\n"
        "l = \"\";\n"
        "For (i = 0; i < 5; i++) l = l + \"[\" + f.ReadLn() + \"][\" + f.Read(File.HANDLEQUOTES) + "
        "\"]\";\n"
        "Print(l, f.GetPosition());\n";
    std::string expected;
    for (uint32_t size = 1; size <= content.size() + 1; ++size) {
        CFileReader::SetBufferSizeForTests(size);
        script_test::ScriptRunner runner;
        script_test::ScriptResult result = runner.Run(script);
        ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
        if (size == 1) {
            expected = result.output;
            EXPECT_EQ(expected, "[a][b][c][d][e][f][\"g,h\",i] 25\n"
                                "[a][b][c][][d][][e][f][g,h] 23\n"
                                "[a][b][c][d][][e][f][g,h][i][j] 26\n");
        }
        EXPECT_EQ(result.output, expected) << "buffer of " << size;
    }
    CFileReader::SetBufferSizeForTests(0);
}

TEST(FileClass, NewFileLeavesAFileItCannotOpenIntact) {
    test_support::TempDir dir;
    std::string path = dir.Win("held.txt");
    script_test::ScriptRunner runner;
    // The first File holds the file for writing, so neither open of the second can share it.
    script_test::ScriptResult result = runner.Run(
        "f = New File(\"" + path + "\");\nf.Write(\"keep\");\ng = New File(\"" + path + "\");\n");
    EXPECT_EQ(result.ok, 0);
    EXPECT_EQ(uint32_t(result.code), 0x80000020u);
    EXPECT_EQ(dir.ReadFile("held.txt"), "keep");
}

TEST(FileClass, NewFileLeavesAnUnreadableFileIntact) {
    if (geteuid() == 0) GTEST_SKIP() << "the superuser reads every file";
    test_support::TempDir dir;
    dir.WriteFile("locked.txt", "keep me");
    chmod(dir.Linux("locked.txt").c_str(), 0);
    script_test::ScriptRunner runner;
    script_test::ScriptResult result =
        runner.Run("f = New File(\"" + dir.Win("locked.txt") + "\");\n");
    chmod(dir.Linux("locked.txt").c_str(), 0600);
    EXPECT_EQ(result.ok, 0);
    EXPECT_EQ(uint32_t(result.code), 0x80000005u);
    EXPECT_EQ(dir.ReadFile("locked.txt"), "keep me");
}

// Devices and pipes open and take writes: a script's way to standard output. The lock
// that keeps a File's file from a second opener is for regular files only.
TEST(FileClass, DevicesAndPipesOpenAndTakeWrites) {
    test_support::TempDir dir;
    ASSERT_EQ(mkfifo(dir.Linux("fifo").c_str(), 0600), 0);
    const std::string fifo = dir.Win("fifo");
    {
        script_test::ScriptRunner runner;
        // Nobody reads the FIFO: opening it to write fails, writing to it fails, with the
        // reasons the system gave; the run goes on.
        script_test::ScriptResult result =
            runner.Run("n = New File(\"/dev/null\", File.WRITEONLY);\n"
                       "m = New File(\"/dev/null\");\n"
                       "Print(n.Write(\"x\"), m.WriteLn(\"y\"), m.GetPosition());\n"
                       "Print(n.Open(\"" +
                       fifo +
                       "\", File.WRITEONLY), Disk.GetLastDiskErrorCode());\n"
                       "w = New File(\"" +
                       fifo +
                       "\", File.WRITEONLY);\n"
                       "Print(w.Write(\"lost\"), Disk.GetLastDiskErrorString());\n");
        ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
        EXPECT_EQ(result.output, "1 1 3\n0 233\n0 The pipe has been ended.\n");
    }
    {
        int reader = open(dir.Linux("fifo").c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        script_test::ScriptRunner runner;
        script_test::ScriptResult result =
            runner.Run("w = New File(\"" + fifo +
                       "\", File.WRITEONLY);\n"
                       "w.WriteLn(\"through the pipe\");\nw.Write(\"and on\");\nw.Close();\n");
        char received[64] = {};
        ssize_t count = read(reader, received, sizeof received - 1);
        close(reader);
        ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
        EXPECT_EQ(std::string(received, count > 0 ? size_t(count) : 0),
                  "through the pipe\r\nand on");
    }
    // What cannot be opened says why.
    const struct {
        std::string path;
        uint32_t code;
    } refusals[] = {
        {"CON", 0x8000007Bu},                        // a device name of Windows
        {dir.WinPath(), 0x80000005u},                // a folder
        {dir.Win("missing\\name.txt"), 0x80000003u}, // a folder that is not there
    };
    for (const auto& refused : refusals) {
        script_test::ScriptRunner runner;
        script_test::ScriptResult result = runner.Run("f = New File(\"" + refused.path + "\");\n");
        EXPECT_EQ(result.ok, 0) << refused.path;
        EXPECT_EQ(uint32_t(result.code), refused.code) << refused.path;
    }
}

} // namespace
