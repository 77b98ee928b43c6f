#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "script/project/project_format.h"
#include "script/project/project_test_data.h"
#include "script/script_runner.h"
#include "support/model_files.h"
#include "support/temp_dir.h"

namespace {

class WorldFiles : public ::testing::Test {
protected:
    // The script's name of a file of the folder.
    std::string Path(const std::string& relative) const { return "C:" + dir.Linux(relative); }
    void Write(const std::string& relative, const std::vector<uint8_t>& bytes) const {
        dir.WriteFile(relative, std::string(bytes.begin(), bytes.end()));
    }
    // A script run on a World shown in a Surface, `w`; its output, or "error N".
    std::string Run(const std::string& body) {
        const script_test::ScriptResult result =
            runner.Run("UseRenderers();\ns = New Surface(64, 48);\nw = New World(s);\n" + body);
        if (result.ok != 1) return "error " + std::to_string(result.code);
        return result.output;
    }

    test_support::TempDir dir;
    script_test::ScriptRunner runner;
};

TEST_F(WorldFiles, EachTypeLoadsThroughWorldLoad) {
    Write("grid.3ds", test_support::Grid3ds(2, 3));
    Write("grid.md2", test_support::BuildMd2(test_support::GridMd2(2, 2, 3)));
    dir.WriteFile("tri.yix", "\r\n[SCRIPT_INFORMATION]\r\nSCR_Version = 1068708663\r\n"
                             "\r\n[3DWORLD]\r\nWOR_NbCamera = 0\r\n");
    EXPECT_EQ(Run("a = w.Load(\"" + Path("grid.3ds") + "\");\nb = w.GetNObjects();\n" +
                  "c = w.Load(\"" + Path("grid.md2") + "\");\nd = w.GetNObjects();\n" +
                  "e = w.Load(\"" + Path("tri.yix") + "\");\n" +
                  "Print(a, b > 0, c == b, d > b, e == d, w.GetNObjects() == d);\n"),
              "0 1 1 1 1 1\n");
    // A 3DS or MD2 file holds no object that could be picked out by name.
    EXPECT_EQ(Run("w.LoadObject(\"" + Path("grid.md2") + "\", \"x\");"), "error 62");
}

TEST_F(WorldFiles, BadFilesRaiseTheirErrorsAndKeepTheWorld) {
    dir.WriteFile("notes.zyb", "just some words, no world at all");
    EXPECT_EQ(Run("b = w.CreateBrick();\nw.Load(\"" + Path("notes.zyb") + "\");"), "error 62");
    EXPECT_EQ(Run("w.Load(\"" + Path("none.zyb") + "\");"), "error 17");
    // A world saved by a script, then cut short and spoilt.
    const script_test::ScriptResult saved =
        runner.Run("UseRenderers();\nw = New World(New Surface(32, 32));\nw.CreateBrick();\n"
                   "w.CreateSphere();\nw.Save(\"whole.zyb\");\n",
                   "test.zs", {}, {"whole.zyb"});
    ASSERT_EQ(saved.ok, 1);
    const std::string whole = saved.files.at("whole.zyb");
    ASSERT_GT(whole.size(), 200u);
    for (size_t cut : {size_t(12), whole.size() / 3, whole.size() / 2, whole.size() - 7}) {
        dir.WriteFile("cut.zyb", whole.substr(0, cut));
        const std::string out = Run("b = w.CreateBrick();\nw.Load(\"" + Path("cut.zyb") +
                                    "\");\nPrint(w.GetNObjects() >= 1);\n");
        EXPECT_TRUE(out == "1\n" || out == "error 44" || out == "error 62") << cut << ": " << out;
    }
    std::string spoilt = whole;
    for (size_t i = 16; i < spoilt.size(); i += 13)
        spoilt[i] = char(spoilt[i] ^ 0x5A);
    dir.WriteFile("spoilt.zyb", spoilt);
    const std::string out = Run("b = w.CreateBrick();\nw.Load(\"" + Path("spoilt.zyb") +
                                "\");\nPrint(w.GetNObjects() >= 1);\n");
    EXPECT_TRUE(out == "1\n" || out == "error 44" || out == "error 62") << out;
}

TEST_F(WorldFiles, SavingPutsTheTexturesInAFolderNamedAfterTheFile) {
    EXPECT_EQ(Run("img = New Surface(4, 4, 32);\nimg.SaveImage(\"" + Path("wall.bmp") + "\");\n" +
                  "b = w.CreateBrick();\nb.ReplaceMaterial(New Material(w, New Texture(w, \"" +
                  Path("wall.bmp") + "\")));\nPrint(w.Save(\"" + Path("worlds/castle.zyb") +
                  "\"), w.Save(\"" + Path("castle.zyb") + "\"));\n"),
              "0 1\n");
    EXPECT_TRUE(dir.Exists("castle_textures/wall.bmp"));
    // The saved world finds its texture in that folder once the image is gone.
    std::remove(dir.Linux("wall.bmp").c_str());
    EXPECT_EQ(Run("w.Load(\"" + Path("castle.zyb") + "\");\nt = w.GetTexture(\"wall\");\n" +
                  "Print(w.GetNTextures(), t.GetName());\n"),
              "1 wall\n");
}

TEST_F(WorldFiles, ATextureImageOfAnotherFormatIsReadFromItsPng) {
    dir.WriteFile("tex.yix", "\r\n[SCRIPT_INFORMATION]\r\nSCR_Version = 1068708663\r\n"
                             "\r\n[BASETEXTURE]\r\nBMA_NbTexture = 1\r\n"
                             "\r\n[TEXTURE]\r\nTEX_TextureFileName = 'WALL.TGA'\r\n"
                             "TEX_TextureName = 'Wall'\r\n");
    const std::string out = Run("img = New Surface(4, 4, 32);\nimg.SaveImage(\"" +
                                Path("wall.png") + "\", Surface.PNG);\nw.Load(\"" +
                                Path("tex.yix") + "\");\nt = w.GetTexture(\"wall\");\n" +
                                "Print(w.GetNTextures(), t.GetName(), t.GetFileName());\n");
    EXPECT_EQ(out.rfind("1 Wall ", 0), 0u) << out;
    // The file is found whatever the case of its name.
    std::string lower = out;
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(lower.find("wall.png"), std::string::npos) << out;
}

TEST_F(WorldFiles, AWorldOfThe3DBankComesBeforeAFileOfTheSameName) {
    const script_test::ScriptResult saved =
        runner.Run("UseRenderers();\nw = New World(New Surface(32, 32));\nw.CreateBrick();\n"
                   "w.CreateSphere();\nw.Save(\"two.zyb\");\n",
                   "test.zs", {}, {"two.zyb"});
    ASSERT_EQ(saved.ok, 1);
    using namespace project_test;
    Entry game;
    game.name = "Game";
    game.banks = {
        Bank{kSourceBank, "Sources", {Element("main", "x = 1;")}},
        Bank{project_format::k3DBank, "Worlds", {Element("castle", saved.files.at("two.zyb"))}}};
    const std::string project = Project({game});
    const script_test::ScriptResult result = runner.Run(
        "UseRenderers();\ns = New Surface(32, 32);\nfirst = New World(s);\nfirst.CreateBrick();\n"
        "Print(first.Save(\"castle\"));\nw = New World(s);\n"
        "Print(w.Load(\"castle\"), w.GetNObjects());\n"
        "v = New World(New Surface(32, 32), 0);\nPrint(v.GetNObjects());\n"
        "u = New World(New Surface(32, 32), 3);\n",
        "test.zs", project);
    EXPECT_EQ(result.output, "1\n0 2\n2\n");
    EXPECT_EQ(result.code, 33);
}

TEST_F(WorldFiles, TheBackgroundComesFromAFileOrASurface) {
    EXPECT_EQ(
        Run("c = New Camera(w, s);\nimg = New Surface(8, 8, 32);\n"
            "img.SetFillColor(Surface.RED);\nimg.SetPenColor(Surface.RED);\n"
            "img.Rectangle(0, 0, 8, 8);\nimg.SaveImage(\"" +
            Path("sky.bmp") +
            "\");\n"
            "Print(w.SetBackground(\"" +
            Path("sky.bmp") +
            "\"), w.GetNMaterials(), "
            "w.GetNTextures());\nUiRefreshNow();\np = s.GetPixel(32, 24);\n"
            "img.SetFillColor(Surface.BLUE);\nimg.SetPenColor(Surface.BLUE);\n"
            "img.Rectangle(0, 0, 8, 8);\n"
            "Print(w.SetBackground(img, 1, 1, 2, 2, 0), w.GetNMaterials(), w.GetNTextures());\n"
            "UiRefreshNow();\nm = w.GetMaterial(\"Background Material\");\n"
            "Print(AsText(p), AsText(s.GetPixel(32, 24)), m.GetColor());\n"),
        "1 3 1\n1 3 1\n16711680 255 0\n");
    EXPECT_EQ(Run("w.SetBackground(New Vector());"), "error 14");
    EXPECT_EQ(Run("w.SetBackground();"), "error 14");
}

} // namespace
