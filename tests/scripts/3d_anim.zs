//== a sequence at speed 50 steps a frame every 40 ms and stops on its last frame
UseRenderers();
UiAdvance(0);
Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; }
w = New World(New Surface(32, 32));
o = w.CreateBrick();
b = w.CreateBrick();
For (i = 0; i < 12; i++) o.AppendObjectAsMeshFrame(b);
o.SetAnimMode(Object.ANIM_MODE_MESH);
o.AddAnimDefinition("A", 0, 12, 0, 0, 0, 100);
o.PlayAnim("A");
line = "";
For (t = 0; t < 12; t++) { Tick(); line = line + " " + o.GetFrame(); }
Print(o.GetNMeshFrames(), o.GetAnim(), o.GetNFrames(), line);
// A stopped channel takes no speed, and says so.
Print(o.SetAnimSpeed(500));
// expect output: 13 A 13  1 2 3 5 6 7 8 10 11 12 12 12
// expect output: 0
// expect: end

//== a new sequence carries the place over, unless it restarts; a looping play goes on
UseRenderers();
UiAdvance(0);
Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; }
w = New World(New Surface(32, 32));
o = w.CreateBrick();
o.SetAnimMode(2);
o.AddAnimDefinition("short", 0, 10, -1, 0, 0, 100);
o.AddAnimDefinition("long", 20, 40, 0, 20, 0, 100);
o.AddAnimDefinition("one", 7, 7, 0, 7);
o.PlayAnim("short", 100);
o.SetFrame(5);
o.PlayAnim("long");
a = o.GetFrame();
o.SetFrame(25);
o.PlayAnim("short", 100, Object.RESTART);
b = o.GetFrame();
For (t = 0; t < 8; t++) Tick();
c = o.GetFrame();
// A single frame has no place to carry over: the next sequence starts at its start.
o.PlayAnim("one");
o.PlayAnim("long");
Print(a, b, c, o.GetFrame());
// expect output: 30 0 9 20
// expect: end

//== play constants: LOOPINFINITE sets every flag, REVERSE starts at the end
UseRenderers();
UiAdvance(0);
Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; }
w = New World(New Surface(32, 32));
o = w.CreateBrick();
o.SetAnimMode(2);
o.AddAnimDefinition("R", 0, 6, 0, 0, 0, 100);
o.PlayAnim("R", 100, Object.REVERSE);
a = o.GetFrame();
Tick();
b = o.GetFrame();
// Every bit: backward and turning round at each end, for ever, from the place carried
// over from "R".
o.AddAnimDefinition("L", 0, 3, -1, 1, 0, 100);
o.PlayAnim("L", 100, Object.LOOPINFINITE);
c = o.GetFrame();
line = "";
For (t = 0; t < 6; t++) { Tick(); line = line + o.GetFrame(); }
Print(a, b, c, line, Object.RESTART, Object.REVERSE, Object.LOOPREVERSE, Object.LOOPINFINITE);
// expect output: 6 4 2 131322 -1412628478 -1412628479 -1412628476 -1
// expect: end

//== a refused play leaves the channel stopped; an unknown name stops it
UseRenderers();
UiAdvance(0);
Function Caught(code, text, unit, line, column) { Print("error", code); }
Program.OnError = Caught;
Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; }
w = New World(New Surface(32, 32));
o = w.CreateBrick();
o.SetAnimMode(2);
o.AddAnimDefinition("loop", 0, 8, -1, 8, 0, 100);
o.AddAnimDefinition("once", 0, 8, 0, 8, 0, 100);
o.AddAnimDefinition("go", 0, 8, -1, 0, 0, 100);
o.PlayAnim("go", 100);
o.PlayAnim("loop");
Print(o.SetAnimSpeed(10), o.GetAnim(), o.GetFrame());
Tick();
Print(o.GetFrame());
o.PlayAnim("once", 100);
Tick();
Print(o.GetFrame(), o.PlayAnim("nothing"), o.GetAnim(), o.SetAnimSpeed(10));
// expect output: error 71
// expect output: 0 loop 0
// expect output: 0
// expect output: 2 0  0
// expect: end

//== SetAnimMode stops the channel it leaves; the mesh channel answers in mesh mode
UseRenderers();
UiAdvance(0);
Function Caught(code, text, unit, line, column) { Print("error", code); }
Program.OnError = Caught;
Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; }
w = New World(New Surface(32, 32));
o = w.CreateBrick();
b = w.CreateBrick();
o.AppendObjectAsMeshFrame(b);
Print(o.GetAnimMode(), o.GetAnim());
o.SetAnimMode(Object.ANIM_MODE_MESH);
Print(o.GetAnim(), o.GetNFrames(), o.GetNFrames("main"));
o.AddAnimDefinition("Spin", 0, 1, -1, 0, 0, 100);
o.PlayAnim("Spin", 100);
o.RemoveMeshFrame(1);
o.SetAnimMode();
o.SetAnimMode(2);
Tick();
Print(o.GetFrame(), o.RemoveMeshFrame(1), o.GetNMeshFrames());
o.SetAnimMode(3);
// expect output: 1 0
// expect output: error 72
// expect output: Main 2 2
// expect output: error 95
// expect output: 0 1 1
// expect output: error 14
// expect: end

//== definitions: defaults, the checks, names of at most 15 characters
UseRenderers();
Function Caught(code, text, unit, line, column) { Print("error", code); }
Program.OnError = Caught;
w = New World(New Surface(32, 32));
o = w.CreateBrick();
o.SetAnimMode(2);
o.AddAnimDefinition("B", 5, 10);
o.AddAnimDefinition("B", 5, 10, 0, -1);
o.AddAnimDefinition("B", 5, 4, 0, 5);
o.AddAnimDefinition("C");
Print(o.GetNFrames("C"));
o.AddAnimDefinition("c", 0, 0);
o.AddAnimDefinition("");
o.AddAnimDefinition("AVeryLongSequenceName", 0, 3);
o.AddAnimDefinition("AVeryLongSequenceXYZ", 0, 3);
o.SetAnimDefinition("averylongsequencename", 1, 2, 0, 2);
Print(o.GetNFrames("AVeryLongSequenceName"));
// The name as changed last is the name kept.
o.SetAnim("AVeryLongSequenceName");
Print(o.GetAnim(), o.GetFrame());
o.SetAnimDefinition("nothing");
o.SetAnimDefinition("C", 3);
o.DelAnimDefinition("C");
o.DelAnimDefinition("C");
o.SetFrame();
o.PlayAnim("Main", 0);
o.PlayAnim("Main", 101);
o.PlayAnim("Main", 50, 5);
Print(o.GetNFrames("C"));
// expect output: error 14
// expect output: error 14
// expect output: error 14
// expect output: 2
// expect output: error 74
// expect output: error 74
// expect output: error 74
// expect output: 2
// expect output: averylongsequen 1
// expect output: error 73
// expect output: error 14
// expect output: error 73
// expect output: error 14
// expect output: error 14
// expect output: error 14
// expect output: error 14
// expect output: 0
// expect: end

//== frames: SetFrame keeps to the sequence, Next and Previous wrap round it
UseRenderers();
w = New World(New Surface(32, 32));
o = w.CreateBrick();
o.SetAnimMode(2);
o.AddAnimDefinition("S", 2, 4, 0, 2);
o.SetAnim("S");
a = o.GetFrame();
o.SetFrame(9);
b = o.GetFrame();
o.SetFrame(4);
o.NextFrame();
c = o.GetFrame();
o.PreviousFrame();
Print(a, b, c, o.GetFrame());
// expect output: 2 2 2 4
// expect: end

//== the place carried over between long sequences; a channel without "Main" needs an end
UseRenderers();
Function Caught(code, text, unit, line, column) { Print("error", code); }
Program.OnError = Caught;
w = New World(New Surface(32, 32));
o = w.CreateBrick();
o.SetAnimMode(2);
o.AddAnimDefinition("far", 0, 2000000000, 0, 0, 0, 100);
o.AddAnimDefinition("near", 10, 2000000010, 0, 10, 0, 100);
o.PlayAnim("far");
o.SetFrame(1500000000);
o.PlayAnim("near");
Print(o.GetFrame());
o.DelAnimDefinition("Main");
o.AddAnimDefinition("X");
o.AddAnimDefinition("X", 0, 0);
Print(o.GetNFrames("X"));
// expect output: 1500000010
// expect output: error 14
// expect output: 1
// expect: end
