#include <gtest/gtest.h>

#include <string>

#include "classes/system/registry_value.h"
#include "platform/registry/registry.h"
#include "platform/registry/registry_test_hooks.h"
#include "script/script_runner.h"
#include "support/temp_dir.h"

namespace {

const uint8_t* Bytes(const char* text) {
    return reinterpret_cast<const uint8_t*>(text);
}

TEST(RegistryValue, DataIsReadWithinItsStoredSize) {
    EXPECT_EQ(DecodeRegistryValue(REG_SZ, Bytes("abcd"), 2).text, "ab");
    EXPECT_EQ(DecodeRegistryValue(REG_EXPAND_SZ, Bytes("a\0b"), 3).text, "a");
    EXPECT_EQ(DecodeRegistryValue(REG_SZ, nullptr, 0).text, "");
    EXPECT_EQ(DecodeRegistryValue(REG_DWORD, Bytes("\x01\x02"), 2).integer, 0x0201);
    EXPECT_EQ(DecodeRegistryValue(REG_DWORD, Bytes("\xFF\xFF\xFF\xFF\x05"), 5).integer, -1);
    EXPECT_EQ(DecodeRegistryValue(REG_DWORD, nullptr, 0).integer, 0);
    auto texts = DecodeRegistryValue(REG_MULTI_SZ, Bytes("ab\0cd"), 5).texts;
    EXPECT_EQ(texts, (std::vector<std::string>{"ab", "cd"}));
    texts = DecodeRegistryValue(REG_MULTI_SZ, Bytes("ab\0\0cd\0"), 7).texts;
    EXPECT_EQ(texts, (std::vector<std::string>{"ab"}));
    EXPECT_EQ(DecodeRegistryValue(REG_BINARY, Bytes("\0\1"), 2).bytes.size(), 2u);
    EXPECT_EQ(DecodeRegistryValue(REG_NONE, Bytes("x"), 1).kind, RegistryValue::Kind::Unsupported);
}

TEST(RegistryValue, UnterminatedTextsStoredByHandReadBackBounded) {
    test_support::TempDir dir;
    platform::test::SetRegistryFolder(dir.LinuxPath());
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Raw", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "text", 0, REG_SZ, Bytes("abc"), 3), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "list", 0, REG_MULTI_SZ, Bytes("x\0yz"), 4), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "short", 0, REG_DWORD, Bytes("\x07"), 1), ERROR_SUCCESS);
    RegCloseKey(key);

    script_test::ScriptRunner runner;
    script_test::ScriptResult result = runner.Run(
        "r = New Registry();\n"
        "r.OpenKey(Registry.ROOT_HKEY_CURRENT_USER, \"Software\\Raw\", Registry.REG_ACCESS_READ);\n"
        "l = r.GetValue(\"list\");\n"
        "Print(\"[\" + r.GetValue(\"text\") + \"]\", l[0], l[1], r.GetValue(\"short\"));\n");
    platform::test::SetRegistryFolder("");
    EXPECT_EQ(result.ok, 1) << result.code;
    EXPECT_EQ(result.output, "[abc] x yz 7\n");
}

} // namespace
