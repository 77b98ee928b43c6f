// Two players move their squares: player 1 with a game pad, or the arrow keys when there is
// no pad; player 2 with W, A, S and D (or a second pad). The actions and their keys and pad
// controls come from the project's settings text, players.txt; the project starts its game
// type by itself when the window comes up. R rumbles player 1's pad when it has force
// feedback. F2 opens the set-up dialog, where the players' commands and their keys and pad
// controls are changed (S is player 2's). Close the window to end.
main = New Window("Game input", 320, 240);
main.SetFillColor(0x102030);
main.Rectangle(0, 0, 320, 240);
input = Program.GetDefaultGameInput();

Function Square(colour) {
    picture = New Surface(24, 24, 32);
    picture.Clear(colour, colour);
    Return picture;
}

squares[1] = 0;
squares[0] = New Sprite(main, 100, 120, Square(0xFF8040));
squares[1] = New Sprite(main, 220, 120, Square(0x40C0FF));
For (i = 0; i < 2; i++) squares[i].SetHotSpot(12, 12);

// How far an action moves a square in one frame: up to 6 pixels at full strength.
Function Step(player, action) {
    Return input.GetDeviceValue(player, action) * 6 / 65535;
}

// Player 1's pad plays the rumble of a small effect file, made the first time R is pressed.
rumble = -1;
pad = 0;
Function Rumble() {
    If (rumble < 0) {
        effect = New Ini("gameinput-rumble.ffe");
        effect.SetValue("GeneralValues", "EffectName", "Sine");
        effect.SetValue("GeneralValues", "Duration", 300000);
        effect.SetValue("CustomValues", "dwMagnitude", 8000);
        effect.SetValue("CustomValues", "dwPeriod", 40000);
        pad = input.GetFFDevice(0);
        rumble = pad.CreateEffectFromFile("gameinput-rumble.ffe");
    }
    If (rumble >= 0) pad.StartEffect(rumble);
}

While (1) {
    If (Keyboard.IsKeyDown("R") && input.HasFFSupport(0)) Rumble();
    If (Keyboard.IsKeyDown(Keyboard.F2)) input.SetupDialog(main);
    For (i = 0; i < 2; i++) {
        x = squares[i].GetX() + Step(i, "Right") - Step(i, "Left");
        y = squares[i].GetY() + Step(i, "Down") - Step(i, "Up");
        If (x < 12) x = 12;
        If (x > 308) x = 308;
        If (y < 12) y = 12;
        If (y > 228) y = 228;
        squares[i].Set(x, y);
    }
    Program.Wait(20);
}
