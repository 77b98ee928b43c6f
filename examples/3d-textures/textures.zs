// Materials and textures: a crate of painted planks, a fence whose gaps are a colour key,
// water that lets the floor through and scrolls, a glowing blob that always faces the
// camera, a waving flag whose mesh is built point by point, and a clock whose face is drawn
// on a Surface every second and reaches the 3D object at once. The crate is saved as a
// world file and loaded back as a second crate. Close the window to end.
main = New Window("3D textures", 480, 320);
scene = New World(main);
eye = New Camera(scene, main);
eye.SetBackgroundColor(0x203040);
eye.SetPosition(0, 420, -1700);
eye.TurnDown(0.2);
scene.SetLightColor(0x909090);

// Planks: a blank texture's own Surface painted once.
planks = New Texture(scene, 64, 64, "Planks");
wood = planks.GetSurface();
wood.SetPenColor(0x4A2A10);
For (y = 0; y < 64; y += 16) {
    wood.SetFillColor(0xA0642C + (y % 32) * 0x020100);
    wood.Rectangle(0, y, 64, y + 16);
}
crate = scene.CreateBrick(200, 200, 200);
crate.SetName("Crate");
crate.SetPosition(-330, 0, 0);
wood = New Material(scene, planks, "Wood");
crate.ReplaceMaterial(wood);

// A fence: magenta is not drawn.
bars = New Texture(scene, 64, 64, "Bars");
fence = bars.GetSurface();
fence.SetFillColor(0xFF00FF);
fence.SetPenColor(0xFF00FF);
fence.Rectangle(0, 0, 64, 64);
fence.SetFillColor(0xE0E0E0);
fence.SetPenColor(0xE0E0E0);
For (x = 4; x < 64; x += 20) { fence.Rectangle(x, 0, x + 8, 64); }
fence.Rectangle(0, 26, 64, 34);
keyed = New Material(scene, bars, "Fence");
keyed.SetTransparentColor(0xFF00FF);
gate = scene.CreatePlane(300, 160);
gate.SetPosition(0, 20, 200);
gate.ReplaceMaterial(keyed);

// A floor, and water over part of it that lets it through and keeps flowing.
ground = scene.CreateBrick(1600, 20, 1200);
ground.SetPosition(0, -110, 300);
// A material without a texture is drawn in its colour once it is flat.
grass = New Material(scene, 0x607040, "Grass");
grass.SetFlat(1);
ground.ReplaceMaterial(grass);
ripples = New Texture(scene, 32, 32, "Ripples");
waves = ripples.GetSurface();
waves.SetFillColor(0x2050C0);
waves.SetPenColor(0x2050C0);
waves.Rectangle(0, 0, 32, 32);
waves.SetPenColor(0x80B0FF);
For (y = 4; y < 32; y += 8) { waves.Line(0, y, 32, y + 3); }
water = New Material(scene, ripples, "Water");
water.SetSemiTransparency(50);
water.AnimUV(0.004, 0.001);
pond = scene.CreateBrick(700, 4, 500);
pond.SetPosition(250, -96, -150);
pond.ReplaceMaterial(water);

// A glow that turns to face the camera.
spark = New Surface(32, 32);
spark.SetFillColor(0xFF8000);
spark.SetPenColor(0xFF8000);
spark.Rectangle(0, 0, 32, 32);
spark.SetFillColor(0xFFD040);
spark.SetPenColor(0xFFD040);
spark.Ellipse(4, 4, 28, 28);
glow = New Blob(scene, 330, 170, 0, spark, 90, 90);

// A flag built point by point: two rows of corners along a wave, joined into faces, its
// cloth a striped texture. Its corners move every tick to make it wave.
cloth = New Texture(scene, 32, 32, "Cloth");
stripes = cloth.GetSurface();
For (y = 0; y < 32; y += 8) {
    stripe = 0xC02020;
    If (y % 16 != 0) stripe = 0xF0F0F0;
    stripes.SetFillColor(stripe);
    stripes.SetPenColor(stripe);
    stripes.Rectangle(0, y, 32, y + 8);
}
flag = New Object(scene);
flag.SetName("Flag");
For (i = 0; i <= 6; i++) {
    flag.AddPoint(0, i * 45, 0, 0, i / 6.0, 1);
    flag.AddPoint(0, i * 45, 150, 0, i / 6.0, 0);
}
For (i = 0; i < 12; i += 2) {
    flag.AddPolygon(flag.GetPoint(i), flag.GetPoint(i + 2), flag.GetPoint(i + 3), flag.GetPoint(i + 1));
}
flag.ReplaceMaterial(New Material(scene, cloth, "Cloth"));
flag.SetPosition(-640, 160, 900);
pole = scene.CreateBrick(12, 420, 12);
pole.SetPosition(-646, 100, 900);
pole.ReplaceMaterial(wood);

Function Wave(phase) {
    Var k = 1;
    For (k = 1; k <= 6; k++) {
        Var z = Math.Sin(phase + k * 0.9) * k * 5;
        Var lower = flag.GetPoint(2 * k);
        Var upper = flag.GetPoint(2 * k + 1);
        lower.SetZ(z);
        upper.SetZ(z);
    }
}

// The clock: its face is a Surface the Texture copies whenever the Surface is refreshed.
dial = New Surface(64, 64, 32);
clock = New Texture(scene, dial);
face = scene.CreateBrick(160, 160, 20);
face.SetPosition(330, -20, 0);
face.ReplaceMaterial(New Material(scene, clock, "Clock"));

// The crate saved as a world file, and loaded back beside the first; an object loaded
// alone takes its materials from the world it joins.
crate.Save("crate.zyb");
copy = scene.LoadObject("crate.zyb", "Crate");
copy.ReplaceMaterial(wood);
copy.SetPosition(-330, 0, 300);
copy.TurnLeft(0.6);

Function DrawDial(seconds) {
    dial.SetFillColor(0xF0F0E0);
    dial.SetPenColor(0x202020);
    dial.Rectangle(0, 0, 64, 64);
    dial.Ellipse(2, 2, 62, 62);
    angle = seconds * 0.1047198;
    dial.SetPenSize(3);
    dial.Line(32, 32, 32 + Math.Sin(angle) * 26, 32 - Math.Cos(angle) * 26);
    dial.SetPenSize(1);
}

tick = 0;
While (1) {
    DrawDial(tick % 60);
    Wave(tick * 0.4);
    crate.TurnLeft(0.03);
    copy.TurnRight(0.02);
    tick++;
    Program.Wait(100);
}
