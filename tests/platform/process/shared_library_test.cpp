#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/files/files.h"
#include "platform/kernel/test_hooks.h"
#include "platform/last_error.h"
#include "platform/process/ffi_call.h"
#include "platform/process/shared_library.h"
#include "support/temp_dir.h"

namespace {

std::string LibraryBytes() {
    std::ifstream in(ZORV_TEST_LIBRARY, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

template <class Function> Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(GetProcAddress(module, name));
}

std::string Record(HMODULE module) {
    char buffer[256] = {};
    Export<int32_t (*)(char*)>(module, "copy_record")(buffer);
    return buffer;
}

TEST(SharedLibrary, NamesAreLookedForAsWindowsProgramsSpellThem) {
    test_support::TempDir dir;
    dir.WriteFile("MyLib.so", LibraryBytes());
    dir.WriteFile("libother.so", LibraryBytes());
    dir.WriteFile("windows.dll", std::string("MZ\x90\0", 4) + std::string(60, '\0'));
    dir.WriteFile("text.dll", "not a library at all");
    platform::test::SetModuleFilePath(dir.Linux("player"));
    // Beside the program, without regard to case, ".dll" standing for ".so".
    HMODULE module = LoadLibraryA("mylib.dll");
    EXPECT_NE(module, 0u);
    EXPECT_EQ(Export<int32_t (*)()>(module, "no_arguments")(), 42);
    EXPECT_EQ(ErrorOf(GetProcAddress(module, "missing"), nullptr), ERROR_PROC_NOT_FOUND);
    // CloseHandle does not take modules.
    EXPECT_FALSE(CloseHandle(module));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(FreeLibrary(module));
    // "lib" + stem + ".so", and by path.
    module = LoadLibraryA("other");
    EXPECT_NE(module, 0u);
    FreeLibrary(module);
    module = LoadLibraryA(dir.Win("OTHER.DLL").c_str());
    EXPECT_NE(module, 0u);
    FreeLibrary(module);
    module = LoadLibraryA(dir.Win("libother.dll").c_str());
    EXPECT_NE(module, 0u);
    FreeLibrary(module);
    EXPECT_EQ(ErrorOf(LoadLibraryA("windows.dll"), 0u), ERROR_BAD_EXE_FORMAT);
    EXPECT_EQ(ErrorOf(LoadLibraryA(dir.Win("text.dll").c_str()), 0u), ERROR_BAD_EXE_FORMAT);
    EXPECT_EQ(ErrorOf(LoadLibraryA("nowhere-to-be-found.dll"), 0u), ERROR_MOD_NOT_FOUND);
    // A name with a folder is looked for there only.
    EXPECT_EQ(ErrorOf(LoadLibraryA("C:\\no-such-folder\\mylib.dll"), 0u), ERROR_MOD_NOT_FOUND);
    // The alias table.
    SetLibraryAlias("Fixed32.DLL", dir.Linux("MyLib.so").c_str());
    module = LoadLibraryA("FIXED32.dll");
    EXPECT_NE(module, 0u);
    FreeLibrary(module);
    platform::test::SetModuleFilePath("");
}

int32_t BuiltInAnswer() {
    return 7;
}

FARPROC BuiltInExportsForTest(LPCSTR name) {
    return std::strcmp(name, "Answer") == 0 ? reinterpret_cast<FARPROC>(&BuiltInAnswer) : nullptr;
}

TEST(SharedLibrary, BuiltInModulesAnswerTheirOwnNamesUntilAnAliasOrRemovalReplacesThem) {
    RegisterBuiltInModule("Own.DLL", &BuiltInExportsForTest);
    HMODULE first = LoadLibraryA("own.dll");
    HMODULE second = LoadLibraryA("OWN.DLL");
    ASSERT_NE(first, 0u);
    EXPECT_NE(second, first);
    EXPECT_EQ(Export<int32_t (*)()>(first, "Answer")(), 7);
    EXPECT_EQ(ErrorOf(GetProcAddress(first, "Other"), nullptr), ERROR_PROC_NOT_FOUND);
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(Export<int32_t (*)()>(second, "Answer")(), 7);
    EXPECT_TRUE(FreeLibrary(second));
    // Gone from the table, the name is looked for as a file again.
    RegisterBuiltInModule("own.dll", nullptr);
    EXPECT_EQ(ErrorOf(LoadLibraryA("own.dll"), 0u), ERROR_MOD_NOT_FOUND);
    // A program's alias comes first.
    test_support::TempDir dir;
    dir.WriteFile("real.so", LibraryBytes());
    RegisterBuiltInModule("Aliased.dll", &BuiltInExportsForTest);
    SetLibraryAlias("aliased.dll", dir.Linux("real.so").c_str());
    HMODULE module = LoadLibraryA("aliased.dll");
    ASSERT_NE(module, 0u);
    EXPECT_EQ(Export<int32_t (*)()>(module, "no_arguments")(), 42);
    FreeLibrary(module);
    RegisterBuiltInModule("aliased.dll", nullptr);
}

TEST(SharedLibrary, LoadsFromMemory) {
    std::string bytes = LibraryBytes();
    HMODULE module = LoadLibraryFromBytes(bytes.data(), bytes.size(), "bank element");
    ASSERT_NE(module, 0u);
    EXPECT_EQ(Export<int32_t (*)(int32_t)>(module, "take_i")(6), 7);
    FreeLibrary(module);
    std::string windows = "MZ" + std::string(100, '\0');
    EXPECT_EQ(ErrorOf(LoadLibraryFromBytes(windows.data(), windows.size(), "x"), 0u),
              ERROR_BAD_EXE_FORMAT);
}

TEST(SharedLibrary, CallsPassEveryKindInOrder) {
    HMODULE module = LoadLibraryA(ZORV_TEST_LIBRARY);
    ASSERT_NE(module, 0u);
    int32_t result = 0;
    EXPECT_TRUE(CallExport(GetProcAddress(module, "no_arguments"), nullptr, 0, result));
    EXPECT_EQ(result, 42);
    EXPECT_EQ(Record(module), "none");
    FfiArgument id[2];
    id[0].kind = FfiKind::Int32;
    id[0].int32 = 1;
    id[1].kind = FfiKind::Double;
    id[1].real = 2.5;
    EXPECT_TRUE(CallExport(GetProcAddress(module, "take_id"), id, 2, result));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Record(module), "ID 1 2.5");
    char text[] = "text";
    FfiArgument fds[3];
    fds[0].kind = FfiKind::Float;
    fds[0].single = 0.25f;
    fds[1].kind = FfiKind::Double;
    fds[1].real = -1e300;
    fds[2].kind = FfiKind::Pointer;
    fds[2].pointer = text;
    EXPECT_TRUE(CallExport(GetProcAddress(module, "take_fds"), fds, 3, result));
    EXPECT_EQ(result, 4);
    EXPECT_EQ(Record(module), "FDS 0.25 -1.0000000000000001e+300 text");
    EXPECT_TRUE(CallExport(GetProcAddress(module, "negative"), nullptr, 0, result));
    EXPECT_EQ(result, -5);
    FreeLibrary(module);
}

} // namespace
