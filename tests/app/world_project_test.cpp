// End to end: a packed project whose 3D bank holds a ZYB world and whose image bank holds
// the images its textures name (the rooms of examples/3d-walk), shown in a Window by the
// real player on the headless display through the software renderer, and through both
// OpenGL back ends once merged into the octree. The world's file names its textures' images
// as files; the player must find them in the image bank.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/player_run.h"
#include "support/temp_dir.h"

namespace {

std::filesystem::path Walk() {
    return std::filesystem::path(ZORV_SOURCE_DIR) / "examples/3d-walk";
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(WorldProject, APackedProjectShowsAWorldOfItsBanksTexturedFromItsImageBank) {
    test_support::TempDir folder;
    folder.WriteFile("game/project.zpk", "entry Rooms\n  module main.zs\n"
                                         "  bank image Textures\n"
                                         "    file floor.png name=floor\n"
                                         "    file wall.png name=wall\n"
                                         "    file crate.png name=crate\n"
                                         "  bank 3d Worlds\n"
                                         "    file rooms.zyb packed\n");
    for (const char* image : {"floor.png", "wall.png", "crate.png"})
        folder.WriteFile(std::string("game/") + image, ReadBytes(Walk() / "generator" / image));
    folder.WriteFile("game/rooms.zyb", ReadBytes(Walk() / "rooms.zyb"));
    folder.WriteFile("game/main.zs", R"(w = New Window("Rooms", 200, 150, 20, 20);
rooms = New World(w, "rooms.zyb");
eye = New Camera(rooms, w);
eye.SetPosition(330, 200, -370);
eye.TurnLeft(1.0);
eye.TurnDown(0.25);
If (rooms.GetNTextures() != 3 || rooms.GetNObjects() != 6) Missing();
eye.Render();
Delete w;
)");
    std::filesystem::create_directories(folder.Linux("pictures"));
    ASSERT_TRUE(app_test::PackFolder(folder));
    // No file of the world's textures is left to find: only the image bank can give them.
    std::filesystem::remove_all(folder.Linux("game"));
    const app_test::PlayerOutcome outcome = app_test::RunPlayer(
        folder, folder.Linux("packed"), {},
        "ZORV_GL=off ZORV_HEADLESS_DUMP=" + app_test::ShellQuote(folder.Linux("pictures")));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    ASSERT_TRUE(folder.Exists("pictures/window-1.png"));
    app_test::ExpectSameAsGolden(folder.Linux("pictures/window-1.png"),
                                 std::filesystem::path(ZORV_SOURCE_DIR) /
                                     "tests/app/golden/world_project.png");
}

// The rooms packed with their image bank into a player named after `name`, run with
// `script` as its main module, with OpenGL (the script chooses the back end) or without; the
// frame shown is left in pictures/<name>/window-1.png.
void RunRooms(const test_support::TempDir& folder, const std::string& name,
              const std::string& script, bool openGL) {
    const std::string game = "game/" + name;
    folder.WriteFile(game + "/project.zpk", "entry Rooms\n  module main.zs\n"
                                            "  bank image Textures\n"
                                            "    file floor.png name=floor\n"
                                            "    file wall.png name=wall\n"
                                            "    file crate.png name=crate\n"
                                            "  bank 3d Worlds\n"
                                            "    file rooms.zyb packed\n");
    for (const char* file : {"floor.png", "wall.png", "crate.png"})
        folder.WriteFile(game + "/" + file, ReadBytes(Walk() / "generator" / file));
    folder.WriteFile(game + "/rooms.zyb", ReadBytes(Walk() / "rooms.zyb"));
    folder.WriteFile(game + "/main.zs", script);
    ASSERT_TRUE(app_test::PackFolder(folder, game, "packed-" + name)) << name;
    std::filesystem::create_directories(folder.Linux("pictures/" + name));
    const app_test::PlayerOutcome outcome = app_test::RunPlayer(
        folder, folder.Linux("packed-" + name), {},
        std::string(openGL ? "ZORV_GL=on LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe"
                             " LP_NUM_THREADS=0"
                           : "ZORV_GL=off") +
            " ZORV_HEADLESS_DUMP=" + app_test::ShellQuote(folder.Linux("pictures/" + name)));
    EXPECT_EQ(outcome.exitCode, 0) << name << ": " << outcome.errors;
    ASSERT_TRUE(folder.Exists("pictures/" + name + "/window-1.png")) << name;
}

// The rooms made static geometry and merged into the octree, as the walk does, then drawn
// through either OpenGL back end: the picture must be the one the same back end draws of
// the rooms left as they were loaded, but for a few pixels (at most 0.5% further than 8 in
// a channel).
TEST(WorldProject, OptimizedRoomsDrawThroughOpenGLAsTheLoadedRoomsDo) {
    if (app_test::MesaMajor().empty()) GTEST_SKIP() << "no Mesa OpenGL here";
    test_support::TempDir folder;
    const struct {
        const char* name;
        const char* firstLine;
    } backEnds[] = {{"direct3d", ""},
                    {"opengl", "Display.SetDisplayInterface(Display.OPENGL, 0, 0);\n"}};
    const struct {
        const char* name;
        const char* lines;
    } scenes[] = {{"loaded", ""}, {"optimized", "rooms.SetStatic();\nrooms.Optimize(eye);\n"}};
    for (const auto& backEnd : backEnds) {
        for (const auto& scene : scenes)
            RunRooms(folder, std::string(backEnd.name) + "-" + scene.name,
                     std::string(backEnd.firstLine) + R"(w = New Window("Rooms", 200, 150, 20, 20);
rooms = New World(w, "rooms.zyb");
eye = New Camera(rooms, w);
eye.SetPosition(330, 200, -370);
eye.TurnLeft(1.0);
eye.TurnDown(0.25);
)" + scene.lines + "eye.Render();\nDelete w;\n",
                     true);
        const std::string base = folder.Linux(std::string("pictures/") + backEnd.name);
        app_test::PictureDifference d;
        ASSERT_TRUE(app_test::ComparePictures(base + "-loaded/window-1.png",
                                              base + "-optimized/window-1.png", 8, d));
        EXPECT_LE(d.differing, d.total / 200)
            << backEnd.name << ": " << d.differing << " of " << d.total << " pixels further than 8";
    }
}

// The rooms through OpenGL beside the software renderer's picture of them, at window sizes
// other than 640 x 480. With every material a plain colour, the two must cover the same
// pixels but for some along edges (at most 1%) and colour the rest within 8. Textured, the
// rooms' grainy textures differ further than 8 on about a third of the pixels at any size,
// 640 x 480 included: OpenGL filters between mipmapped texels and samples pixel centres,
// where the software renderer takes the nearest texel at the pixel's corner. Where the
// software picture is plain, though, OpenGL's must agree with it within 8.
TEST(WorldProject, TheRoomsThroughOpenGLAreTheSoftwareRenderersRoomsAtSmallSizes) {
    if (app_test::MesaMajor().empty()) GTEST_SKIP() << "no Mesa OpenGL here";
    test_support::TempDir folder;
    const auto script = [](int width, int height, const char* lines) {
        return "w = New Window(\"Rooms\", " + std::to_string(width) + ", " +
               std::to_string(height) + R"(, 20, 20);
rooms = New World(w, "rooms.zyb");
eye = New Camera(rooms, w);
)" + lines + R"(eye.SetPosition(330, 200, -370);
eye.TurnLeft(1.0);
eye.TurnDown(0.25);
eye.Render();
Delete w;
)";
    };
    const char* plain = R"(i = 0;
While (i < rooms.GetNMaterials()) {
    m = rooms.GetMaterial(i);
    m.SetColor(0x203040 + i * 0x305020);
    m.SetFlat(1);
    i = i + 1;
}
)";
    const struct {
        const char* name;
        int width, height;
        bool textured;
    } views[] = {{"plain-200", 200, 150, false},
                 {"plain-480", 480, 320, false},
                 {"textured-200", 200, 150, true}};
    for (const auto& view : views) {
        SCOPED_TRACE(view.name);
        const std::string lines = script(view.width, view.height, view.textured ? "" : plain);
        RunRooms(folder, std::string("software-") + view.name, lines, false);
        RunRooms(folder, std::string("opengl-") + view.name,
                 "Display.SetDisplayInterface(Display.OPENGL, 0, 0);\n" + lines, true);
        app_test::PictureDifference d;
        ASSERT_TRUE(app_test::ComparePictures(
            folder.Linux(std::string("pictures/software-") + view.name + "/window-1.png"),
            folder.Linux(std::string("pictures/opengl-") + view.name + "/window-1.png"), 8, d));
        if (view.textured) {
            EXPECT_LE(d.inside, d.total / 100)
                << d.inside << " of " << d.total << " pixels further than 8 where plain";
        } else {
            EXPECT_LE(d.differing, d.total / 100)
                << d.differing << " of " << d.total << " pixels further than 8";
            EXPECT_EQ(d.inside, 0) << d.differing << " pixels further than 8";
        }
    }
}

// The walk's world is made by its generator project: run headless, it must write the very
// bytes checked in. A change to the generator or to World.Save shows here; rerun the
// generator (see its project.zpk) and check the new file in. Its textures are named by
// their image elements, so no image is copied beside it.
TEST(WorldProject, TheWalksGeneratorWritesTheCheckedInRooms) {
    test_support::TempDir folder;
    for (const char* file : {"project.zpk", "generator.zs", "floor.png", "wall.png", "crate.png"})
        folder.WriteFile(std::string("game/") + file, ReadBytes(Walk() / "generator" / file));
    ASSERT_TRUE(app_test::PackFolder(folder));
    const app_test::PlayerOutcome outcome =
        app_test::RunPlayer(folder, folder.Linux("packed"), {}, "ZORV_GL=off");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    ASSERT_TRUE(folder.Exists("rooms.zyb"));
    EXPECT_TRUE(ReadBytes(folder.Linux("rooms.zyb")) == ReadBytes(Walk() / "rooms.zyb"))
        << "rooms.zyb differs from the checked-in one";
    EXPECT_FALSE(folder.Exists("rooms_textures/floor.png"));
}

} // namespace
