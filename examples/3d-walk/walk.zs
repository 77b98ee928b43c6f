// Walk through the rooms of rooms.zyb: the arrow keys walk and turn, Shift runs, Alt turns
// the arrows into steps sideways, Page Up and Page Down look up and down. The walls and the
// crates stop the walker, who falls onto the floor and stands on it. Close the window to end.
main = New Window("3D walk", 480, 320);
rooms = New World(main, "rooms.zyb");
eye = New Camera(rooms, main);
eye.SetBackgroundColor(0x202830);
rooms.SetLightColor(0x909090);
lamp = New Light(rooms, 0xFFE0B0, 255, 1400);
lamp.SetPosition(0, 280, 400);

// Floor, walls and crates become the world's static geometry: the floors the walker stands
// on and the faces it slides along.
rooms.SetStatic();
rooms.Optimize(eye);

// The walker is the camera itself, a sphere 40 units round, dropped from above the second
// room: the arrows walk it, gravity brings it down onto the floor, collisions stop it at
// walls and crates. It starts facing the doorway into the first room.
eye.SetPosition(0, 200, 1050);
eye.TurnBack();
eye.SetCollisionRadius(40);
eye.SetCollision(1);
eye.SetGravity(1);
eye.Walk(1, 300, 250, 1.2, 2);

While (1) {
    Program.Wait(20);
}
