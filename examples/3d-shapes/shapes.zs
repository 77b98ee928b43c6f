// A sphere, a brick and a pyramid turning in fog over a floor, a coloured lamp circling
// them; pale materials, lit smoothly, show the lamp's light move across them. The first argument
// chooses the display interface: software, opengl or direct3d; without one the player's
// own choice (Direct3D where OpenGL works, else software). Close the window to end.
chosen = Display.GetDisplayInterface();
If (Program.GetNArguments() > 0) {
    asked = Program.GetArgument(0);
    If (asked == "software") chosen = Display.SOFTWARE;
    If (asked == "opengl") chosen = Display.OPENGL;
    If (asked == "direct3d") chosen = Display.DIRECT3D;
}
// An interface this machine cannot give falls back to one it can.
Display.SetDisplayInterface(chosen, 0, 0);

main = New Window("3D shapes", 480, 320);
scene = New World(main);
eye = New Camera(scene, main);
eye.SetBackgroundColor(0x183050);
eye.SetPosition(0, 400, -2000);
eye.TurnDown(0.2);

// Fog of the background's colour: the far side of the scene fades into it.
eye.EnableFog(1);
eye.SetFogColor(0x183050);
eye.SetFogMinZPosition(1800);
eye.SetFogMaxZPosition(3400);

scene.SetLightColor(0x606060);
globe = scene.CreateSphere(110, 110, 110, 20, 14);
globe.SetPosition(-320, 0, 0);
cube = scene.CreateBrick(160, 160, 160);
peak = scene.CreatePyramid(180, 220, 180);
peak.SetPosition(320, -20, 0);
ground = scene.CreateBrick(1400, 20, 1400);
ground.SetPosition(0, -140, 300);

// Without materials of their own the shapes would show as wireframes, which no light
// reaches: pale colours, drawn filled (flat), take the lamp's best.
chalk = New Material(scene, 0xE8E8E8, "Chalk");
chalk.SetFlat(1);
stone = New Material(scene, 0x909890, "Stone");
stone.SetFlat(1);
globe.ReplaceMaterial(chalk);
cube.ReplaceMaterial(chalk);
peak.ReplaceMaterial(chalk);
ground.ReplaceMaterial(stone);
globe.SetGouraud(1);
cube.SetGouraud(1);
peak.SetGouraud(1);
ground.SetGouraud(1);

// The lamp circles the shapes: each frame turns its place by a tenth of a radian.
lamp = New Light(scene, 0xFFA040, 255, 900);
lx = 500;
lz = 0;
turnCos = 0.9950042;
turnSin = 0.0998334;

While (1) {
    cube.TurnLeft(0.04);
    cube.TurnUp(0.02);
    peak.TurnRight(0.05);
    globe.TurnLeft(0.03);
    x = lx * turnCos - lz * turnSin;
    lz = lx * turnSin + lz * turnCos;
    lx = x;
    lamp.SetPosition(lx, 200, lz);
    Program.Wait(20);
}
