//== a Font from a face, a size, a weight and flags
f = New Font("Courier New", 24, Font.BOLD, Font.ITALIC);
Print(f.GetFaceName(), f.GetHeight(), f.GetWeight() == Font.BOLD, f.IsItalic(), f.IsUnderline(), f.IsStrikeOut());
g = New Font(f, 10);
Print(g.GetFaceName(), g.GetHeight(), g.GetWeight() == Font.BOLD, g.IsItalic());
h = New Font(Font.UNDERLINE, Font.STRIKEOUT, Font.LIGHT);
Print(h.GetFaceName(), h.GetHeight(), h.GetWeight() == Font.LIGHT, h.IsUnderline(), h.IsStrikeOut(), h.IsItalic());
Print(AsText(Font.THIN), AsText(Font.HEAVY), AsText(Font.VARIABLEPITCH));
// expect output: Courier New 24 1 1 0 0
// expect output: Courier New 10 1 1
// expect output: Arial 16 1 1 1 0
// expect output: -2147483548 -2147482748 -1073741808
// expect: end

//== a face name of 40 characters keeps 31
f = New Font("abcdefghijabcdefghijabcdefghijabcdefghij", 12);
Print(f.GetFaceName());
// expect output: abcdefghijabcdefghijabcdefghija
// expect: end

//== the font argument: a Font, or a face and a size in either order
w = New Window(100, 50);
d = w.GetFont();
Print(d.GetFaceName(), d.GetHeight());
w.SetFont(12, "Courier New");
a = w.GetFont();
w.SetFont("Courier New", 12);
b = w.GetFont();
Print(a.GetFaceName(), a.GetHeight(), b.GetFaceName(), b.GetHeight(), a == b);
w.SetFont();
c = w.GetFont();
Print(c.GetFaceName(), c.GetHeight());
f = New Font("Times New Roman", 30);
w.SetFont(f);
Print(w.GetFont() == f);
// expect output: MS Shell Dlg 11
// expect output: Courier New 12 Courier New 12 0
// expect output: Arial 16
// expect output: 1
// expect: end

//== a font argument of another kind
w = New Window(100, 50);
w.SetFont(w);
// expect: error 14

//== deleting a Font that windows use gives them the default Font
f = New Font("Courier New", 20);
a = New Window(100, 50);
b = New Window(100, 50);
a.SetFont(f);
b.SetFont(f);
Delete f;
x = a.GetFont();
y = b.GetFont();
Print(x.GetFaceName(), x.GetHeight(), y.GetFaceName(), y.GetHeight(), x == y, f);
Delete x;
z = a.GetFont();
Print(z.GetFaceName(), z.GetHeight(), x);
// expect output: Arial 16 Arial 16 1 0
// expect output: Arial 16 0
// expect: end
