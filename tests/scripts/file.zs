//== lines end at CR LF, LF CR, CR CR and LF LF alike
// expect: end
// expect output: [a] [b] []
// expect output: [1] [2] [3] [4] [5] [] [6] [] 17 17
f = New File("lines.txt");
f.Write("a");
f.WriteLn();
f.Write("b");
f.Close();
f.Open("lines.txt", File.READONLY);
Print("[" + f.ReadLn() + "]", "[" + f.ReadLn() + "]", "[" + f.ReadLn() + "]");
b = New Binary();
b.AllocateData(18);
b.SetString(0, "1rn2nr3rr4nn5rnn6");
For (i = 0; i < 17; i++) {
    If (b.GetChar(i) == "r") b.SetByte(i, 13);
    If (b.GetChar(i) == "n") b.SetByte(i, 10);
}
b.SaveData("ends.txt", 1, 0, 0, 17);
f.Open("ends.txt");
Print("[" + f.ReadLn() + "]", "[" + f.ReadLn() + "]", "[" + f.ReadLn() + "]", "[" + f.ReadLn() + "]", "[" + f.ReadLn() + "]", "[" + f.ReadLn() + "]", "[" + f.ReadLn() + "]", "[" + f.ReadLn() + "]", f.GetPosition(), f.GetLength());

//== Read takes tokens with separators, spaces and quotes
// expect: end
// expect output: [x] [y]
// expect output: [a,b] [c]
// expect output: ["a,b"] [c]
// expect output: [p] [q] [r s] [t] []
f = New File("tokens.txt");
f.WriteLn("x, y");
f.WriteLn('"a,b",c');
f.WriteLn("p;q r s ;t");
f.SetPosition(0);
Print("[" + f.Read(File.SKIPSPACES) + "]", "[" + f.Read(File.SKIPSPACES) + "]");
Print("[" + f.Read(File.HANDLEQUOTES) + "]", "[" + f.Read(File.HANDLEQUOTES) + "]");
f.SetPosition(6);
Print("[" + f.Read(File.HANDLEQUOTES, File.RETURNQUOTES) + "]", "[" + f.Read() + "]");
Print("[" + f.Read(";") + "]", "[" + f.Read(" ") + "]", "[" + f.Read(";", File.SKIPSPACES) + "]", "[" + f.Read() + "]", "[" + f.Read() + "]");

//== positions, lengths and a long line
// expect: end
// expect output: 600 600 1 600 600 0
// expect output: 3 600 1 xyz
f = New File("long.txt");
s = "";
For (i = 0; i < 60; i++) s = s + "0123456789";
f.Write(s);
t = f.ReadLn();
Print(f.GetLength(), f.GetPosition(), f.IsOpened(), f.SetPosition(9999) * 0 + f.GetPosition(), t.Length() * 0 + f.GetLength(), f.SetPosition(0) * 0 + f.GetPosition());
t = f.ReadLn();
f.SetPosition(3);
f.Write("xyz");
f.SetPosition(3);
Print(f.GetPosition(), t.Length(), f.Write(""), f.Read("6"));

//== Close forgets the file; reading then raises 48
// expect: error 48 line 5
f = New File("c.txt");
f.Close();
Print("[" + f.GetFilePath() + "]", f.IsOpened());
f.WriteLn("x");
// expect output: [] 0

//== bad modes, positions and paths
// expect: end
// expect output: caught 14
// expect output: caught 14
// expect output: caught 29
// expect output: caught 48
// expect output: 0 2
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Program.OnError = Caught;
f = New File("m.txt");
f.Open("m.txt", 5);
f2 = New File("m2.txt");
f2.SetPosition(-1);
f2.Open("");
f2.Read(5);
Print(f2.Open("missing\\nothing.txt"), Disk.GetLastDiskErrorCode() - 1);

//== the whole path is kept
// expect: end
// expect output: 1 1
d = "a-folder-name-of-some-length";
Disk.MakeDirectory(d);
p = d + "\\" + d + "-and-a-file-name-that-is-longer.txt";
f = New File(p);
Print(f.GetFilePath() == p, Disk.Exist(p));

