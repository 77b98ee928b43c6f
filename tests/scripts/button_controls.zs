//== sizes left out follow the caption in the control's font
// expect: end
// expect output: 10 10 20 30 10
// expect output: 5 0 2 1
// expect output: 1 1
// expect output: 10 10 100 30 100 30
// expect output: 5 6 70 8
w = New Window(300, 200, 0, 0);
text = w.GetStringWidth("Hello");
high = w.GetStringHeight("Hello");
b = New Button("Hello");
c = New CheckBox("Hello");
t = New StaticText("Hello");
Print(b.GetX(), b.GetY(), b.GetWidth() - text, c.GetWidth() - text, t.GetWidth() - text);
Print(b.GetHeight() - high, t.GetHeight() - high, c.GetHeight() - high, b.GetHeight() >= 20);
// An empty caption is measured as "X".
e = New StaticText("");
x = New StaticText("X");
Print(e.GetWidth() == x.GetWidth(), e.GetHeight() == x.GetHeight());
r = New RadioButton("A caption longer than a hundred pixels, surely");
g = New GroupBox("G");
Print(r.GetX(), r.GetY(), r.GetWidth(), r.GetHeight(), g.GetWidth(), g.GetHeight());
s = New Button("", 5, 6, 70, 8);
Print(s.GetX(), s.GetY(), s.GetWidth(), s.GetHeight());

//== a CheckBox click tells OnClick, then OnCheck with the new state
// expect: end
// expect output: click 1
// expect output: check 1
// expect output: 1
// expect output: again
// expect output: check 0
// expect output: click 1
// expect output: check 1
Function Clicked(box) { Print("click", box == tick); }
Function Checked(box, state) { Print("check", state); }
w = New Window(300, 200, 0, 0);
tick = New CheckBox("Tick", 10, 10, 100, 20);
tick.OnClick = Clicked;
tick.OnCheck = Checked;
UiRefreshNow(); UiDispatch();
UiClick(w, 15, 20); UiDispatch(); RunPending();
Print(tick.IsChecked());
// Checking a checked box changes nothing and tells nothing.
tick.SetCheck(); RunPending();
Print("again");
tick.SetCheck(0); RunPending();
// Later than a double click.
UiAdvance(1000);
UiClick(w, 15, 20); UiDispatch(); RunPending();

//== a RadioButton unchecks only the buttons of its group and its Window
// expect: end
// expect output: other 1
// expect output: a 1
// expect output: c 1
// expect output: a 0
// expect output: b 1
// expect output: 1 0 1 1 1
// expect output: b 0
// expect output: 1 0 0 1
Function Checked(radio, state) { Print(radio.GetText(), state); }
v = New Window(300, 200, 320, 0);
other = New RadioButton("other", 10, 10, 80, 20);
w = New Window(300, 200, 0, 0);
a = New RadioButton("a", 10, 10, 80, 20);
b = New RadioButton("b", 10, 40, 80, 20);
c = New RadioButton("c", 10, 70, 80, 20);
c.SetGroupNumber(1);
a.OnCheck = Checked; b.OnCheck = Checked; c.OnCheck = Checked; other.OnCheck = Checked;
other.SetCheck(); a.SetCheck(); c.SetCheck(); RunPending();
UiRefreshNow(); UiDispatch();
UiClick(w, 15, 50); UiDispatch(); RunPending();
Print(other.IsChecked(), a.IsChecked(), b.IsChecked(), c.IsChecked(), c.GetGroupNumber());
b.SetCheck(0); RunPending();
Print(other.IsChecked(), a.IsChecked(), b.IsChecked(), c.IsChecked());

//== static kinds, colours and group boxes show in pixels, above the Window's drawing
// expect: end
// expect output: label 1
// expect output: 0 4210752 16777215 65280 8421504
// expect output: 4210752 16777215 65280 255
// expect output: 16776960 65535
w = New Window(300, 200, 0, 0);
g = New GroupBox("G", GroupBox.BORDER, 200, 10, 80, 60);
black = New StaticText(StaticText.BLACKRECT, 10, 100, 20, 20);
white = New StaticText(StaticText.WHITERECT, 40, 100, 20, 20);
label = New StaticText("", 70, 100, 40, 20);
label.SetBackColor(0x00FF00);
gray = New StaticText(StaticText.GRAYFRAME, 120, 100, 20, 20);
Function Clicked(source) { Print("label", source == label); }
label.OnClick = Clicked;
UiRefreshNow(); UiDispatch();
UiClick(w, 80, 105); UiDispatch(); RunPending();
Print(g.HasAttribute(GroupBox.BORDER), UiPixel(w, 15, 105), UiPixel(w, 45, 105), UiPixel(w, 100, 115), UiPixel(w, 120, 110));
// The Window's drawing over them: the refresh draws the statics again on top.
w.SetFillColor(0x0000FF);
w.Rectangle(0, 90, 150, 150);
UiRefreshNow(); UiDispatch();
Print(UiPixel(w, 15, 105), UiPixel(w, 45, 105), UiPixel(w, 100, 115), UiPixel(w, 140, 140));
tick = New CheckBox("", 160, 100, 60, 20);
tick.SetBackColor(0xFFFF00);
radio = New RadioButton("", 160, 130, 60, 20);
radio.SetBackColor(0x00FFFF);
UiRefreshNow(); UiDispatch();
Print(UiPixel(w, 210, 110), UiPixel(w, 210, 140));

//== a Button draws its normal, pushed and embossed disabled images
// expect: end
// expect output: 16711680 13947080 16711680 16711680
// expect output: disabled 8421504 65280
// expect output: pushed 255
w = New Window(300, 200, 0, 0);
red = New Surface(8, 8); red.Clear(0xFF0000);
blue = New Surface(8, 8); blue.Clear(0x0000FF);
green = New Surface(8, 8); green.Clear(0x00FF00);
one = New Button("", red, 10, 10, 40, 30);
two = New Button("", red, blue, 60, 10, 40, 30);
three = New Button("", red, blue, green, 110, 10, 40, 30);
UiRefreshNow(); UiDispatch();
// The 8 x 8 image fills the 26-pixel high inside, centred: x 7 to 32 of a button.
Print(UiPixel(w, 17, 15), UiPixel(w, 43, 15), UiPixel(w, 30, 25), UiPixel(w, 80, 25));
one.Disable(); three.Disable();
UiRefreshNow(); UiDispatch();
Print("disabled", UiPixel(w, 30, 25), UiPixel(w, 130, 25));
UiPress(w, 80, 25); UiDispatch();
Print("pushed", UiPixel(w, 80, 25));

//== held down without its own pushed image, the normal image moves a pixel right and down
// expect: end
// expect output: 13947080 16711680
w = New Window(300, 200, 0, 0);
red = New Surface(8, 8); red.Clear(0xFF0000);
one = New Button("", red, 10, 10, 40, 30);
UiRefreshNow(); UiDispatch();
UiPress(w, 30, 25); UiDispatch();
Print(UiPixel(w, 17, 15), UiPixel(w, 43, 15));

//== a deleted image leaves its Button working; a fourth image is error 14
// expect: error 14
// expect output: 13947080 1
// expect output: clicked
Function Clicked(pressed) { Print("clicked"); }
w = New Window(300, 200, 0, 0);
red = New Surface(8, 8); red.Clear(0xFF0000);
one = New Button("", red, 10, 10, 40, 30);
one.OnClick = Clicked;
Delete red;
UiRefreshNow(); UiDispatch();
// The frame alone.
Print(UiPixel(w, 30, 25), one.IsVisible());
UiClick(w, 30, 25); UiDispatch(); RunPending();
red = New Surface(8, 8);
four = New Button("", red, red, red, red);

//== a deleted control leaves the others heard; a deleted Window takes its controls along
// expect: end
// expect output: clicked second
// expect output: 1 0 0 0
// expect output: 0 0 0 0
Function Clicked(source) { Print("clicked", source.GetText()); }
w = New Window(300, 200, 0, 0);
first = New Button("first", 10, 10, 60, 24);
second = New Button("second", 10, 40, 60, 24);
box = New CheckBox("box", 10, 70, 60, 20);
first.OnClick = Clicked;
second.OnClick = Clicked;
Delete first;
UiRefreshNow(); UiDispatch();
UiClick(w, 20, 50); UiDispatch(); RunPending();
Print(Math.Count(15), first, Math.Count(21) - 1, Math.Count(58) - 1);
Delete w;
Print(Math.Count(15), second, Math.Count(21), box);
