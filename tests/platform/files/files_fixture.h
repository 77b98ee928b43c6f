// A real temporary folder for the file tests, and the process-wide state they change
// (current directory, drive map, injected faults) put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/last_error.h"
#include "platform/files/drives.h"
#include "platform/kernel/errors.h"
#include "platform/files/files.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/kernel/test_hooks.h"
#include "support/temp_dir.h"

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char current[MAX_PATH];
        ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, current), 0u);
        savedDirectory_ = current;
        objectsAtStart_ = platform::CountObjects();
    }
    void TearDown() override {
        platform::test::ClearFaults();
        platform::ResetDriveRoots();
        EXPECT_TRUE(SetCurrentDirectoryA(savedDirectory_.c_str()));
        EXPECT_EQ(platform::CountObjects(), objectsAtStart_) << "handles left open";
    }

    std::string W(const std::string& relative) const { return dir.Win(relative); }
    // Copies and moves between names in the folder.
    BOOL Copy(const std::string& from, const std::string& to, BOOL failIfExists) const {
        return CopyFileA(W(from).c_str(), W(to).c_str(), failIfExists);
    }
    BOOL Move(const std::string& from, const std::string& to) const {
        return MoveFileA(W(from).c_str(), W(to).c_str());
    }

    static HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
        return CreateFileA(path.c_str(), access, share, nullptr, disposition, 0, 0);
    }
    // The error of an open that must fail; a handle it gives after all is closed.
    static DWORD OpenError(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
        HANDLE file = Open(path, access, share, disposition);
        if (file == INVALID_HANDLE_VALUE) return GetLastError();
        CloseHandle(file);
        return ERROR_SUCCESS;
    }
    static std::string ReadAll(HANDLE file) {
        std::string text;
        char buffer[256];
        DWORD count = 0;
        while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count != 0)
            text.append(buffer, count);
        return text;
    }
    static bool Write(HANDLE file, const std::string& text) {
        DWORD count = 0;
        return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &count, nullptr) &&
               count == text.size();
    }

    test_support::TempDir dir;

private:
    std::string savedDirectory_;
    size_t objectsAtStart_ = 0;
};
