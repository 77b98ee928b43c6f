#include "classes/scene3d/location_test_world.h"

namespace location_test {
namespace {

TEST_F(PlacedClasses, TargetsTakeNumbersOrAPlacedObjectAndMissingCoordinatesAreZero) {
    EXPECT_EQ(
        Run("w = New World(); p = New Position(w, 1, 2, 3);\n"
            "p.SetPosition(5); Print(p.GetX(), p.GetY(), p.GetZ());\n"
            // Five numbers apply at once: only exactly four make a timed move.
            "p.SetPosition(1, 2, 3, 4, 5); Print(p.GetX(), p.GetY(), p.GetZ());\n"
            "q = New Position(w, 10, 20, 30); p.AddPosition(q);\n"
            "Print(p.GetX(), p.GetY(), p.GetZ());\n"
            "p.SubPosition(1, 1, 1); Print(p.GetX(), p.GetY(), p.GetZ());\n"
            "p.SetPosition(q); Print(p.GetX(), p.GetY(), p.GetZ(), p.GetDistance(0, 0, 0) > 37);\n"
            "Print(p.GetDistance(q), p.GetDistance(10, 20, 31));\n"),
        "5 0 0\n1 2 3\n11 22 33\n10 21 32\n10 20 30 1\n0 1\n");
}

TEST_F(PlacedClasses, TimedFormsCheckTheirDuration) {
    const std::string made = "w = New World(); p = New Position(w);\n";
    EXPECT_EQ(ErrorOf(made + "p.SetPosition(1, 2, 3, -1);"), 14);
    EXPECT_EQ(ErrorOf(made + "p.SetPosition(1, 2, 3, 0);"), 0);
    EXPECT_EQ(ErrorOf(made + "p.Set(p, 2);"), 0);
    EXPECT_EQ(ErrorOf(made + "p.Move(5, -1);"), 14);
    EXPECT_EQ(ErrorOf(made + "p.Move(5, , 1);"), 14);
    EXPECT_EQ(ErrorOf(made + "p.TurnUp(0.5, 2);"), 0);
    EXPECT_EQ(ErrorOf(made + "p.Follow(p);"), 0);
    // A timed form leaves the object where it was until the clock moves.
    EXPECT_EQ(Run(made + "p.SetPosition(1, 2, 3, 5); p.TurnUp(0.5, 2); p.AddAngle(0, 1, 0, 1);\n"
                         "Print(p.GetX(), p.GetXAngle(), p.GetYAngle());"),
              "0 0 0\n");
    // A duration of 0 faces the point at once.
    EXPECT_EQ(Run(made + "p.TurnTo(0, 0, 10, 0); Print(p.GetXAngle(), p.GetZAngle());"), "0 0\n");
    // Facing another object, a move of the distance between them reaches it.
    EXPECT_EQ(Run(made + "q = New Position(w, 10, 0, 0); p.TurnTo(q); p.Move(10);\n"
                         "Print(p.GetDistance(q) < 0.001);"),
              "1\n");
}

TEST_F(PlacedClasses, RelativeMovesTakeTheirDefaultsAndAnglesReadBackInATurn) {
    EXPECT_EQ(Run("w = New World(); p = New Position(w);\n"
                  "p.Move(); Print(p.GetX(), p.GetY(), p.GetZ());\n"
                  "p.SetPosition(0, 0, 0); p.MoveBack(2); p.MoveUp(3); p.MoveRight(4);\n"
                  "Print(p.GetX(), p.GetY(), p.GetZ());\n"
                  "p.SetAngle(-1, 0, 7); Print(p.GetXAngle() > 5.28, p.GetXAngle() < 5.29,\n"
                  "  p.GetZAngle() > 0.716, p.GetZAngle() < 0.717);\n"
                  "p.SetAngle(0, 0, 0); p.TurnLeft(); Print(p.GetYAngle() > 1.5707, p.GetYAngle() "
                  "< 1.5708);\n"
                  "p.TurnBack(); Print(p.GetYAngle() > 4.712, p.GetYAngle() < 4.713);\n"
                  "p.AddAngle(0, 2, 0); p.SubAngle(0, 0.5, 0); Print(p.GetYAngle() > 6.212, "
                  "p.GetYAngle() < 6.213);\n"),
              "0 0 99999\n-4 3 2\n1 1 1 1\n1 1\n1 1\n1 1\n");
    // The rotation and the direction as values, and a rotation taken back.
    EXPECT_EQ(Run("w = New World(); p = New Position(w); d = p.GetDirectionVector();\n"
                  "Print(d.GetX(), d.GetY(), d.GetZ());\n"
                  "q = New Position(w); q.TurnRight(0.5); p.SetRotMatrix(q.GetRotMatrix());\n"
                  "Print(p.GetYAngle() == q.GetYAngle(), p.GetRotMatrix() != q.GetRotMatrix());\n"),
              "-0 -0 -1\n1 1\n");
}

TEST_F(PlacedClasses, ObjectArgumentsMustBeLocationsOtherThanZones) {
    const std::string made = "w = New World(); p = New Position(w); z = New Zone(w);\n";
    EXPECT_EQ(ErrorOf(made + "p.SetPosition(z);"), 47);
    EXPECT_EQ(ErrorOf(made + "p.SetAngle(w);"), 47);
    EXPECT_EQ(ErrorOf(made + "p.GetLookAtAngleY(3);"), 47);
    EXPECT_EQ(ErrorOf(made + "p.GetDistance(\"far\");"), 115);
    EXPECT_EQ(ErrorOf(made + "p.GetDistance(1, , 3);"), 115);
    EXPECT_EQ(ErrorOf(made + "p.GetDistance(1, 2);"), 21);
    EXPECT_EQ(ErrorOf(made + "p.GetDistance();"), 21);
    EXPECT_EQ(ErrorOf(made + "p.SetCollision(2);"), 14);
    EXPECT_EQ(ErrorOf(made + "p.SetCollision(1, 3);"), 14);
    EXPECT_EQ(ErrorOf(made + "p.SetCollisionType(-1);"), 14);
    EXPECT_EQ(ErrorOf(made + "p.SetRotMatrix(p);"), 14);
    EXPECT_EQ(Run(made + "p.SetCollision(1); p.SetCollisionType(); p.SetCollisionType(2);\n"
                         "p.SetCollisionRadius(7); Print(p.GetCollisionRadius(), "
                         "Position.COLLISION_TYPE_SLIDE);"),
              "7 2\n");
}

TEST_F(PlacedClasses, TheHierarchyRefusesCyclesAndFindsChildrenByTheStartOfTheirNames) {
    EXPECT_EQ(Run("w = New World(); root = New Position(w); root.SetName(\"Body\");\n"
                  "a = New Position(w); a.SetName(\"Leg\"); a.SetParent(root);\n"
                  "b = New Position(w); b.SetName(\"armLeft\"); b.SetParent(root);\n"
                  "c = New Position(w); c.SetName(\"Arm\"); c.SetParent(a);\n"
                  // The direct children are searched before the grandchildren.
                  "Print(root.FindChild(\"ARM\") == b, a.FindChild(\"Arm\") == c, "
                  "root.FindChild(\"Foot\"), root.FindChild());\n"
                  "Print(root.GetNChildren(), root.GetChild(1) == b, c.GetParent() == a, "
                  "root.GetParent());\n"
                  "Print(b.GetName(), root.GetName());\n"
                  "c.SetParent(); Print(c.GetParent(), a.GetNChildren());\n"
                  // A Zone takes children, though it is no target of the other methods.
                  "z = New Zone(w); c.SetParent(z); Print(z.GetNChildren());\n"),
              "1 1 0 0\n2 1 1 0\narmLeft Body\n0 0\n1\n");
    const std::string tree = "w = New World(); a = New Position(w); b = New Position(w);\n"
                             "b.SetParent(a);\n";
    // A deleted child leaves its parent.
    EXPECT_EQ(Run(tree + "Delete b; Print(a.GetNChildren());"), "0\n");
    EXPECT_EQ(ErrorOf(tree + "a.SetParent(b);"), 135);
    EXPECT_EQ(ErrorOf(tree + "a.SetParent(a);"), 135);
    EXPECT_EQ(ErrorOf(tree + "a.GetChild(1);"), 14);
    EXPECT_EQ(ErrorOf(tree + "a.GetChild(-1);"), 14);
}

TEST_F(PlacedClasses, VisibilityHotSpotPrivateDataAndRepaints) {
    EXPECT_EQ(Run("w = New World(); p = New Position(w, 1, 2, 3);\n"
                  "p.Hide(); Print(p.IsVisible());\n"
                  "p.Show(); Print(p.IsVisible());\n"
                  "q = p.GetPosition(); r = p.GetPosition(); Print(q != r, q.GetY(), r.GetZ());\n"
                  "p.SetHotSpot(1); p.SetHotSpot(, 2);\n"
                  "Print(p.GetHotSpotX(), p.GetHotSpotY(), p.GetHotSpotZ());\n"
                  "p.SetPrivateData(\"note\"); Print(p.GetPrivateData());\n"),
              "0\n1\n1 2 3\n1 2 0\nnote\n");
    EXPECT_GT(gRefreshes, 0);
    // A query repaints nothing.
    gRefreshes = 0;
    Run("w = New World(); p = New Position(w); ");
    const int made = gRefreshes;
    Run("w = New World(); p = New Position(w); x = p.GetX() + p.GetName() + p.IsVisible();");
    EXPECT_EQ(gRefreshes, 2 * made);
}

} // namespace
} // namespace location_test
