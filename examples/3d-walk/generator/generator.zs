// The rooms of the walk: two rooms side by side along z, joined by a doorway, on a stone
// floor, with crates to walk around. Every face is built corner by corner with its texture
// coordinates, one texture repeat every `tile` units, so that bricks and flags keep their
// size on walls of any length. Faces point outwards: walls are seen from both sides.
picture = New Surface(64, 48);
rooms = New World(picture);

Function Quad(o, ax, ay, az, bx, by, bz, cx, cy, cz, dx, dy, dz, u, v) {
    Var a = New Point3D(o, ax, ay, az, 0, v);
    Var b = New Point3D(o, bx, by, bz, u, v);
    Var c = New Point3D(o, cx, cy, cz, u, 0);
    Var d = New Point3D(o, dx, dy, dz, 0, 0);
    o.AddPolygon(a, b, c, d);
}

// A box from (x1, y1, z1) to (x2, y2, z2) without its bottom, which stands on the floor.
Function Box(o, x1, y1, z1, x2, y2, z2, tile) {
    // In repeats, not truncated to whole ones.
    Var w = (x2 - x1) / (tile * 1.0);
    Var h = (y2 - y1) / (tile * 1.0);
    Var d = (z2 - z1) / (tile * 1.0);
    Quad(o, x1, y1, z1, x2, y1, z1, x2, y2, z1, x1, y2, z1, w, h);
    Quad(o, x2, y1, z2, x1, y1, z2, x1, y2, z2, x2, y2, z2, w, h);
    Quad(o, x1, y1, z2, x1, y1, z1, x1, y2, z1, x1, y2, z2, d, h);
    Quad(o, x2, y1, z1, x2, y1, z2, x2, y2, z2, x2, y2, z1, d, h);
    Quad(o, x1, y2, z1, x2, y2, z1, x2, y2, z2, x1, y2, z2, w, d);
}

Function Part(name) {
    Var o = New Object(rooms);
    o.SetName(name);
    Return o;
}

stone = New Material(rooms, New Texture(rooms, "floor"), "Stone");
brick = New Material(rooms, New Texture(rooms, "wall"), "Brick");
planks = New Material(rooms, New Texture(rooms, "crate"), "Planks");

Display.BeginPolygonChange();
floor = Part("Floor");
Box(floor, -420, -20, -420, 420, 0, 1220, 200);
floor.ReplaceMaterial(stone);

// The outer walls, 300 high, and the wall between the rooms with its doorway (160 wide,
// 220 high) and the lintel over it.
walls = Part("Walls");
Box(walls, -420, 0, -420, -400, 300, 1220, 150);
Box(walls, 400, 0, -420, 420, 300, 1220, 150);
Box(walls, -400, 0, -420, 400, 300, -400, 150);
Box(walls, -400, 0, 1200, 400, 300, 1220, 150);
Box(walls, -400, 0, 390, -80, 300, 410, 150);
Box(walls, 80, 0, 390, 400, 300, 410, 150);
Box(walls, -80, 220, 390, 80, 300, 410, 150);
walls.ReplaceMaterial(brick);

// Crates, each an Object of its own: two side by side in the first room, a stack of two in
// the second.
Function Crate(name, x, y, z, size) {
    Var o = Part(name);
    Box(o, x - size / 2, y, z - size / 2, x + size / 2, y + size, z + size / 2, size);
    o.ReplaceMaterial(planks);
}
Crate("Crate1", -260, 0, -220, 100);
Crate("Crate2", -150, 0, -250, 80);
Crate("Crate3", 250, 0, 900, 120);
Crate("Crate4", 250, 120, 900, 80);
Display.EndPolygonChange();

rooms.Save("rooms.zyb");
