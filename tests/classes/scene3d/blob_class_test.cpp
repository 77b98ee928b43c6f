#include <gtest/gtest.h>

#include <string>

#include "script/script_runner.h"

namespace {

class BlobClass : public ::testing::Test {
protected:
    // The output, or "error N line L".
    std::string Run(const std::string& body) {
        const script_test::ScriptResult result =
            runner.Run("UseRenderers();\ns = New Surface(80, 60);\nw = New World(s);\n" + body);
        if (result.ok != 1)
            return "error " + std::to_string(result.code) + " line " +
                   std::to_string(result.line - 2);
        return result.output;
    }

    script_test::ScriptRunner runner;
};

TEST_F(BlobClass, TheFormsOfNewBlob) {
    EXPECT_EQ(Run("img = New Surface(8, 8, 32);\nimg.SaveImage(\"leaf.bmp\");\n"
                  "a = New Blob(w, 0, 0, 0, \"leaf.bmp\", 20, 40);\n"
                  "m = a.GetMaterial();\n"
                  "t = a.GetTexture();\nPrint(w.GetNBlobs(), m.GetName(), t.GetName(), a.GetX());\n"
                  "o = w.CreateBrick();\no.SetPosition(5, 6, 7);\n"
                  "b = New Blob(w, o, t, \"Halo\");\n"
                  "Print(b.GetX(), b.GetZ(), b.GetName(), b.GetTexture() == t);\n"
                  "c = New Blob(w, 1, 2, 3, m);\nd = New Blob(w, 0, 0, 0, s);\n"
                  "u = d.GetTexture();\nPrint(c.GetMaterial() == m, u.GetSurface() == s, "
                  "w.GetNBlobs());\n"
                  "Print(c.IsAxisMovingX(), c.IsAxisMovingY(), c.IsAxisMovingZ());\n"
                  "c.SetAxisMovingX();\nc.SetAxisMovingY(0);\n"
                  "Print(c.IsAxisMovingX(), c.IsAxisMovingY(), w.GetBlob(\"halo\") == b);\n"),
              "1 Material leaf 0\n5 7 Halo 1\n1 1 4\n0 1 0\n1 0 1\n");
}

TEST_F(BlobClass, TheErrorsOfNewBlobAndItsMethods) {
    const std::string material = "m = New Material(w);\n";
    EXPECT_EQ(Run(material + "b = New Blob(w, m);"), "error 14 line 2");
    EXPECT_EQ(Run(material + "b = New Blob(w, 0, 0, 0, m, 1, 2, 3);"), "error 14 line 2");
    EXPECT_EQ(Run(material + "b = New Blob(w, 0, 0, 0, m, \"a\", \"b\");"), "error 14 line 2");
    EXPECT_EQ(Run(material + "b = New Blob(w, 0, 0, 0, \"\");"), "error 14 line 2");
    EXPECT_EQ(Run(material + "b = New Blob(5, 0, 0, 0, m);"), "error 54 line 2");
    EXPECT_EQ(Run("v = New World(New Surface(8, 8));\nm = New Material(v);\n"
                  "b = New Blob(w, 0, 0, 0, m);"),
              "error 117 line 3");
    EXPECT_EQ(Run("v = New World(New Surface(8, 8));\nt = New Texture(v, 4, 4);\n"
                  "b = New Blob(w, 0, 0, 0, t);"),
              "error 118 line 3");
    EXPECT_EQ(Run(material + "b = New Blob(w, 0, 0, 0, m);\nb.SetWidth(\"10\");"),
              "error 14 line 3");
    EXPECT_EQ(Run(material + "b = New Blob(w, 0, 0, 0, m);\nb.SetAxisMovingZ(2);"),
              "error 14 line 3");
    EXPECT_EQ(Run("v = New World(New Surface(8, 8));\nt = New Texture(v, 4, 4);\n" + material +
                  "b = New Blob(w, 0, 0, 0, m);\nb.SetImage(t);"),
              "error 119 line 5");
}

TEST_F(BlobClass, SetImageGivesAFaceWithoutTextureATextureOfItsOwn) {
    EXPECT_EQ(
        Run("m = New Material(w);\nb = New Blob(w, 0, 0, 0, m);\n"
            "Print(b.GetTexture(), w.GetNTextures());\n"
            "b.SetImage(New Surface(4, 4));\n"
            "Print(b.GetTexture() != 0, m.GetTexture() == b.GetTexture(), w.GetNTextures());\n"
            "b.SetImage(New Surface(8, 8));\nPrint(w.GetNTextures());\n"),
        "0 0\n1 1 1\n1\n");
}

TEST_F(BlobClass, DeletingTheMaterialMarksTheBlobDeletedAndKeepsTheEngineBlob) {
    EXPECT_EQ(Run("m = New Material(w);\nb = New Blob(w, 0, 0, 0, m);\nDelete m;\n"
                  "Print(Program.IsObject(b), w.GetNBlobs());\n"
                  "c = w.GetBlob(0);\nPrint(Program.IsObject(c), c.GetMaterial() != 0);\n"),
              "0 1\n1 1\n");
}

TEST_F(BlobClass, ABlobIsDrawnFacingTheCamera) {
    EXPECT_EQ(Run("c = New Camera(w, s);\nimg = New Surface(8, 8, 32);\n"
                  "img.SetFillColor(Surface.RED);\nimg.SetPenColor(Surface.RED);\n"
                  "img.Rectangle(0, 0, 8, 8);\nb = New Blob(w, 0, 0, 300, img, 100, 100);\n"
                  "UiRefreshNow();\nUiRefreshNow();\n"
                  "Print(AsText(s.GetPixel(40, 30)) != AsText(s.GetPixel(1, 1)));\n"),
              "1\n");
}

} // namespace
