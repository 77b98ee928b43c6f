#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/files/files_fixture.h"

namespace {

using platform::test::Fault;
using platform::test::InjectFault;

using FileHandlesTest = FilesTest;

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

TEST_F(FileHandlesTest, DispositionsCreateOpenAndTruncate) {
    std::string path = W("a.txt");
    HANDLE file = Open(path, kReadWrite, 0, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_TRUE(Write(file, "hello"));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(dir.ReadFile("a.txt"), "hello");

    EXPECT_EQ(OpenError(path, GENERIC_WRITE, 0, CREATE_NEW), ERROR_FILE_EXISTS);
    EXPECT_EQ(OpenError(W("A.TXT"), GENERIC_WRITE, 0, CREATE_NEW),
              ERROR_FILE_EXISTS); // another case names the same file
    file = Open(path, GENERIC_READ, 0, OPEN_ALWAYS);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(ReadAll(file), "hello");
    CloseHandle(file);
    file = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CloseHandle(file);
    EXPECT_EQ(dir.ReadFile("a.txt"), "");

    EXPECT_EQ(OpenError(path, GENERIC_READ, 0, TRUNCATE_EXISTING), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(OpenError(W("none.txt"), GENERIC_READ, 0, OPEN_EXISTING), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenError(W("none\\x.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(OpenError(dir.WinPath(), GENERIC_READ, 0, OPEN_EXISTING),
              ERROR_ACCESS_DENIED); // a folder
    EXPECT_EQ(OpenError(W("x.txt\\"), GENERIC_WRITE, 0, CREATE_ALWAYS), ERROR_INVALID_NAME);
    EXPECT_FALSE(dir.Exists("x.txt"));
}

TEST_F(FileHandlesTest, ReadsWritesAndSeeksWithWindowsSemantics) {
    HANDLE file = Open(W("data.bin"), kReadWrite, 0, CREATE_NEW);
    ASSERT_TRUE(Write(file, "0123456789"));
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(file, &high), 10u);
    EXPECT_EQ(high, 0u);

    char buffer[8] = {};
    DWORD count = 99;
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, nullptr)); // at the end
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_END), 6u);
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(std::string(buffer, count), "6789");
    EXPECT_EQ(SetFilePointer(file, -3, nullptr, FILE_CURRENT), 7u);

    EXPECT_EQ(ErrorOf(SetFilePointer(file, -8, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER),
              ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 7u); // unmoved
    EXPECT_EQ(ErrorOf(SetFilePointer(file, 0, nullptr, 3), INVALID_SET_FILE_POINTER),
              ERROR_INVALID_PARAMETER);

    // 64-bit positions go through the high part, in both directions.
    LONG distanceHigh = 1;
    EXPECT_EQ(SetFilePointer(file, 16, &distanceHigh, FILE_BEGIN), 16u);
    EXPECT_EQ(distanceHigh, 1);
    EXPECT_EQ(ErrorOf(SetFilePointer(file, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER),
              ERROR_INVALID_PARAMETER); // past 4 GB, which a 32-bit result cannot tell
    distanceHigh = -1;
    EXPECT_EQ(SetFilePointer(file, 0, &distanceHigh, FILE_CURRENT), 16u); // back by 4 GB
    EXPECT_EQ(distanceHigh, 0);
    distanceHigh = -1;
    EXPECT_EQ(ErrorOf(SetFilePointer(file, 0, &distanceHigh, FILE_BEGIN), INVALID_SET_FILE_POINTER),
              ERROR_NEGATIVE_SEEK);
    distanceHigh = 0;
    SetLastError(ERROR_INVALID_FUNCTION);
    EXPECT_EQ(SetFilePointer(file, -1, &distanceHigh, FILE_BEGIN), 0xFFFFFFFFu); // 4 GB - 1
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS); // tells that position from a failure
    EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_BEGIN), 4u);
    EXPECT_TRUE(SetEndOfFile(file));
    EXPECT_EQ(GetFileSize(file, nullptr), 4u);
    EXPECT_TRUE(FlushFileBuffers(file));
    CloseHandle(file);
    EXPECT_EQ(dir.ReadFile("data.bin"), "0123");

    file = Open(W("data.bin"), GENERIC_READ, 0, OPEN_EXISTING);
    EXPECT_EQ(ErrorOf(WriteFile(file, "x", 1, &count, nullptr), FALSE), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ErrorOf(SetEndOfFile(file), FALSE), ERROR_ACCESS_DENIED);
    int overlapped = 0;
    EXPECT_EQ(ErrorOf(ReadFile(file, buffer, 1, &count, &overlapped), FALSE),
              ERROR_INVALID_PARAMETER);
    CloseHandle(file);
    EXPECT_EQ(ErrorOf(ReadFile(file, buffer, 1, &count, nullptr), FALSE), ERROR_INVALID_HANDLE);
    EXPECT_EQ(ErrorOf(GetFileSize(file, nullptr), INVALID_FILE_SIZE), ERROR_INVALID_HANDLE);
}

TEST_F(FileHandlesTest, ShareModesAreEnforcedAmongOpeners) {
    dir.WriteFile("s.txt", "keep");
    std::string path = W("s.txt");
    HANDLE exclusive = Open(path, GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenError(path, GENERIC_READ, kShareAll, OPEN_EXISTING), ERROR_SHARING_VIOLATION);
    // A refused truncating open must not have truncated.
    EXPECT_EQ(OpenError(path, GENERIC_WRITE, kShareAll, CREATE_ALWAYS), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(dir.ReadFile("s.txt"), "keep");
    HANDLE attributesOnly = Open(path, 0, 0, OPEN_EXISTING); // no data access: no conflict
    EXPECT_NE(attributesOnly, INVALID_HANDLE_VALUE);
    CloseHandle(attributesOnly);
    CloseHandle(exclusive);

    HANDLE reader = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    HANDLE reader2 = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(reader2, INVALID_HANDLE_VALUE);
    // A writer needs every opener to share writing.
    EXPECT_EQ(OpenError(path, GENERIC_WRITE, kShareAll, OPEN_EXISTING), ERROR_SHARING_VIOLATION);
    CloseHandle(reader2);
    CloseHandle(reader);

    HANDLE writer = Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    // Readers must share writing with the existing writer.
    EXPECT_EQ(OpenError(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING),
              ERROR_SHARING_VIOLATION);
    HANDLE tolerant = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    EXPECT_NE(tolerant, INVALID_HANDLE_VALUE);
    CloseHandle(tolerant);
    EXPECT_EQ(ErrorOf(DeleteFileA(path.c_str()), FALSE), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(ErrorOf(MoveFileA(path.c_str(), W("t.txt").c_str()), FALSE), ERROR_SHARING_VIOLATION);
    CloseHandle(writer);

    HANDLE deletable = Open(path, GENERIC_READ, kShareAll, OPEN_EXISTING);
    EXPECT_TRUE(MoveFileA(path.c_str(), W("t.txt").c_str()));
    EXPECT_TRUE(DeleteFileA(W("t.txt").c_str()));
    EXPECT_EQ(ReadAll(deletable), "keep");
    CloseHandle(deletable);
}

// Devices and pipes are reached through the drive that holds "/", C: by default (a Linux
// path of a character device names a serial port).
TEST_F(FileHandlesTest, DevicesAndPipesOpenWithoutSharingRules) {
    // Many writers at once, truncating ones too, as every program shares /dev/null.
    HANDLE first = Open("C:\\dev\\null", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(first, INVALID_HANDLE_VALUE) << GetLastError();
    HANDLE second = Open("\\dev\\null", kReadWrite, 0, OPEN_EXISTING);
    ASSERT_NE(second, INVALID_HANDLE_VALUE) << GetLastError();
    EXPECT_EQ(GetFileType(first), DWORD(FILE_TYPE_CHAR));
    EXPECT_TRUE(Write(first, "gone"));
    EXPECT_EQ(ReadAll(second), "");
    CloseHandle(second);
    CloseHandle(first);

    ASSERT_EQ(mkfifo(dir.Linux("fifo").c_str(), 0600), 0);
    const std::string fifo = W("fifo");
    // Nobody reads it: the writer is refused at once instead of waiting.
    EXPECT_EQ(OpenError(fifo, GENERIC_WRITE, 0, OPEN_EXISTING), ERROR_PIPE_NOT_CONNECTED);
    int reader = open(dir.Linux("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    HANDLE writer = Open(fifo, GENERIC_WRITE, 0, OPEN_EXISTING);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE) << GetLastError();
    HANDLE another = Open(fifo, GENERIC_WRITE, 0, OPEN_EXISTING);
    ASSERT_NE(another, INVALID_HANDLE_VALUE) << GetLastError();
    EXPECT_EQ(GetFileType(writer), DWORD(FILE_TYPE_PIPE));
    EXPECT_TRUE(Write(writer, "through "));
    EXPECT_TRUE(Write(another, "the pipe"));
    EXPECT_EQ(ErrorOf(SetFilePointer(writer, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER),
              ERROR_SEEK_ON_DEVICE);
    char received[32] = {};
    EXPECT_EQ(read(reader, received, sizeof received), 16);
    EXPECT_STREQ(received, "through the pipe");
    // Its reader gone, a write fails; the process goes on.
    close(reader);
    EXPECT_EQ(ErrorOf(Write(writer, "lost"), false), ERROR_BROKEN_PIPE);
    CloseHandle(another);
    CloseHandle(writer);

    HANDLE file = Open(W("plain.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS);
    EXPECT_EQ(GetFileType(file), DWORD(FILE_TYPE_DISK));
    CloseHandle(file);
    EXPECT_EQ(ErrorOf(GetFileType(file), DWORD(FILE_TYPE_UNKNOWN)), ERROR_INVALID_HANDLE);
}

// A shell's redirection: what it wrote before stays, and the script's lines come after it,
// in turn with the shell's own.
TEST_F(FileHandlesTest, StandardStreamsWriteWhereTheShellLeftThem) {
    // As `>out.txt` leaves it after the shell's first line.
    int shell = open(dir.Linux("out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(shell, 0);
    ASSERT_EQ(write(shell, "from the shell\n", 15), 15);
    std::fflush(stdout);
    int savedOutput = dup(STDOUT_FILENO);
    ASSERT_GE(savedOutput, 0);
    ASSERT_EQ(dup2(shell, STDOUT_FILENO), STDOUT_FILENO);
    HANDLE out = Open("/dev/stdout", GENERIC_WRITE, 0, CREATE_ALWAYS);
    DWORD openError = GetLastError();
    // Opened again with no sharing at all: a stream has many writers by nature.
    HANDLE again = Open("C:\\dev\\fd\\" + std::to_string(shell), kReadWrite, 0, OPEN_EXISTING);
    bool written = Write(out, "from the script\n");
    EXPECT_EQ(write(STDOUT_FILENO, "the shell again\n", 16), 16);
    written = written && Write(again, "the script again\n");
    dup2(savedOutput, STDOUT_FILENO);
    close(savedOutput);
    ASSERT_NE(out, INVALID_HANDLE_VALUE) << openError;
    ASSERT_NE(again, INVALID_HANDLE_VALUE) << GetLastError();
    EXPECT_EQ(openError, DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(written);
    EXPECT_EQ(dir.ReadFile("out.txt"),
              "from the shell\nfrom the script\nthe shell again\nthe script again\n");
    EXPECT_TRUE(IsInheritedDescriptor(out));
    EXPECT_EQ(GetFileType(out), DWORD(FILE_TYPE_DISK));
    CloseHandle(again);
    CloseHandle(out);
    // The copies closed, the shell's descriptor is still open.
    EXPECT_EQ(write(shell, "end\n", 4), 4);

    const std::string name = "/dev/fd/" + std::to_string(shell);
    EXPECT_EQ(OpenError(name, GENERIC_WRITE, 0, CREATE_NEW), ERROR_FILE_EXISTS);
    close(shell);
    EXPECT_EQ(OpenError(name, GENERIC_WRITE, 0, OPEN_EXISTING), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(dir.ReadFile("out.txt"),
              "from the shell\nfrom the script\nthe shell again\nthe script again\nend\n");

    // `>>log.txt`: the descriptor keeps appending once a copy of it was opened.
    int appending = open(dir.Linux("log.txt").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    ASSERT_GE(appending, 0);
    HANDLE log = Open("/dev/fd/" + std::to_string(appending), GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_NE(fcntl(appending, F_GETFL) & O_APPEND, 0);
    CloseHandle(log);
    close(appending);

    HANDLE plain = Open(W("out.txt"), GENERIC_READ, kShareAll, OPEN_EXISTING);
    EXPECT_FALSE(IsInheritedDescriptor(plain));
    CloseHandle(plain);
}

TEST_F(FileHandlesTest, ReadOnlyFilesRefuseWritersAndDeletion) {
    dir.WriteFile("ro.txt", "fixed");
    std::string path = W("ro.txt");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(OpenError(path, GENERIC_WRITE, 0, OPEN_EXISTING), ERROR_ACCESS_DENIED);
    EXPECT_EQ(OpenError(path, GENERIC_READ, 0, CREATE_ALWAYS), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ErrorOf(DeleteFileA(path.c_str()), FALSE), ERROR_ACCESS_DENIED);
    EXPECT_EQ(dir.ReadFile("ro.txt"), "fixed");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST_F(FileHandlesTest, InjectedFaultsGiveTheirErrors) {
    HANDLE file = Open(W("f.bin"), kReadWrite, 0, CREATE_NEW);
    DWORD count = 99;
    InjectFault(Fault::WriteError);
    EXPECT_EQ(ErrorOf(WriteFile(file, "abcd", 4, &count, nullptr), FALSE), ERROR_WRITE_FAULT);
    EXPECT_EQ(count, 0u);
    InjectFault(Fault::DiskFull);
    EXPECT_EQ(ErrorOf(WriteFile(file, "abcd", 4, &count, nullptr), FALSE), ERROR_DISK_FULL);
    EXPECT_EQ(GetFileSize(file, nullptr), 0u);
    InjectFault(Fault::ShortWrite);
    EXPECT_TRUE(WriteFile(file, "abcde", 5, &count, nullptr));
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(GetFileSize(file, nullptr), 2u);

    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    char buffer[4];
    InjectFault(Fault::ReadError, 1, 1); // the second read fails
    EXPECT_TRUE(ReadFile(file, buffer, 1, &count, nullptr));
    EXPECT_EQ(ErrorOf(ReadFile(file, buffer, 1, &count, nullptr), FALSE), ERROR_READ_FAULT);
    InjectFault(Fault::ReadEof);
    EXPECT_EQ(ErrorOf(ReadFile(file, buffer, 1, &count, nullptr), FALSE), ERROR_HANDLE_EOF);
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(ReadFile(file, buffer, 4, &count, nullptr));
    EXPECT_EQ(std::string(buffer, count), "b"); // the failed reads consumed nothing
    CloseHandle(file);

    // Refused before the disk is touched, as often as asked.
    InjectFault(Fault::CreateExists, 1000);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(OpenError(W("new.txt"), GENERIC_WRITE, 0, CREATE_NEW), ERROR_FILE_EXISTS);
    }
    EXPECT_FALSE(dir.Exists("new.txt"));
    file = Open(W("new.txt"), GENERIC_WRITE, 0, CREATE_NEW);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

TEST_F(FileHandlesTest, ConcurrentExclusiveOpensNeverOverlap) {
    dir.WriteFile("shared.txt", "");
    std::string path = W("shared.txt");
    std::atomic<int> holders{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> granted{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                HANDLE file = Open(path, GENERIC_READ, 0, OPEN_ALWAYS);
                if (file == INVALID_HANDLE_VALUE) continue;
                if (holders.fetch_add(1) != 0) overlaps.fetch_add(1);
                granted.fetch_add(1);
                holders.fetch_sub(1);
                CloseHandle(file);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_GT(granted.load(), 0);
}

} // namespace
