#include "classes/scene3d/location_test_world.h"

namespace location_test {
namespace {

TEST_F(PlacedClasses, ZonesTakeDefaultSizesAndKeepTheSizesLeftOut) {
    EXPECT_EQ(Run("w = New World(); z = New Zone(w);\n"
                  "Print(z.GetWidth(), z.GetHeight(), z.GetDepth(), z.GetX());\n"
                  "y = New Zone(w, 1, 2, 3, 10); Print(y.GetWidth(), y.GetHeight(), y.GetX(), "
                  "y.GetZ());\n"
                  "p = New Position(w, 4, 5, 6); x = New Zone(w, p, 8, 9);\n"
                  "Print(x.GetY(), x.GetWidth(), x.GetHeight(), x.GetDepth());\n"
                  "z.SetSize(50); Print(z.GetWidth(), z.GetHeight(), z.GetDepth());\n"
                  "z.SetSize(, , 20); Print(z.GetWidth(), z.GetHeight(), z.GetDepth());\n"),
              "100 100 100 0\n10 100 1 3\n5 8 9 100\n50 100 100\n50 100 20\n");
    EXPECT_EQ(ErrorOf("z = New Zone();"), 54);
    EXPECT_EQ(ErrorOf("w = New World(); z = New Zone(w); z.SetSize(1, 2, 3, 4);"), 13);
    EXPECT_EQ(ErrorOf("p = New Position(3);"), 54);
}

TEST_F(PlacedClasses, IsInTakesAPointOrAnObjectsPosition) {
    EXPECT_EQ(Run("w = New World(); z = New Zone(w, 0, 0, 0, 10, 10, 10);\n"
                  "far = New Position(w, 0, 0, 20); near = New Position(w, 5, 5, 5);\n"
                  "Print(z.IsIn(1, 2, 3), z.IsIn(0, 0, 6), z.IsIn(near), z.IsIn(far));\n"
                  "z.SetPosition(0, 0, 20); Print(z.IsIn(far), z.IsIn(0, 0, 0));\n"),
              "1 0 1 0\n1 0\n");
    EXPECT_EQ(ErrorOf("w = New World(); z = New Zone(w); z.IsIn(z);"), 47);
}

} // namespace
} // namespace location_test
