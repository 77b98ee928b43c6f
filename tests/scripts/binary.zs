//== a new Binary is empty, in the host's order, and refuses writes
// expect: end
// expect output: 0 2 0 [] 0
// expect output: caught 14
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Program.OnError = Caught;
b = New Binary();
Print(b.GetDataSize(), b.GetByteOrdering(), b.GetLong(0), "[" + b.GetString(0) + "]", b.GetChar(0));
b.SetLong(0, 1);

//== a long is laid out by the byte order
// expect: end
// expect output: 1 2 3 4 16909060
// expect output: 4 3 2 1 16909060
// expect output: 2 1 4 3 16909060
b = New Binary();
b.AllocateData(4);
For (order = 1; order <= 3; order++) {
    b.SetByteOrdering(order);
    b.SetLong(0, 0x01020304);
    Print(b.GetByte(0), b.GetByte(1), b.GetByte(2), b.GetByte(3), b.GetLong(0));
}

//== every typed accessor round-trips in each order
// expect: end
// expect output: 1 65535 -2 200 z 1.5 -0.25 hello
// expect output: 2 65535 -2 200 z 1.5 -0.25 hello
// expect output: 3 65535 -2 200 z 1.5 -0.25 hello
b = New Binary();
b.AllocateData(40);
For (order = 1; order <= 3; order++) {
    b.SetByteOrdering(order);
    b.SetWord(0, 0xFFFF);
    b.SetLong(2, -2);
    b.SetByte(6, 200);
    b.SetChar(7, "zed");
    b.SetDouble(8, 1.5);
    b.SetFloat(16, -0.25);
    b.SetString(20, "hello");
    Print(b.GetByteOrdering(), b.GetWord(0), b.GetLong(2), b.GetByte(6), b.GetChar(7), b.GetDouble(8), b.GetFloat(16), b.GetString(20));
}

//== a word and a double keep their bytes in big-endian order
// expect: end
// expect output: 18 52 63 240 0 0
b = New Binary();
b.AllocateData(10);
b.SetByteOrdering(Binary.BIG_ENDIAN);
b.SetWord(0, 0x1234);
b.SetDouble(2, 1.0);
Print(b.GetByte(0), b.GetByte(1), b.GetByte(2), b.GetByte(3), b.GetByte(4), b.GetByte(9));

//== readers out of range give 0, writers raise 14
// expect: end
// expect output: 0 0 0 0 0 0 [] 0 0 0
// expect output: caught 14
// expect output: caught 14
// expect output: caught 14
// expect output: caught 14
// expect output: caught 14
// expect output: caught 14
// expect output: caught 14
// expect output: 0 0 0 0 0 0 0 0
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Program.OnError = Caught;
b = New Binary();
b.AllocateData(8);
Print(b.GetLong(-1), b.GetLong(-4), b.GetLong(0x7FFFFFFF), b.GetLong(5), b.GetWord(7), b.GetDouble(1), "[" + b.GetString(8) + "]", b.GetChar(-1), b.GetByte(8), b.GetFloat(0x80000000));
b.SetLong(-1, 7);
b.SetLong(-4, 7);
b.SetLong(0x7FFFFFFF, 7);
b.SetLong(5, 7);
b.SetWord(7, 7);
b.SetByte(-1, 7);
b.SetDouble(1, 1.0);
Print(b.GetByte(0), b.GetByte(1), b.GetByte(2), b.GetByte(3), b.GetByte(4), b.GetByte(5), b.GetByte(6), b.GetByte(7));

//== SetDouble wants a double
// expect: error 14 line 5
b = New Binary();
b.AllocateData(8);
b.SetDouble(0, 1.0);
b.SetDouble(0, 1);

//== argument counts
// expect: end
// expect output: caught 21
// expect output: caught 21
// expect output: caught 21
// expect output: caught 14
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Program.OnError = Caught;
b = New Binary();
b.AllocateData(4);
b.GetLong();
b.SetLong(0);
b.AllocateData();
b.AllocateData("x");

//== SetString cuts the text and always ends it
// expect: end
// expect output: 97 0 a
// expect output: 4 1 7
b = New Binary();
b.AllocateData(2);
b.SetString(0, "abc");
Print(b.GetByte(0), b.GetByte(1), b.GetString(0));
Print(b.GetStringSize("abc"), b.GetStringSize(), b.GetDoubleSize() - b.GetByteSize());

//== allocation and resizing zero their new bytes
// expect: end
// expect output: 1 4 0 1 8 7 0 1 1 0
// expect output: 0 0
b = New Binary();
Print(b.AllocateData(4), b.GetDataSize(), b.GetLong(0), b.ReSizeData(8), b.GetDataSize(), b.GetByte(3) + 7, b.GetLong(4), b.ReSizeData(0), b.AllocateData(0), b.GetDataSize());
b.AllocateData(4);
Print(b.AllocateData(-1), b.GetDataSize());

//== MoveData refuses anything outside the data
// expect: end
// expect output: 0
// expect output: 0 0 0 0 0 0 0
// expect output: 1 1 1 2 3 4
b = New Binary();
Print(b.MoveData(0, 0, 1));
b.AllocateData(5);
For (i = 0; i < 5; i++) b.SetByte(i, i + 1);
Print(b.MoveData(-1, 0, 1), b.MoveData(0, -1, 1), b.MoveData(0, 0, -1), b.MoveData(4, 0, 2), b.MoveData(0, 4, 2), b.MoveData(0x7FFFFFFF, 0, 2), b.MoveData(1, 0, 0x7FFFFFFF));
Print(b.MoveData(0, 1, 4), b.GetByte(0), b.GetByte(1), b.GetByte(2), b.GetByte(3), b.GetByte(4));

//== MoveData overlapping copies and results
// expect: end
// expect output: 1 1 2 3 4 5
// expect output: 1 1 2 3 2 3
b = New Binary();
b.AllocateData(6);
For (i = 0; i < 6; i++) b.SetByte(i, i);
Print(b.MoveData(1, 0, 5), b.GetByte(0), b.GetByte(1), b.GetByte(2), b.GetByte(3), b.GetByte(4));
Print(b.MoveData(1, 4, 2), b.GetByte(0), b.GetByte(1), b.GetByte(2), b.GetByte(4), b.GetByte(5));

//== CopyData grows the target and refuses negative or overflowing arguments
// expect: end
// expect output: 0 0 0 0 0 0
// expect output: 1 5 0 0 3 4
// expect output: 1 2
// expect output: 1 6 3 4 3 4
a = New Binary();
a.AllocateData(4);
For (i = 0; i < 4; i++) a.SetByte(i, i + 1);
t = New Binary();
Print(a.CopyData(t, -1, 0, 2), a.CopyData(t, 0, -1, 2), a.CopyData(t, 0, 0, -1), a.CopyData(t, 4, 0, 1), a.CopyData(t, 0, 0x7FFFFFFF, 2), t.GetDataSize());
Print(a.CopyData(t, 2, 3, 100), t.GetDataSize(), t.GetByte(0), t.GetByte(2), t.GetByte(3), t.GetByte(4));
Print(a.CopyData(t, 0, 0, 0x7FFFFFFF) - t.GetByte(0) + 1, t.GetByte(1));
Print(a.CopyData(a, 2, 4, 2), a.GetDataSize(), a.GetByte(2), a.GetByte(3), a.GetByte(4), a.GetByte(5));

//== CopyData wants a Binary target
// expect: error 14 line 3
a = New Binary();
a.CopyData(5, 0, 0, 1);

//== Find and IsEqual
// expect: end
// expect output: 0 -1 2 -1 -1 -1 -1 2
// expect output: 1 0 1
a = New Binary();
a.AllocateData(6);
a.SetString(0, "ababa");
p = New Binary();
p.AllocateData(6);
p.SetString(0, "ababa");
q = New Binary();
q.AllocateData(2);
q.SetString(0, "a");
q.SetByte(1, 98);
e = New Binary();
Print(a.Find(p), a.Find(p, 1), a.Find(q, 1), a.Find(q, -1), a.Find(e), e.Find(q), a.Find(q, 0x7FFFFFFF), a.Find(q, 2));
Print(a.IsEqual(p), a.IsEqual(q), e.IsEqual(New Binary()));

//== SaveData and LoadData through a file
// expect: end
// expect output: 1 1 6 abcdef
// expect output: 1 2 cd
// expect output: 1 1 abXYef 6
// expect output: 1 2 XY
b = New Binary();
b.AllocateData(7);
b.SetString(0, "abcdef");
saved = b.SaveData("out.bin", 1, 0, 0, 6);
c = New Binary("out.bin");
Print(saved, 1, c.GetDataSize(), c.GetString(0));
Print(c.LoadData("out.bin", 2, 2), c.GetDataSize(), c.GetChar(0) + c.GetChar(1));
x = New Binary();
x.AllocateData(2);
x.SetChar(0, "X");
x.SetChar(1, "Y");
Print(x.SaveData("out.bin", 0, 0, 2), c.LoadData("out.bin") * 0 + 1, c.GetChar(0) + c.GetChar(1) + c.GetChar(2) + c.GetChar(3) + c.GetChar(4) + c.GetChar(5), c.GetDataSize());
saved = x.SaveData("new.bin");
n = New Binary("new.bin", 0);
Print(saved, n.GetDataSize(), n.GetChar(0) + "Y");

//== SaveData with negative arguments touches no file
// expect: end
// expect output: 1 0 0 0 2
b = New Binary();
b.AllocateData(3);
b.SetString(0, "ab");
Print(b.SaveData("keep.bin", 1), b.SaveData("keep.bin", 1, -1), b.SaveData("keep.bin", 1, 0, -1), b.SaveData("keep.bin", 1, 0, 0, -1), b.LoadData("keep.bin", 1) * 0 + b.GetDataSize());

//== LoadData with negative arguments or a missing file
// expect: end
// expect output: 0 0 0 3
b = New Binary();
b.AllocateData(3);
Print(b.LoadData("missing.bin"), b.LoadData("missing.bin", -1), b.LoadData("missing.bin", 0, -1), b.GetDataSize());

//== SaveData without data
// expect: error 87 line 3
b = New Binary();
b.SaveData("x.bin");

//== byte order codes
// expect: end
// expect output: 2 1 3 1 2
// expect output: caught 14
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Program.OnError = Caught;
b = New Binary();
b.SetByteOrdering(Binary.BIG_ENDIAN);
o = b.GetByteOrdering();
b.SetByteOrdering();
Print(Binary.LITTLE_ENDIAN, Binary.BIG_ENDIAN, Binary.PDP_ENDIAN, o, b.GetByteOrdering());
b.SetByteOrdering(4);
