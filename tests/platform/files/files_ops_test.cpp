#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include "platform/files/files_fixture.h"
#include "platform/files/errno_mapping.h"

namespace {

using platform::test::Fault;
using platform::test::InjectFault;

using FileOpsTest = FilesTest;

size_t CountEntries(const std::string& folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

TEST_F(FileOpsTest, FoldersAreCreatedAndRemovedWithWindowsErrors) {
    EXPECT_TRUE(CreateDirectoryA(W("New").c_str(), nullptr));
    EXPECT_EQ(ErrorOf(CreateDirectoryA(W("NEW").c_str(), nullptr), FALSE), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(ErrorOf(CreateDirectoryA(W("none\\x").c_str(), nullptr), FALSE),
              ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(CreateDirectoryA(W("New\\Inner\\").c_str(), nullptr));
    EXPECT_EQ(GetFileAttributesA(W("new\\inner").c_str()), FILE_ATTRIBUTE_DIRECTORY);

    EXPECT_EQ(ErrorOf(RemoveDirectoryA(W("New").c_str()), FALSE), ERROR_DIR_NOT_EMPTY);
    EXPECT_EQ(ErrorOf(DeleteFileA(W("New").c_str()), FALSE), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(RemoveDirectoryA(W("new\\INNER").c_str()));
    EXPECT_TRUE(RemoveDirectoryA(W("New").c_str()));
    EXPECT_EQ(ErrorOf(RemoveDirectoryA(W("New").c_str()), FALSE), ERROR_FILE_NOT_FOUND);

    dir.WriteFile("file.txt", "");
    EXPECT_EQ(ErrorOf(RemoveDirectoryA(W("file.txt").c_str()), FALSE), ERROR_DIRECTORY);
    EXPECT_EQ(ErrorOf(DeleteFileA(W("none.txt").c_str()), FALSE), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ErrorOf(DeleteFileA(W("none\\x.txt").c_str()), FALSE), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(ErrorOf(GetFileAttributesA(W("none.txt").c_str()), INVALID_FILE_ATTRIBUTES),
              ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(DeleteFileA(W("FILE.TXT").c_str()));
    EXPECT_FALSE(dir.Exists("file.txt"));
}

TEST_F(FileOpsTest, MoveRefusesExistingTargetsButRenamesCase) {
    dir.WriteFile("a.txt", "A");
    dir.WriteFile("b.txt", "B");
    dir.WriteFile("Folder/inside.txt", "I");
    EXPECT_EQ(ErrorOf(Move("a.txt", "B.TXT"), FALSE), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(dir.ReadFile("b.txt"), "B");
    EXPECT_EQ(ErrorOf(Move("none.txt", "c.txt"), FALSE), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ErrorOf(Move("a.txt", "none\\c.txt"), FALSE), ERROR_PATH_NOT_FOUND);

    EXPECT_TRUE(Move("a.txt", "A.TXT")); // case only
    EXPECT_TRUE(dir.Exists("A.TXT"));
    EXPECT_FALSE(dir.Exists("a.txt"));
    EXPECT_TRUE(Move("folder", "Moved"));
    EXPECT_EQ(dir.ReadFile("Moved/inside.txt"), "I");
    EXPECT_TRUE(Move("A.TXT", "moved\\a.txt"));
    EXPECT_EQ(dir.ReadFile("Moved/a.txt"), "A");
}

TEST_F(FileOpsTest, MoveAcrossFileSystemsCopiesFilesOnly) {
    struct stat shm {};
    struct stat tmp {};
    if (stat("/dev/shm", &shm) != 0 || stat(dir.LinuxPath().c_str(), &tmp) != 0 ||
        shm.st_dev == tmp.st_dev) {
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    char otherTemplate[] = "/dev/shm/zorv-test-XXXXXX";
    ASSERT_NE(mkdtemp(otherTemplate), nullptr);
    std::string shmFolder = otherTemplate;
    platform::SetDriveRoot('S', shmFolder);
    dir.WriteFile("far.txt", "content");
    dir.WriteFile("Folder/x", "");
    EXPECT_TRUE(MoveFileA(W("far.txt").c_str(), "S:\\far.txt"));
    EXPECT_FALSE(dir.Exists("far.txt"));
    EXPECT_EQ(ErrorOf(MoveFileA(W("Folder").c_str(), "S:\\Folder"), FALSE), ERROR_NOT_SAME_DEVICE);
    EXPECT_TRUE(dir.Exists("Folder/x"));
    HANDLE file = CreateFileA("S:\\far.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, 0);
    EXPECT_EQ(ReadAll(file), "content");
    CloseHandle(file);
    std::filesystem::remove_all(shmFolder);
}

TEST_F(FileOpsTest, CopyNeverHarmsTheSourceOrLeavesHalfATarget) {
    dir.WriteFile("src.txt", "source");
    dir.WriteFile("dst.txt", "target");
    EXPECT_EQ(ErrorOf(Copy("src.txt", "DST.txt", TRUE), FALSE), ERROR_FILE_EXISTS);
    EXPECT_EQ(dir.ReadFile("dst.txt"), "target");
    EXPECT_EQ(ErrorOf(Copy("src.txt", "SRC.TXT", FALSE), FALSE),
              ERROR_SHARING_VIOLATION); // onto itself
    EXPECT_EQ(dir.ReadFile("src.txt"), "source");

    InjectFault(Fault::DiskFull);
    EXPECT_EQ(ErrorOf(Copy("src.txt", "dst.txt", FALSE), FALSE), ERROR_DISK_FULL);
    InjectFault(Fault::WriteError);
    EXPECT_EQ(ErrorOf(Copy("src.txt", "new.txt", FALSE), FALSE), ERROR_WRITE_FAULT);
    EXPECT_EQ(dir.ReadFile("dst.txt"), "target");
    EXPECT_FALSE(dir.Exists("new.txt"));
    EXPECT_EQ(CountEntries(dir.LinuxPath()), 2u); // no temporary file left

    ASSERT_TRUE(SetFileAttributesA(W("src.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(Copy("src.txt", "dst.txt", FALSE));
    EXPECT_EQ(dir.ReadFile("dst.txt"), "source");
    EXPECT_EQ(GetFileAttributesA(W("dst.txt").c_str()),
              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY); // attributes go along
    EXPECT_EQ(ErrorOf(Copy("src.txt", "dst.txt", FALSE), FALSE),
              ERROR_ACCESS_DENIED); // a read-only target stays
    EXPECT_EQ(ErrorOf(Copy("none.txt", "x.txt", FALSE), FALSE), ERROR_FILE_NOT_FOUND);

    // A source someone writes without sharing writing is refused.
    HANDLE writer =
        CreateFileA(W("w.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, 0, 0);
    EXPECT_EQ(ErrorOf(Copy("w.txt", "w2.txt", FALSE), FALSE), ERROR_SHARING_VIOLATION);
    CloseHandle(writer);
    EXPECT_TRUE(Copy("w.txt", "w2.txt", TRUE));
}

TEST_F(FileOpsTest, DrivesReportTypeAndFreeSpace) {
    EXPECT_EQ(GetDriveTypeA("C:\\"), DRIVE_FIXED);
    EXPECT_EQ(GetDriveTypeA("c:"), DRIVE_FIXED);
    EXPECT_EQ(GetDriveTypeA(nullptr), DRIVE_FIXED);
    EXPECT_EQ(GetDriveTypeA("Q:\\"), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(GetDriveTypeA("C:\\tmp\\"), DRIVE_NO_ROOT_DIR);
    platform::SetDriveRoot('Q', dir.Linux("gone"));
    EXPECT_EQ(GetDriveTypeA("Q:\\"), DRIVE_NO_ROOT_DIR);

    struct statvfs disk {};
    ASSERT_EQ(statvfs(dir.LinuxPath().c_str(), &disk), 0);
    ULARGE_INTEGER available{}, total{}, free{};
    ASSERT_TRUE(GetDiskFreeSpaceExA(dir.WinPath().c_str(), &available, &total, &free));
    EXPECT_EQ(total.QuadPart, uint64_t{disk.f_blocks} * disk.f_frsize);
    EXPECT_LE(available.QuadPart, free.QuadPart);
    EXPECT_LE(free.QuadPart, total.QuadPart);

    DWORD sectors = 0, sectorSize = 0, freeClusters = 0, clusters = 0;
    ASSERT_TRUE(
        GetDiskFreeSpaceA(dir.WinPath().c_str(), &sectors, &sectorSize, &freeClusters, &clusters));
    EXPECT_EQ(uint64_t{sectors} * sectorSize, disk.f_frsize);
    EXPECT_EQ(clusters, disk.f_blocks > 0xFFFFFFFFu ? 0xFFFFFFFFu : disk.f_blocks);
    EXPECT_EQ(
        ErrorOf(GetDiskFreeSpaceExA(W("none\\x").c_str(), &available, nullptr, nullptr), FALSE),
        ERROR_PATH_NOT_FOUND);
}

TEST_F(FileOpsTest, ErrnoValuesBecomeWin32Codes) {
    using platform::Win32ErrorFromErrno;
    dir.WriteFile("present.txt", "");
    EXPECT_EQ(Win32ErrorFromErrno(ENOENT, dir.Linux("absent.txt")), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Win32ErrorFromErrno(ENOENT, dir.Linux("absent/x.txt")), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(Win32ErrorFromErrno(ENOENT, dir.Linux("present.txt/x")), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(Win32ErrorFromErrno(EDQUOT), ERROR_DISK_FULL);
    EXPECT_EQ(Win32ErrorFromErrno(EROFS), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Win32ErrorFromErrno(ENAMETOOLONG), ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(Win32ErrorFromErrno(EPROTO), ERROR_GEN_FAILURE); // never the errno value itself
}

} // namespace
