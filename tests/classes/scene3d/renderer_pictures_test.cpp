// Scenes made by scripts in a Window, drawn through each 3D display interface and read back
// with CaptureWindow, against one golden per scene drawn by the software renderer. OpenGL
// and the Direct3D-style renderer (Mesa's llvmpipe here) filter texels and step edges
// otherwise than the software renderer: a pixel may differ beside an edge of the golden,
// hardly one away from them. ZORV_WRITE_PICTURES=1 writes the goldens from the software
// renderer's pictures (look at them before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include <png.h>

#include "script/script_runner.h"
#include "support/golden_picture.h"
#include "support/model_files.h"
#include "support/temp_dir.h"

namespace {

struct Interface {
    const char* name;
    const char* constant;
};

const Interface kInterfaces[] = {
    {"Software", "Display.SOFTWARE"},
    {"OpenGL", "Display.OPENGL"},
    {"Direct3D", "Display.DIRECT3D"},
};

// The largest difference of the red, green and blue channels.
int ChannelDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
    return worst;
}

// Pixels further than 8 in a channel from the golden's and further than `reach` pixels
// from any edge of the golden.
int DifferingInside(const platform::headless::Pixels& golden,
                    const platform::headless::Pixels& drawn, int reach) {
    int inside = 0;
    for (int y = 0; y < golden.height; ++y)
        for (int x = 0; x < golden.width; ++x) {
            const uint32_t g = golden.At(x, y);
            if (ChannelDistance(g, drawn.At(x, y)) <= 8) continue;
            bool edge = false;
            for (int dy = -reach; dy <= reach && !edge; ++dy)
                for (int dx = -reach; dx <= reach && !edge; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= golden.width || ny >= golden.height) continue;
                    edge = ChannelDistance(golden.At(nx, ny), g) > 8;
                }
            inside += edge ? 0 : 1;
        }
    return inside;
}

class RendererPictures : public ::testing::TestWithParam<Interface> {
protected:
    // The script runs keep OpenGL out unless asked otherwise.
    void SetUp() override { setenv("ZORV_GL", "on", 1); }
    void TearDown() override { setenv("ZORV_GL", "off", 1); }

    // Runs `body` in a 160 x 120 Window `win` showing World `w` through Camera `c`, on the
    // interface of the case; `body` draws. Its picture is compared with golden/<name>.png,
    // pixels within `reach` of an edge excused: GL filters texels, blending neighbours over
    // a texel's width on the screen.
    void ExpectPicture(const std::string& name, const std::string& body, int reach = 2) {
        const Interface& in = GetParam();
        const std::string script =
            std::string("UseRenderers();\nDisplay.SetDisplayInterface(") + in.constant +
            ", 0, 0);\nPrint(Display.GetDisplayInterface() == " + in.constant +
            ");\nwin = New Window(\"Scene\", 160, 120, 0, 0);\nw = New World(win);\n"
            "c = New Camera(w, win);\nc.SetBackgroundColor(0x302010);\n" +
            body +
            "shot = New Surface(160, 120, 32);\nshot.CaptureWindow(win);\n"
            "shot.SaveImage(\"shown.png\", Surface.PNG);\n";
        const script_test::ScriptResult result = runner.Run(script, "test.zs", {}, {"shown.png"});
        ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line;
        if (std::string(in.name) != "Software" && result.output.substr(0, 2) == "0\n")
            GTEST_SKIP() << "no OpenGL here";
        ASSERT_EQ(result.output.substr(0, 2), "1\n") << result.output;
        ASSERT_EQ(result.files.count("shown.png"), 1u);
        folder.WriteFile("shown.png", result.files.at("shown.png"));
        platform::headless::Pixels shown;
        ASSERT_TRUE(test_support::ReadPngPicture(folder.Linux("shown.png"), shown));
        if (const char* keep = std::getenv("ZORV_GL_PICTURES"))
            std::ofstream(std::string(keep) + "/" + name + "_" + in.name + ".png", std::ios::binary)
                << result.files.at("shown.png");
        const std::filesystem::path golden =
            std::filesystem::path(__FILE__).parent_path() / "golden" / (name + ".png");
        const bool writing = std::getenv("ZORV_WRITE_PICTURES") != nullptr;
        if (writing && std::string(in.name) == "Software")
            std::ofstream(golden, std::ios::binary) << result.files.at("shown.png");
        platform::headless::Pixels expected;
        if (writing || !test_support::ReadPngPicture(golden, expected)) {
            EXPECT_TRUE(writing) << "no " << golden << " (ZORV_WRITE_PICTURES=1 writes it)";
            return;
        }
        ASSERT_EQ(std::make_pair(shown.width, shown.height),
                  std::make_pair(expected.width, expected.height));
        EXPECT_LE(DifferingInside(expected, shown, reach), shown.width * shown.height / 100)
            << name << " through " << in.name << " differs from " << golden;
    }

    script_test::ScriptRunner runner;
    test_support::TempDir folder;
};

// Flat-lit white spheres under a reddish ambient light: each face takes its lit colour.
TEST_P(RendererPictures, FlatLitSpheresTakeTheirLitColours) {
    ExpectPicture("lambert",
                  "w.SetLightColor(0xE06040);\n"
                  "a = w.CreateSphere(120, 120, 120, 16, 12);\na.SetPosition(-110, 0, 700);\n"
                  "b = w.CreateSphere(120, 120, 120, 16, 12);\nb.SetPosition(110, 0, 700);\n"
                  "white = New Material(w, 0xFFFFFF, \"White\");\nwhite.SetFlat(1);\n"
                  "a.ReplaceMaterial(white);\nb.ReplaceMaterial(white);\n"
                  "a.SetLambert(1);\nb.SetLambert(1);\n"
                  "UiRefreshNow();\nUiRefreshNow();\n");
}

// Keyed textures, one drawn by the script and one read from a file, on planes before a red
// one, and a Sprite with a transparent border over the view: the red plane shows through
// the key and around the sprite's square.
TEST_P(RendererPictures, KeyedTexturesAndSpritesShowWhatLiesBehind) {
    ExpectPicture(
        "keyed",
        "back = w.CreatePlane(600, 400);\nback.SetPosition(0, 0, 900);\n"
        "red = New Material(w, 0xFF0000, \"Red\");\nred.SetFlat(1);\n"
        "back.ReplaceMaterial(red);\n"
        "t = New Texture(w, 32, 32, \"Mark\");\nf = t.GetSurface();\n"
        "f.SetFillColor(0xFF00FF);\nf.SetPenColor(0xFF00FF);\nf.Rectangle(0, 0, 32, 32);\n"
        "f.SetFillColor(0x00FFFF);\nf.SetPenColor(0x00FFFF);\nf.Rectangle(8, 8, 24, 24);\n"
        "f.SaveImage(\"mark.bmp\");\n"
        "drawn = New Material(w, t, \"Drawn\");\ndrawn.SetTransparentColor(0xFF00FF);\n"
        "a = w.CreatePlane(200, 200);\na.SetPosition(-120, 0, 700);\n"
        "a.ReplaceMaterial(drawn);\n"
        "loaded = New Material(w, New Texture(w, \"mark.bmp\"), \"Loaded\");\n"
        "loaded.SetTransparentColor(0xFF00FF);\n"
        "b = w.CreatePlane(200, 200);\nb.SetPosition(120, 0, 700);\n"
        "b.ReplaceMaterial(loaded);\n"
        "badge = New Surface(40, 40, 32);\nbadge.Clear(0);\n"
        "badge.SetFillColor(0xFFFFFF);\nbadge.SetPenColor(0xFFFFFF);\n"
        "badge.Rectangle(10, 10, 30, 30);\n"
        "tag = New Sprite(win, 60, 10, badge);\n"
        "UiRefreshNow();\nUiRefreshNow();\n",
        7);
}

// Lit spheres, flat, smooth and textured, in the first frame drawn after they were made.
TEST_P(RendererPictures, TheFirstFrameIsLit) {
    ExpectPicture("first_frame",
                  "w.SetLightColor(0x202020);\n"
                  "img = New Surface(8, 8, 32);\nimg.Clear(0xFFFFFF);\n"
                  "img.SetFillColor(0x808080);\nimg.SetPenColor(0x808080);\n"
                  "img.Rectangle(0, 0, 4, 8);\nimg.SaveImage(\"half.bmp\");\n"
                  "white = New Material(w, 0xFFFFFF, \"White\");\nwhite.SetFlat(1);\n"
                  "a = w.CreateSphere(80, 80, 80, 16, 12);\na.SetPosition(-200, 0, 700);\n"
                  "a.ReplaceMaterial(white);\na.SetGouraud(1);\n"
                  "b = w.CreateSphere(80, 80, 80, 16, 12);\nb.SetPosition(0, 0, 700);\n"
                  "b.ReplaceMaterial(white);\nb.SetLambert(1);\n"
                  "d = w.CreateSphere(80, 80, 80, 16, 12);\nd.SetPosition(200, 0, 700);\n"
                  "d.ReplaceMaterial(New Material(w, New Texture(w, \"half.bmp\"), \"Half\"));\n"
                  "d.SetGouraud(1);\n"
                  "red = New Light(w, 0xFF0000, 255, 2000);\n"
                  "red.SetPosition(-400, 0, 300);\n"
                  "blue = New Light(w, 0x0000FF, 255, 2000);\n"
                  "blue.SetPosition(400, 0, 300);\n"
                  "c.Render();\n");
}

// A floor and a wall made static by the script and optimized, with a dynamic pyramid,
// seen from above and behind.
TEST_P(RendererPictures, OptimizedStaticGeometryDrawsAsBefore) {
    ExpectPicture("static_room",
                  "c.SetPosition(0, 120, -600);\n"
                  "floor = w.CreateBrick(1200, 10, 1600);\nfloor.SetPosition(0, -100, 400);\n"
                  "grass = New Material(w, 0x40A040, \"Grass\");\ngrass.SetFlat(1);\n"
                  "floor.ReplaceMaterial(grass);\n"
                  "wall = w.CreateBrick(800, 300, 40);\nwall.SetPosition(0, 50, 1000);\n"
                  "bricks = New Material(w, 0xC08040, \"Bricks\");\nbricks.SetFlat(1);\n"
                  "wall.ReplaceMaterial(bricks);\n"
                  "floor.SetStatic();\nwall.SetStatic();\nw.Optimize(c);\n"
                  "peak = w.CreatePyramid(200, 200, 200);\npeak.SetPosition(0, 0, 600);\n"
                  "blue = New Material(w, 0x4060E0, \"Blue\");\nblue.SetFlat(1);\n"
                  "peak.ReplaceMaterial(blue);\n"
                  "UiRefreshNow();\nUiRefreshNow();\n");
}

// A 1-bit palette PNG of 16 x 16, stripes of blue and yellow four pixels wide.
std::string StripedOneBitPng() {
    std::string file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &file,
        [](png_structp p, png_bytep data, size_t length) {
            static_cast<std::string*>(png_get_io_ptr(p))
                ->append(reinterpret_cast<char*>(data), length);
        },
        nullptr);
    png_set_IHDR(png, info, 16, 16, 1, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color colours[2] = {{0x20, 0x40, 0xE0}, {0xF0, 0xD0, 0x20}};
    png_set_PLTE(png, info, colours, 2);
    png_write_info(png, info);
    png_byte row[2] = {0x0F, 0x0F};
    for (int y = 0; y < 16; ++y)
        png_write_row(png, row);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file;
}

// A texture read from a 1-bit PNG, on a plane facing the camera.
TEST_P(RendererPictures, OneBitPngTexturesShow) {
    folder.WriteFile("stripes.png", StripedOneBitPng());
    ExpectPicture("one_bit_png",
                  "b = w.CreatePlane(300, 300);\nb.SetPosition(0, 0, 900);\n"
                  "b.ReplaceMaterial(New Material(w, New Texture(w, \"" +
                      folder.Win("stripes.png") +
                      "\"), \"Stripes\"));\n"
                      "UiRefreshNow();\nUiRefreshNow();\n",
                  7);
}

// A 3DS model whose version byte is 0: a tetrahedron, flat-lit.
TEST_P(RendererPictures, AThreeDsModelWithoutItsVersionByteLoads) {
    test_support::ChunkBytes model;
    model.Open3ds(0).Mesh("Tetra",
                          {{-150, -100, -100}, {150, -100, -100}, {0, -100, 150}, {0, 150, 0}},
                          {{0, 1, 3}, {1, 2, 3}, {2, 0, 3}, {0, 2, 1}});
    const std::vector<uint8_t>& bytes = model.CloseAll().Data();
    folder.WriteFile("tetra.3ds", std::string(bytes.begin(), bytes.end()));
    ExpectPicture("version_byte_3ds",
                  "w.Load(\"" + folder.Win("tetra.3ds") +
                      "\");\nPrint(w.GetNObjects());\n"
                      "t = w.GetObject(0);\nt.SetPosition(0, 0, 700);\nt.TurnLeft(0.4);\n"
                      "sand = New Material(w, 0xE0C080, \"Sand\");\nsand.SetFlat(1);\n"
                      "t.ReplaceMaterial(sand);\n"
                      "UiRefreshNow();\nUiRefreshNow();\n");
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Interfaces, RendererPictures, ::testing::ValuesIn(kInterfaces),
                         [](const ::testing::TestParamInfo<Interface>& info) {
                             return std::string(info.param.name);
                         });
