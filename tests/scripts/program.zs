//== characters, colours and numbers as text
// expect: end
// expect output: [A] [] 65 0 0
// expect output: 66048 18 52 86 0
// expect output: 12 2.5
c = Program.GetChar(65);
Print("[" + c + "]", "[" + Program.GetChar(0) + "]", Program.GetAscii("ABC"), Program.GetAscii(""), Program.GetAscii());
rgb = Program.GetRGB(0x12, 0x34, 0x56);
Print(Program.GetRGB(1, 2), Program.GetRed(rgb), Program.GetGreen(rgb), Program.GetBlue(rgb), Program.GetRed());
Print(Program.GetString(12), Program.GetString(2.5));

//== GetChar(256) raises 14
// expect: error 14 line 2
Program.GetChar(256);

//== SetFlush(0) raises 14
// expect: error 14 line 2
Program.SetFlush(0);

//== every type test
// expect: end
// expect output: 1 0 0 0 0 0 1
// expect output: 0 1 1 0 0 0 1
// expect output: 0 1 0 1 0 0 1
// expect output: 0 0 0 0 1 0 1
// expect output: 0 0 0 0 0 1 1
// expect output: 1 1 0 0
Function f() {}
Function Kinds(v) {
    Print(Program.IsString(v), Program.IsNumber(v), Program.IsInteger(v), Program.IsFloat(v), Program.IsArray(v), Program.IsFunction(v), Program.IsDefaultValue(v) == 0);
}
Kinds("text");
Kinds(3);
Kinds(3.5);
a[2] = 1;
Kinds(a);
Kinds(f);
b = New Binary();
Print(Program.IsObject(b), Program.IsObject(b, "binary"), Program.IsObject(b, "File"), Program.IsObject(3));

//== IsDefaultValue tells an argument left out
// expect: end
// expect output: 1 0
Print(Program.IsDefaultValue(), Program.IsDefaultValue(0));

//== FillArray sets every element in index order
// expect: end
// expect output: 3 2 4 3
// expect output: 24 7 7 7
a[1, 2, 3] = 0;
Program.FillArray(a, 7);
Print(Program.GetArrayDimensionCount(a), Program.GetArrayDimensionSize(a, 0), Program.GetArrayDimensionSize(a, 2), Program.GetArrayDimensionSize(a, 1));
n = 0;
For (k = 0; k < 4; k++) For (j = 0; j < 3; j++) For (i = 0; i < 2; i++) n = n + a[i, j, k] / 7;
Print(n, a[0, 0, 0], a[1, 2, 3], a[0, 1, 2]);

//== FillArray of a value that is no array raises 14
// expect: error 14 line 2
Program.FillArray(3, 1);

//== dimension queries check their arguments
// expect: end
// expect output: 5
// expect output: 46
// expect output: 46
// expect output: 21
// expect output: 45
// expect output: 45
Function Caught(code, text, unit, line, column) { Print(code); }
Program.OnError = Caught;
one[4] = 1;
two[1, 1] = 1;
Print(Program.GetArrayDimensionSize(one));
Program.GetArrayDimensionCount(3);
Program.GetArrayDimensionSize("x", 0);
Program.GetArrayDimensionSize(two);
Program.GetArrayDimensionSize(two, 2);
Program.GetArrayDimensionSize(two, -1);

//== GetLastError gives the code once, then 0
// expect: end
// expect output: 14 0
Function Caught(code, text, unit, line, column) {}
Program.OnError = Caught;
Program.GetChar(-1);
Print(Program.GetLastError(), Program.GetLastError());

//== Wait inside an OnError handler raises 84
// expect: end
// expect output: 14
// expect output: 84
Function Caught(code, text, unit, line, column) {
    Print(code);
    If (code == 14) Program.Wait(10);
}
Program.OnError = Caught;
Program.GetChar(300);
Program.Wait(5);
Program.Wait(5);

//== a Wait outside handlers runs a pending handler
// expect: end
// expect output: handled
// expect output: after
Function Caught(code, text, unit, line, column) { Print("handled"); }
Program.OnError = Caught;
Program.GetChar(300);
Program.Wait(1);
Print("after");

//== events switch off and on
// expect: end
// expect output: 1 0 1
a = Program.EventsEnabled();
Program.DisableEvents();
b = Program.EventsEnabled();
Program.EnableEvents();
Print(a, b, Program.EventsEnabled());

//== LoadString of a missing element raises 79
// expect: error 79 line 2
Program.LoadString("nothing");

//== the environment answers as a stand-alone application
// expect: end
// expect output: 1 0 0 1 1 0 0 0
// expect output: 1 0 1 1
// expect output: 1 0 1
// expect output: [] 1 []
// expect output: [Erreur #14.] []
Print(Program.IsRelease(), Program.IsDebug(), Program.IsScreenSaver(), Program.IsApplication(), Program.IsStandAlone(), Program.IsEditorMode(), Program.IsActiveX(), Program.IsScreenSaverSetupDialog());
Print(Program.IsQuickTimeInstalled(), Program.IsQuickTimeVRInstalled(), Program.IsModPlugInstalled(), Program.IsSpeechInstalled());
e = Program.IsDirectSound3DEnabled();
Program.DisableDirectSound3D();
d = Program.IsDirectSound3DEnabled();
Program.EnableDirectSound3D();
Print(e, d, Program.IsDirectSound3DEnabled());
p = Program.GetParamList();
Print("[" + p[0] + "]", Program.GetArrayDimensionSize(p), "[" + Program.GetParamValue() + "]");
Print("[" + Program.GetErrorMessage(14) + "]", "[" + Program.GetErrorMessage() + "]");

//== the command line of a run without one
// expect: end
// expect output: [] 0 []
Print("[" + Program.GetCommandLine() + "]", Program.GetNArguments(), "[" + Program.GetArgument(0) + "]");

//== a default game input is missing without one
// expect: error 91 line 2
Program.GetDefaultGameInput();
