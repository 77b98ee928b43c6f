#include "classes/scene3d/location_test_world.h"

namespace location_test {
namespace {

TEST_F(PlacedClasses, ALightTakesItsArgumentsInAnyOrderAfterItsDefaults) {
    EXPECT_EQ(Run("w = New World(); l = New Light(w);\n"
                  "Print(l.GetColor(), l.GetIntensity(), l.GetRadius(), l.GetX(), l.GetZ());\n"
                  "p = New Position(w, 1, 2, 3);\n"
                  "s = New Light(0xFF0000, p, 200, w, 80, Light.STATIC);\n"
                  "Print(s.GetColor() == 0xFF0000, s.GetIntensity(), s.GetRadius(), s.GetY());\n"
                  // A missing value keeps its default and still takes its place.
                  "d = New Light(w, , 50); Print(d.GetColor() == 0xFFFFFF, d.GetIntensity());\n"),
              "16777215 100 40 0 0\n1 200 80 2\n1 50\n");
    EXPECT_EQ(ErrorOf("l = New Light();"), 50);
    EXPECT_EQ(ErrorOf("l = New Light(0xFF);"), 50);
    EXPECT_EQ(ErrorOf("w = New World(); l = New Light(w, w, New Timer(10));"), 14);
    EXPECT_EQ(ErrorOf("w = New World(); z = New Zone(w); l = New Light(w, z);"), 14);
}

TEST_F(PlacedClasses, LightSettersClampKeepAndRepaint) {
    EXPECT_EQ(
        Run("w = New World(); l = New Light(w); s = New Light(w, 0x00FF00, 10, 30, Light.STATIC);\n"
            "l.SetIntensity(300); a = l.GetIntensity(); l.SetIntensity(-5); Print(a, "
            "l.GetIntensity());\n"
            "l.SetIntensity(); l.SetRadius(); Print(l.GetIntensity(), l.GetRadius());\n"
            "l.SetRadius(90); s.SetRadius(90); Print(l.GetRadius(), s.GetRadius());\n"
            "l.SetColor(0x123456); l.SetColor(); Print(l.GetColor() == 0x123456, s.GetColor() == "
            "0x00FF00);\n"
            "l.ShowBox(); a = l.IsBoxVisible(); l.HideBox(); Print(a, l.IsBoxVisible());\n"
            "Print(Light.DYNAMIC == 0x89AF0002, Light.COLLISION_TYPE_STOP);\n"),
        "255 0\n0 40\n90 30\n1 1\n1 0\n1 1\n");
    // A colour left out still repaints.
    gRefreshes = 0;
    Run("w = New World(); l = New Light(w);");
    const int made = gRefreshes;
    gRefreshes = 0;
    Run("w = New World(); l = New Light(w); l.SetColor();");
    EXPECT_EQ(gRefreshes, made + 1);
}

// Deleting the World deletes the wrappers of everything in it: the variables that held
// them read 0, under the address checker.
TEST_F(PlacedClasses, DeletingTheWorldDeletesItsPlacedObjects) {
    EXPECT_EQ(Run("w = New World(); l = New Light(w); p = New Position(w); z = New Zone(w);\n"
                  "q = p.GetPosition(); p.SetParent(z);\n"
                  "Delete w; Print(l, p, z, q);\n"),
              "0 0 0 0\n");
    EXPECT_EQ(Run("w = New World(); l = New Light(w); Delete l; p = New Position(w); Delete p;\n"
                  "z = New Zone(w); Delete z; Print(l, p, z);"),
              "0 0 0\n");
}

} // namespace
} // namespace location_test
