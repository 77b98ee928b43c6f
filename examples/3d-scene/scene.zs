// A lit, textured, animated scene. A brick pulses through mesh frames the script built, a
// pyramid travels to and fro on timed paths with a chime following it, a ball drops onto
// the tiled floor, two balls roll into each other and bounce back, and the camera orbits
// the scene. Close the window to end.
main = New Window("3D scene", 480, 320);
scene = New World(main);
eye = New Camera(scene, main);
eye.SetBackgroundColor(0x182838);
scene.SetLightColor(0x707070);
lamp = New Light(scene, 0xFFE0C0, 255, 2400);
lamp.SetPosition(300, 700, -400);

// The floor: a checker of tiles painted once on a texture; as static geometry it is the
// floor falling objects land on.
tiles = New Texture(scene, 64, 64, "Tiles");
paint = tiles.GetSurface();
For (y = 0; y < 64; y += 16) {
    For (x = 0; x < 64; x += 16) {
        tone = 0x807060;
        If ((x + y) % 32 == 0) tone = 0xD8D0C0;
        paint.SetFillColor(tone);
        paint.SetPenColor(tone);
        paint.Rectangle(x, y, x + 16, y + 16);
    }
}
// A plane stands upright; turned down it lies flat, its face up, repeating the tiles 3
// times each way.
ground = scene.CreatePlane(1800, 1800, 3, 3);
ground.TurnDown(1.5707963);
ground.ReplaceMaterial(New Material(scene, tiles, "Tiles"));
ground.SetStatic();
scene.Optimize(eye);

// Plain colours: a material without a texture shows its colour once it is flat.
Function Colour(o, rgb, name) {
    Var m = New Material(scene, rgb, name);
    m.SetFlat(1);
    o.ReplaceMaterial(m);
}

// The brick's eight mesh frames, each a little taller, played there and back for ever.
pulse = scene.CreateBrick(160, 120, 160);
Colour(pulse, 0x3070C0, "Blue");
For (i = 1; i < 8; i++) {
    frame = scene.CreateBrick(160, 120 + 20 * i, 160);
    frame.ReplaceMaterial(scene.GetMaterial("Blue"));
    pulse.AppendObjectAsMeshFrame(frame);
}
pulse.SetPosition(0, 60, 0);
pulse.SetAnimMode(Object.ANIM_MODE_MESH);
pulse.AddAnimDefinition("Pulse", 0, 7, Object.LOOPINFINITE, 0, 0, 100);
pulse.PlayAnim("Pulse", 20, Object.LOOPREVERSE);

// The pyramid goes from one side to the other in two seconds, turning as it goes; each
// arrival sends it back.
peak = scene.CreatePyramid(140, 160, 140);
peak.SetPosition(-600, 80, 400);
Colour(peak, 0xE0A020, "Gold");
Function Arrived(o) {
    If (o.GetX() < 0) o.SetPosition(600, 80, 400, 2); Else o.SetPosition(-600, 80, 400, 2);
}
peak.OnStopMovement = Arrived;
Arrived(peak);

// A ball dropped from high up lands on the floor.
drop = scene.CreateSphere(50, 50, 50, 16, 12);
drop.SetPosition(-300, 700, -300);
Colour(drop, 0xC03030, "Red");
drop.SetCollision(1);
drop.SetGravity(1);

// Two balls roll towards each other; when they meet they go back where they came from.
left = scene.CreateSphere(60, 60, 60, 16, 12);
right = scene.CreateSphere(60, 60, 60, 16, 12);
Colour(left, 0x40B050, "Green");
Colour(right, 0xE0E0E0, "White");
left.SetPosition(-700, 60, -500);
right.SetPosition(700, 60, -500);
left.SetCollision(1);
right.SetCollision(1);
Function Roll(o) {
    If (o == left) o.SetPosition(700, 60, -500, 3); Else o.SetPosition(-700, 60, -500, 3);
}
// Back home in a second and a half, then off again.
Function Met(w, one, other, face, contact, sides) {
    If (one == left || one == right) {
        left.SetPosition(-700, 60, -500, 1.5);
        right.SetPosition(700, 60, -500, 1.5);
    }
}
Function Home(o) {
    If (o.GetX() == -700 || o.GetX() == 700) Roll(o);
}
left.OnStopMovement = Home;
right.OnStopMovement = Home;
scene.OnCollide = Met;
Roll(left);
Roll(right);

// A chime rings from the pyramid, heard from where the camera is. (The world would mark
// the place of its sounds with a small wire pyramid; not here.)
scene.HideSpeakers();
chime = New Speaker("chime.wav", eye, peak);
chime.Follow(peak);
chime.SetLoop(1, 0);
chime.PlaySound();

// The camera circles the brick from above, a tenth of a turn every two seconds, always
// facing it.
eye.LookAt(pulse);
start = System.GetElapsedTime();

While (1) {
    Program.Wait(20);
    turn = (System.GetElapsedTime() - start) * 0.0003 - 1.5708;
    eye.SetPosition(1500 * Math.Cos(turn), 600, 1500 * Math.Sin(turn));
}
