//== a text put is read back, and Cleanup empties the clipboard
c = New Clipboard();
c.PutData("two words");
Print(c.HasText(), c.GetText(), c.HasImage(), c.HasSound());
c.PutData(12.5);
Print(c.GetText());
c.Cleanup();
Print(c.HasText(), "[" + c.GetText() + "]");
// expect output: 1 two words 0 0
// expect output: 12.5
// expect output: 0 []
// expect: end

//== a Binary goes under its format name, found again without regard to case
c = New Clipboard();
b = New Binary();
b.AllocateData(3);
b.SetByte(0, 7);
b.SetByte(2, 255);
c.PutData(b, "Zorv Bytes");
Print(c.HasBinary("zorv bytes"), c.HasBinary("Other Bytes"), c.HasText());
r = c.GetBinary("ZORV BYTES");
Print(r.GetDataSize(), r.GetByte(0), r.GetByte(1), r.GetByte(2), b.IsEqual(r));
Print(c.GetBinary("Other Bytes"));
// expect output: 1 0 0
// expect output: 3 7 0 255 1
// expect output: 0
// expect: end

//== a Binary without a format name is refused and the clipboard keeps its text
c = New Clipboard();
c.PutData("kept");
b = New Binary();
b.AllocateData(2);
c.PutData(b);
// expect: error 14 line 5

//== a Surface comes back as a new Surface, pixel for pixel
c = New Clipboard();
s = New Surface(5, 3, 32);
s.Clear(Surface.BLUE);
s.SetPixel(4, 2, Surface.RED);
s.SetPixel(0, 0, 0x123456);
c.PutData(s);
Print(c.HasImage(), c.HasText());
t = c.GetImage();
Print(t.GetPixelWidth(), t.GetPixelHeight(), t.GetDepth(), AsText(t.GetPixel(4, 2)), AsText(t.GetPixel(0, 0)), AsText(t.GetPixel(1, 1)));
// expect output: 1 0
// expect output: 5 3 32 16711680 1193046 255
// expect: end

//== other objects and wrong argument counts are refused
c = New Clipboard();
c.PutData(c);
// expect: error 14 line 2

//== PutData needs its value
c = New Clipboard();
c.PutData();
// expect: error 21 line 2

//== format names must be texts
c = New Clipboard();
c.HasBinary(3);
// expect: error 14 line 2
