//== drawing at coordinates as far as integers go changes only what lies on the Surface
s = New Surface(20, 20, 32);
s.SetPenColor(Surface.RED);
s.Line(-2147483648, 5, 2147483647, 5);
s.SetPenSize(3);
s.Line(-2147483648, -2147483648, 2147483647, 2147483647);
s.LineTo(2147483647, -2147483648);
s.SetPixel(2147483647, 2147483647, Surface.RED);
s.SetPixel(-2147483648, 3);
s.Rectangle(2147483600, 2147483600, 2147483647, 2147483647);
Print(AsText(s.GetPixel(10, 5)), AsText(s.GetPixel(10, 10)), AsText(s.GetPixel(0, 19)));
// expect output: 16711680 16711680 16777215
// expect: end
