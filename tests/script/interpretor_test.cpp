#include <gtest/gtest.h>

#include "foundation/ptr_array.h"
#include "script/interpretor.h"
#include "script/token_codes.h"
#include "script/token_compiler.h"

namespace {

TEST(CInterpretorRunning, ErrorsCarryTheUnitLineAndColumnOfTheCurrentToken) {
    CTokenCompiler compiler;
    PtrArray noClasses;
    ASSERT_EQ(compiler.BuildClassLookups(noClasses), 1);
    CInterpretor interpreter;
    interpreter.AddUnit("a = 1;\r\nb = 2;\n  c = 3;", 0, "Game:scripts/main.zs", 0);
    ASSERT_EQ(compiler.Compile(interpreter), 1);

    interpreter.mode = kModeRunning;
    interpreter.currentToken = interpreter.GetStream();
    for (int name = 0; name < 3; ++name) {
        if (name > 0) interpreter.SkipToken();
        interpreter.currentToken = interpreter.FindToken(kTokenName);
        ASSERT_NE(interpreter.currentToken, nullptr);
    }
    try {
        interpreter.RaiseError(41);
        FAIL() << "RaiseError returned";
    } catch (CIError* error) {
        EXPECT_EQ(error->code, 41);
        EXPECT_STREQ(error->GetUnitName(), "Game:scripts/main.zs");
        EXPECT_EQ(error->line, 2);
        EXPECT_EQ(error->column, 2);
        char text[64];
        error->Format(text, sizeof text, 1);
        EXPECT_STREQ(text, "Erreur #41 ligne 3.");
        CWXException::Delete(error);
    }
}

} // namespace
