//== a GameInput without game types answers 0, -1 and ""
// expect: end
// expect output: 0 0 -1 -1 [] [] 0 0 0 0 2
w = New Window(200, 100, 0, 0);
g = New GameInput(w);
Print(g.GetSettingCount(), g.Start(), g.GetPlayerCount(), g.GetCurrentSettingIndex(),
      "[" + g.GetSettingName(-1) + "]", "[" + g.GetCurrentSettingName() + "]",
      g.GetDeviceValue("Fire", 0), g.GetPlayerDeviceType(), g.HasFFSupport(), g.GetFFDevice(),
      g.SetupDialog(w));

//== player 0x80000000 is no player
// expect: error 14 line 8
// expect output: 1 1
t = Program.GetChar(9);
f = New File("one.txt");
f.WriteLn("Solo"); f.WriteLn(t, "Player 1"); f.Close();
g = New GameInput(New Window(200, 100, 0, 0));
Print(g.LoadSettings("one.txt"), g.Start(0));
g.GetPlayerDeviceType(-2147483647 - 1);

//== settings sources must be texts or numbers that name something
// expect: error 14 line 5
// expect output: 0
g = New GameInput();
Print(g.LoadSettings(""));
g.LoadSettings("no such settings.txt");

//== SetupDialog takes a Window only
// expect: error 14 line 3
g = New GameInput();
g.SetupDialog(5);

//== a second New argument that names nothing
// expect: error 14 line 2
g = New GameInput(0, 7);
