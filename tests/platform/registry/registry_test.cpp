#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/kernel/faults.h"
#include "platform/files/files.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/registry/registry.h"
#include "platform/registry/registry_test_hooks.h"
#include "platform/kernel/sync.h"
#include "support/temp_dir.h"

namespace {

using Names = std::vector<std::string>;

// A value as read back, or (as type 0xDEAD0000 + code) the error that refused it.
struct Stored {
    DWORD type = 0;
    std::string data;
    bool operator==(const Stored&) const = default;
};

HKEY Create(HKEY root, const std::string& path, DWORD* disposition = nullptr) {
    HKEY key = 0;
    EXPECT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, 0x2001F,
                              nullptr, &key, disposition),
              ERROR_SUCCESS);
    return key;
}

LONG Open(HKEY root, const char* path, HKEY* key, REGSAM access = KEY_ALL_ACCESS) {
    return RegOpenKeyExA(root, path, 0, access, key);
}

LONG Set(HKEY key, const char* name, DWORD type, const std::string& data) {
    return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          DWORD(data.size()));
}

Stored Get(HKEY key, const char* name) {
    Stored stored;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &stored.type, nullptr, &size);
    if (status != ERROR_SUCCESS) return {0xDEAD0000u + DWORD(status), {}};
    stored.data.resize(size);
    auto* buffer = reinterpret_cast<BYTE*>(stored.data.data());
    EXPECT_EQ(RegQueryValueExA(key, name, nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    return stored;
}

Names Subkeys(HKEY key) {
    Names names;
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i)
        names.emplace_back(name);
    return names;
}

Names Values(HKEY key) {
    Names names;
    char name[256];
    for (DWORD i = 0, size = sizeof name;
         RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = sizeof name) {
        names.emplace_back(name, size);
    }
    return names;
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override { platform::test::SetRegistryFolder(dir.LinuxPath()); }
    void TearDown() override {
        platform::test::SimulateCrashBeforeRename(false);
        platform::test::ClearFaults();
        platform::test::SetRegistryFolder("");
    }

    test_support::TempDir dir;
};

const std::string kDword("\x78\x56\x34\x12", 4);

TEST_F(Registry, ValuesOfEveryTypeSurviveAReloadFromDisk) {
    const std::vector<std::pair<std::string, Stored>> values = {
        {"Text", {REG_SZ, std::string("Zorv\0", 5)}},
        {"Expand", {REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9)}},
        {"Multi", {REG_MULTI_SZ, std::string("one\0two\0\0", 9)}},
        {"Binary", {REG_BINARY, std::string("\0\1\xFF", 3)}},
        {"Dword", {REG_DWORD, kDword}},
        {"Other", {0x4711, "xyz"}},
        {"", {REG_SZ, std::string("default\0", 8)}},
        {"Empty", {REG_BINARY, ""}},
    };
    DWORD disposition = 0;
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Zorv\\Game", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    for (const auto& [name, value] : values)
        EXPECT_EQ(Set(key, name.c_str(), value.type, value.data), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "Binary"), ERROR_SUCCESS);
    EXPECT_EQ(Set(key, "Binary", REG_BINARY, "\2"), ERROR_SUCCESS); // now the last one
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_FALSE(dir.Exists("HKEY_LOCAL_MACHINE.reg"));

    platform::test::ForgetRegistry();
    ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\Zorv\\Game", &key), ERROR_SUCCESS);
    for (const auto& [name, value] : values) {
        Stored expected = name == "Binary" ? Stored{REG_BINARY, "\2"} : value;
        EXPECT_EQ(Get(key, name.c_str()), expected) << name;
    }
    EXPECT_EQ(Get(key, nullptr), values[6].second);
    EXPECT_EQ(Values(key),
              (Names{"Text", "Expand", "Multi", "Dword", "Other", "", "Empty", "Binary"}));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Zorv", &disposition));
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
}

TEST_F(Registry, NamesIgnoreCaseKeepTheirSpellingAndEnumerateInOrder) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\\xC9t\xE9"); // Été
    for (const char* name : {"beta", "Alpha", "GAMMA"})
        RegCloseKey(Create(key, name));
    EXPECT_EQ(Set(key, "Volume", REG_DWORD, kDword), ERROR_SUCCESS);
    EXPECT_EQ(Set(key, "\x8A", REG_SZ, "S caron"), ERROR_SUCCESS);
    EXPECT_EQ(Set(key, "VOLUME", REG_BINARY, "longer data"), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    platform::test::ForgetRegistry();

    ASSERT_EQ(Open(HKEY_CURRENT_USER, "SOFTWARE\\\xE9T\xC9", &key), ERROR_SUCCESS);
    EXPECT_EQ(Subkeys(key), (Names{"Alpha", "beta", "GAMMA"}));
    EXPECT_EQ(Values(key), (Names{"Volume", "\x8A"}));
    EXPECT_EQ(Get(key, "volume"), (Stored{REG_BINARY, "longer data"}));
    EXPECT_EQ(Get(key, "\x9A"), (Stored{REG_SZ, "S caron"}));

    DWORD subkeys = 0, longestKey = 0, values = 0, longestName = 0, largestData = 0;
    EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &longestKey, nullptr,
                               &values, &longestName, &largestData, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(std::vector<DWORD>({subkeys, longestKey, values, longestName, largestData}),
              std::vector<DWORD>({3, 5, 2, 6, 11}));
    char name[8];
    DWORD size = 5; // "Alpha" needs 6 with its terminator
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
    DWORD dataSize = 4;
    BYTE data[4];
    size = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &size, nullptr, nullptr, data, &dataSize),
              ERROR_MORE_DATA);
    EXPECT_EQ(dataSize, 11u);
    EXPECT_EQ(RegEnumKeyA(key, 3, name, sizeof name), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, QueryReportsSizesAndTerminatesStrings) {
    HKEY key = Create(HKEY_CURRENT_USER, "Query");
    Set(key, "Bare", REG_SZ, "abc"); // stored without its terminator
    Set(key, "Bytes", REG_BINARY, "abc");
    auto query = [key](const char* name, DWORD size) {
        std::string buffer(8, '#');
        LONG status = RegQueryValueExA(key, name, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(buffer.data()), &size);
        return std::to_string(status) + "/" + std::to_string(size) + "/" + buffer.substr(0, 4);
    };
    EXPECT_EQ(query("Bare", 2), "234/3/####"); // ERROR_MORE_DATA with the size needed
    EXPECT_EQ(query("Bare", 3), "0/3/abc#");   // no room for a terminator: none written
    EXPECT_EQ(query("Bare", 8), std::string("0/3/abc\0", 8));
    EXPECT_EQ(query("Bytes", 8), "0/3/abc#");

    BYTE buffer[4];
    EXPECT_EQ(RegQueryValueExA(key, "Bare", nullptr, nullptr, buffer, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key, "x", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Set(key, std::string(16384, 'v').c_str(), REG_SZ, ""), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Set(key, std::string(16383, 'v').c_str(), REG_SZ, ""), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, DeletingAKeyInvalidatesItsOpenHandles) {
    HKEY open = Create(HKEY_CURRENT_USER, "App\\Settings");
    HKEY parent = Create(HKEY_CURRENT_USER, "App");
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "App"), ERROR_ACCESS_DENIED); // has a subkey
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "app\\SETTINGS"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "App\\Settings"), ERROR_FILE_NOT_FOUND);

    HKEY child = 0;
    EXPECT_EQ(Get(open, "v").type, 0xDEAD0000u + ERROR_KEY_DELETED);
    EXPECT_EQ(Open(open, "", &child), ERROR_KEY_DELETED);
    RegCloseKey(Create(HKEY_CURRENT_USER, "App\\Settings")); // a new key of the same name
    EXPECT_EQ(Set(open, "v", REG_SZ, "x"), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCreateKeyExA(open, "Sub", 0, nullptr, 0, 0, nullptr, &child, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(open), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteKeyA(parent, "Settings"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(parent, nullptr), ERROR_SUCCESS); // the handle's own key
    EXPECT_EQ(RegFlushKey(parent), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(parent), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
    platform::test::ForgetRegistry();
    EXPECT_EQ(Open(HKEY_CURRENT_USER, "App", &child), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, HandlesPathsAndAccessAreChecked) {
    size_t before = platform::CountObjects();
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(RegCloseKey(event), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(CloseHandle(event)); // still open
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);

    HKEY key = 0;
    EXPECT_EQ(Open(HKEY_CLASSES_ROOT, "a\\\\b", &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(Open(HKEY_CLASSES_ROOT, std::string(256, 'k').c_str(), &key),
              ERROR_INVALID_PARAMETER);
    HKEY writer = Create(HKEY_CLASSES_ROOT, ".zorv\\");
    EXPECT_EQ(Set(writer, "", REG_SZ, "file"), ERROR_SUCCESS);
    HKEY reader = 0;
    ASSERT_EQ(Open(HKEY_CLASSES_ROOT, ".ZORV", &reader, KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(Get(reader, ""), (Stored{REG_SZ, "file"}));
    EXPECT_EQ(Set(reader, "", REG_SZ, "other"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyExA(reader, "x", 0, nullptr, 0, 0, nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);
    HKEY writeOnly = 0;
    ASSERT_EQ(Open(writer, nullptr, &writeOnly, KEY_WRITE), ERROR_SUCCESS);
    EXPECT_EQ(Get(writeOnly, "").type, 0xDEAD0000u + ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(writeOnly, ""), ERROR_SUCCESS);
    for (HKEY open : {writer, reader, writeOnly})
        EXPECT_EQ(RegCloseKey(open), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(writer), ERROR_INVALID_HANDLE);
    EXPECT_EQ(platform::CountObjects(), before);

    std::string deepest = "k";
    for (size_t level = 1; level < 512; ++level)
        deepest += "\\k";
    RegCloseKey(Create(HKEY_USERS, deepest));
    EXPECT_EQ(RegCreateKeyExA(HKEY_USERS, (deepest + "\\k").c_str(), 0, nullptr, 0, 0, nullptr,
                              &key, nullptr),
              ERROR_INVALID_PARAMETER);
    platform::test::ForgetRegistry();
    EXPECT_EQ(Open(HKEY_USERS, deepest.c_str(), &key), ERROR_SUCCESS); // and it reads back
    RegCloseKey(key);
}

TEST_F(Registry, ACrashBeforeTheRenameKeepsThePreviousStore) {
    HKEY key = Create(HKEY_CURRENT_USER, "Crash");
    ASSERT_EQ(Set(key, "v", REG_SZ, "old"), ERROR_SUCCESS);
    std::string before = dir.ReadFile("HKEY_CURRENT_USER.reg");

    platform::test::SimulateCrashBeforeRename(true);
    EXPECT_EQ(Set(key, "v", REG_SZ, "new"), ERROR_WRITE_FAULT);
    EXPECT_EQ(Get(key, "v"), (Stored{REG_SZ, "old"}));
    EXPECT_EQ(dir.ReadFile("HKEY_CURRENT_USER.reg"), before);
    EXPECT_TRUE(dir.Exists("HKEY_CURRENT_USER.reg.tmp"));
    platform::test::SimulateCrashBeforeRename(false);
    RegCloseKey(key);

    platform::test::ForgetRegistry();
    ASSERT_EQ(Open(HKEY_CURRENT_USER, "Crash", &key), ERROR_SUCCESS);
    EXPECT_FALSE(dir.Exists("HKEY_CURRENT_USER.reg.tmp"));
    EXPECT_EQ(Get(key, "v"), (Stored{REG_SZ, "old"}));
    RegCloseKey(key);
}

TEST_F(Registry, AFailedWriteUndoesTheChange) {
    HKEY key = Create(HKEY_CURRENT_USER, "Disk");
    HKEY sub = Create(key, "Sub");
    Set(key, "a", REG_SZ, "1");
    Set(key, "b", REG_SZ, "2");

    platform::test::InjectFault(platform::test::Fault::DiskFull, 5);
    EXPECT_EQ(Set(key, "c", REG_SZ, "3"), ERROR_DISK_FULL);
    EXPECT_EQ(Set(key, "a", REG_DWORD, kDword), ERROR_DISK_FULL);
    EXPECT_EQ(RegDeleteValueA(key, "a"), ERROR_DISK_FULL);
    EXPECT_EQ(RegDeleteKeyA(key, "Sub"), ERROR_DISK_FULL);
    HKEY created = 0;
    EXPECT_EQ(RegCreateKeyExA(key, "New\\Deeper", 0, nullptr, 0, 0, nullptr, &created, nullptr),
              ERROR_DISK_FULL);

    EXPECT_EQ(Values(key), (Names{"a", "b"}));
    EXPECT_EQ(Get(key, "a"), (Stored{REG_SZ, "1"}));
    EXPECT_EQ(Subkeys(key), Names{"Sub"});
    EXPECT_EQ(Set(sub, "still", REG_SZ, "open"), ERROR_SUCCESS);
    RegCloseKey(sub);
    RegCloseKey(key);
}

TEST_F(Registry, AMalformedStoreIsMovedAsideAndReportedOnce) {
    dir.WriteFile("HKEY_CURRENT_USER.reg", "ZREG but not a store");
    HKEY key = 0;
    EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software", &key), ERROR_BADDB);
    EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software", &key), ERROR_FILE_NOT_FOUND);
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software"));
    platform::test::ForgetRegistry();
    EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(dir.ReadFile("HKEY_CURRENT_USER.reg.bad"), "ZREG but not a store");

    // When it cannot be moved aside, the root stays unusable rather than overwritten.
    dir.WriteFile("HKEY_LOCAL_MACHINE.reg", std::string(100, '\0'));
    dir.WriteFile("HKEY_LOCAL_MACHINE.reg.bad/keep", "a folder in the way");
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, nullptr, 0, 0, nullptr, &key,
                                  nullptr),
                  ERROR_BADDB);
    }
    EXPECT_EQ(dir.ReadFile("HKEY_LOCAL_MACHINE.reg"), std::string(100, '\0'));
}

} // namespace
