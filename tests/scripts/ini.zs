//== values written read back, names without regard to case
// expect: end
// expect output: [blue] [blue] [3] 3 [] [dflt]
i = New Ini("settings.ini");
i.SetValue("Colours", "Sky", "blue");
i.SetValue("Counts", "Runs", 3);
Print("[" + i.GetStrValue("Colours", "Sky") + "]", "[" + i.GetStrValue("COLOURS", "sKY") + "]", "[" + i.GetStrValue("Counts", "Runs") + "]", i.GetIntValue("counts", "runs"), "[" + i.GetStrValue("Colours", "Sea") + "]", "[" + i.GetStrValue("Nothing", "Sky", "dflt   ") + "]");

//== GetIntValue defaults and saturation
// expect: end
// expect output: 0 12 12 2147483647 -2147483648 -7 0
i = New Ini("n.ini");
i.SetValue("s", "big", "99999999999");
i.SetValue("s", "small", "-99999999999");
i.SetValue("s", "neg", "  -7xyz");
i.SetValue("s", "word", "abc");
none = New Ini();
Print(i.GetIntValue("s", "k"), i.GetIntValue("s", "k", "12"), none.GetIntValue("s", "k", "12"), i.GetIntValue("s", "big"), i.GetIntValue("s", "small"), i.GetIntValue("s", "neg"), i.GetIntValue("s", "word"));

//== without a file, section or key nothing happens and the default comes back
// expect: end
// expect output: [d] [d]
// expect output: [d] [d]
// expect output: [x]
i = New Ini();
i.SetValue("s", "k", "v");
e = New Ini("");
Print("[" + i.GetStrValue("s", "k", "d") + "]", "[" + e.GetStrValue("s", "k", "d") + "]");
i.OpenFile("a.ini");
i.SetValue("", "k", "v");
i.SetValue("s", "", "v");
i.SetValue("s", "k");
Print("[" + i.GetStrValue("s", "k", "d") + "]", "[" + i.GetStrValue("", "k", "d") + "]");
i.SetValue("s", "k", "x");
i.CloseFile();
j = New Ini("a.ini");
Print("[" + j.GetStrValue("s", "k", "d") + "]");

//== DeleteItem removes a key, or the whole section
// expect: end
// expect output: [] [2] [3]
// expect output: [] []
i = New Ini("d.ini");
i.SetValue("a", "one", 1);
i.SetValue("a", "two", 2);
i.SetValue("b", "three", 3);
i.DeleteItem("a", "one");
Print("[" + i.GetStrValue("a", "one") + "]", "[" + i.GetStrValue("a", "two") + "]", "[" + i.GetStrValue("b", "three") + "]");
i.DeleteItem("a");
i.DeleteItem("b", "");
Print("[" + i.GetStrValue("a", "two") + "]", "[" + i.GetStrValue("b", "three") + "]");

//== a value with a line end is refused
// expect: end
// expect output: [old]
b = New Binary();
b.AllocateData(4);
b.SetString(0, "x");
b.SetByte(1, 13);
b.SetByte(2, 10);
crlf = b.GetString(0);
i = New Ini("crlf.ini");
i.SetValue("s", "k", "old");
i.SetValue("s", "k", "new" + crlf + "[evil]");
i.SetValue("s" + crlf, "k", "new");
i.SetValue("s", "k" + crlf, "new");
Print("[" + i.GetStrValue("s", "k") + "]");

//== a bare name lives in the Windows directory, shared by every Ini of that name
// expect: end
// expect output: 5 0
a = New Ini("shared.ini");
a.SetValue("run", "count", 5);
b = New Ini("SHARED.INI");
c = New Ini(".\shared.ini");
Print(b.GetIntValue("run", "count"), c.GetIntValue("run", "count"));

//== numbers are read from their first 29 characters
// expect: end
// expect output: 123456789 40
i = New Ini("long.ini");
i.SetValue("s", "n", "000000000000000000001234567890");
t = "";
For (k = 0; k < 40; k++) t = t + "x";
i.SetValue("s", "t", t);
t = i.GetStrValue("s", "t");
Print(i.GetIntValue("s", "n"), t.Length());
