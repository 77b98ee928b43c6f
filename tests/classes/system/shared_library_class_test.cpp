#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/kernel/test_hooks.h"
#include "script/script_runner.h"
#include "support/temp_dir.h"

namespace {

// The test library beside a stand-in program, as "mylib.so"; scripts load "mylib.dll".
class SharedLibraryClass : public ::testing::Test {
protected:
    void SetUp() override {
        std::ifstream in(ZORV_TEST_LIBRARY, std::ios::binary);
        dir_.WriteFile("mylib.so", std::string(std::istreambuf_iterator<char>(in), {}));
        platform::test::SetModuleFilePath(dir_.Linux("player"));
    }
    void TearDown() override { platform::test::SetModuleFilePath(""); }

    script_test::ScriptResult Run(const std::string& body) {
        // record() reads what the last call saw.
        return runner_.Run(
            "lib = New SharedLibrary(\"mylib.dll\");\n"
            "Function Record() { r = New Binary(); r.AllocateData(256); "
            "lib.CallFunction(\"copy_record\", \"B\", r); Return r.GetString(0); }\n" +
            body);
    }

    test_support::TempDir dir_;
    script_test::ScriptRunner runner_;
};

TEST_F(SharedLibraryClass, ArgumentsArriveAsTheSignatureSays) {
    script_test::ScriptResult result =
        Run("Print(lib.IsLoaded(), lib.CallFunction(\"no_arguments\", \"\", 5), Record());\n"
            "Print(lib.CallFunction(\"take_i\", \"I\", 41.9), Record());\n"
            "Print(lib.CallFunction(\"take_id\", \"ID\", 1, 2.5), Record());\n"
            "Print(lib.CallFunction(\"take_fds\", \"fds\", 0.25, 3, \"abc\"), Record());\n"
            "Print(lib.CallFunction(\"negative\"), lib.CallFunction(\"missing\", \"I\", 1));\n");
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "1 42 none\n"
                             "42 I 41\n"
                             "1 ID 1 2.5\n"
                             "3 FDS 0.25 3 abc\n"
                             "-5 0\n");
}

TEST_F(SharedLibraryClass, BinariesAreFilledInPlaceAndTextsStayUnchanged) {
    script_test::ScriptResult result =
        Run("b = New Binary();\nb.AllocateData(3);\n"
            "Print(lib.CallFunction(\"fill\", \"BI\", b, 3), b.GetByte(0), b.GetByte(2));\n"
            "t = \"secret\";\nu = t;\n"
            "Print(lib.CallFunction(\"scribble\", \"S\", t), t, u);\n"
            "lib.Unload();\n"
            "Print(lib.IsLoaded(), lib.CallFunction(\"negative\"), lib.Load(\"nowhere.dll\"));\n");
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "3 160 162\n6 secret secret\n0 0 0\n");
}

TEST_F(SharedLibraryClass, ArgumentKindsAreChecked) {
    EXPECT_EQ(Run("lib.Load();").code, 21);
    EXPECT_EQ(Run("lib.Load(3.5);").code, 14);
    EXPECT_EQ(Run("lib.CallFunction(7);").code, 14);
    EXPECT_EQ(Run("lib.CallFunction(\"take_i\", 7, 1);").code, 14);
}

} // namespace
