//== scroll bars and sliders left without a height follow their orientation
// expect: end
// expect output: 10 10 16 200
// expect output: 200 10 16 100
// expect output: 10 10 100 16
// expect output: 100 16 16 120
w = New Window(300, 200, 0, 0);
down = New ScrollBar(ScrollBar.VERT, 10, 10, 200);
Print(down.GetX(), down.GetY(), down.GetWidth(), down.GetHeight());
// Plain numbers are x first: 200 is the place, not the length.
placed = New ScrollBar(ScrollBar.VERT, 200);
Print(placed.GetX(), placed.GetY(), placed.GetWidth(), placed.GetHeight());
across = New ScrollBar();
Print(across.GetX(), across.GetY(), across.GetWidth(), across.GetHeight());
flat = New Slider();
upright = New Slider(Slider.VERT, 10, 10, 120);
Print(flat.GetWidth(), flat.GetHeight(), upright.GetWidth(), upright.GetHeight());

//== ranges given the wrong way round are swapped, and negative ends are kept
// expect: end
// expect output: 10 0 -5
// expect output: 0 10 -10 10
// expect output: 0 10 -10 10 -4
// expect output: -32767 32767
w = New Window(300, 200, 0, 0);
bar = New ScrollBar();
bar.SetRange(10, 0);
bar.SetPos(20);
high = bar.GetPos();
bar.SetPos(-3);
low = bar.GetPos();
bar.SetRange(-10, 10);
bar.SetPos(-5);
Print(high, low, bar.GetPos());
thumb = New Slider();
thumb.SetRange(10, 0);
a = thumb.GetRangeMin(); b = thumb.GetRangeMax();
thumb.SetRange(-10, 10);
Print(a, b, thumb.GetRangeMin(), thumb.GetRangeMax());
done = New ProgressBar();
done.SetRange(10, 0);
a = done.GetRangeMin(); b = done.GetRangeMax();
done.SetRange(-10, 10);
done.SetPos(-4);
Print(a, b, done.GetRangeMin(), done.GetRangeMax(), done.GetPos());
done.SetRange();
Print(done.GetRangeMin(), done.GetRangeMax());

//== a click on the arrow at the maximum tells the unchanged maximum
// The bar's notifications run the pending event at once: each scroll message shows.
// expect: end
// expect output: scroll 10 1
// expect output: scroll 10 8
// expect output: after 1 1 8
Function Scrolled(source, pos, code) { Print("scroll", pos, code); }
w = New Window(300, 200, 0, 0);
bar = New ScrollBar(10, 10, 100);
bar.SetRange(0, 10);
bar.SetPos(10);
bar.OnScroll = Scrolled;
UiRefreshNow(); UiDispatch();
UiClick(w, 102, 18); UiDispatch();
Print("after", bar.GetPos() == 10, ScrollBar.LINEDOWN, ScrollBar.ENDSCROLL);

//== each scroll message of a Window's bar runs the pending check
// expect: end
// The message itself runs the event queued before it; the statement loop the next.
// expect output: other
// expect output: scroll 1 1
// expect output: sent
// expect output: scroll 2 1
// expect output: 2
Function Scrolled(source, pos, code) { Print("scroll", pos, code); }
Function Other() { Print("other"); }
w = New Window(Window.VSCROLL, 200, 100, 0, 0);
bar = w.GetVerticalScrollBar();
bar.OnScroll = Scrolled;
Post(Other);
UiSend(w, 0x115, 1, 0);
Print("sent");
UiSend(w, 0x115, 1, 0);
Print(bar.GetPos());

//== a scroll handler may delete the Window, during a drag too
// expect: end
// expect output: scroll 19 5
// expect output: 1 0
// expect output: own 30 5
// expect output: 1 0
Function Scrolled(source, pos, code) { Print("scroll", pos, code); Delete w; }
Function OwnScrolled(source, pos, code) { Print("own", pos, code); Delete v; }
keep = New Window(100, 100, 400, 0);
w = New Window(300, 200, 0, 0);
bar = New ScrollBar(10, 10, 200);
bar.OnScroll = Scrolled;
UiRefreshNow(); UiDispatch();
// The thumb dragged to the right.
UiPress(w, 30, 18); UiDispatch();
UiMoveMouse(w, 60, 18); UiDispatch();
UiMoveMouse(keep, 5, 5); UiDispatch();
Print(Math.Count(58), bar);
UiAdvance(500); UiDispatch();
v = New Window(Window.VSCROLL, 200, 100, 0, 0);
own = v.GetVerticalScrollBar();
own.OnScroll = OwnScrolled;
UiSend(v, 0x115, 5 + 30 * 65536, 0);
Print(Math.Count(58), own);

//== a Window's own bars lie along its edges and outlive collection; deleted, they go quietly
// expect: end
// expect output: 1 0 1 16
// expect output: 0 1 1 16
// expect output: 0 1
// expect output: scroll 1
// expect output: 1
// expect output: 113 114 114
codes = "";
Function Caught(code, text, unit, line, column) { codes = codes + " " + code; }
Function Scrolled(source, pos, code) { Print("scroll", pos); }
Program.OnError = Caught;
w = New Window(Window.VSCROLL, Window.HSCROLL, 200, 100, 0, 0);
down = w.GetVerticalScrollBar();
across = w.GetHorizontalScrollBar();
Print(down.GetX() + down.GetWidth() == w.GetWidth(), down.GetY(), down.GetHeight() == w.GetHeight(), down.GetWidth());
Print(across.GetX(), across.GetY() + across.GetHeight() == w.GetHeight(), across.GetWidth() == w.GetWidth(), across.GetHeight());
// Counted from the bar's own corner.
Print(down.GetXWindow(w.GetXScreen(w.GetWidth() - 16)), across.GetYWindow(w.GetYScreen(w.GetHeight() - 15)));
down = 0;
across = 0;
CollectNow();
bar = w.GetVerticalScrollBar();
bar.OnScroll = Scrolled;
UiSend(w, 0x115, 1, 0);
Delete bar;
UiSend(w, 0x115, 1, 0);
Print(w.IsVisible());
plain = New Window(100, 100, 300, 0);
plain.GetHorizontalScrollBar();
plain.GetVerticalScrollBar();
w.GetVerticalScrollBar();
Print(codes.SubString(1));

//== a HIDDEN Window with its own scroll bar stays hidden
// expect: end
// expect output: 0 1
w = New Window(Window.HIDDEN, Window.VSCROLL, 200, 100, 0, 0);
UiRefreshNow(); UiDispatch();
hidden = w.IsVisible();
w.Show();
UiRefreshNow(); UiDispatch();
Print(hidden, w.IsVisible());

//== Slider ticks run from the minimum to the maximum along the channel
// expect: end
// expect output: 3 0 5 10 10
// expect output: 7 100 193
// expect output: scroll 20 8
w = New Window(300, 200, 0, 0);
Function Scrolled(source, pos, code) { Print("scroll", pos, code); }
thumb = New Slider(Slider.AUTOTICKS, 10, 10, 200, 30);
thumb.SetRange(10, 0);
thumb.SetTickFrequency(5);
last = thumb.GetNumTicks() - 1;
Print(thumb.GetNumTicks(), thumb.GetTick(0), thumb.GetTick(1), thumb.GetTick(last), thumb.GetTick(99));
Print(thumb.GetTickPos(0), thumb.GetTickPos(1), thumb.GetTickPos(last));
paged = New Slider(10, 60, 200, 30);
paged.OnScroll = Scrolled;
UiRefreshNow(); UiDispatch();
UiClick(w, 150, 75); UiDispatch(); RunPending();

//== Spin: accelerators stay sorted, a non-Edit buddy is refused, arrows tell OnScroll
// expect: end
// expect output: 0 1 2 5
// expect output: 0 1 1 3 2 5
// expect output: 0 -5 5 3
// expect output: spin 4
// expect output: 4
Function Spun(source, pos) { Print("spin", pos); }
Function ShowList(list) {
    text = "";
    For (i = 0; i < Program.GetArrayDimensionSize(list); i++) text = text + " " + list[i];
    Print(text.SubString(1));
}
w = New Window(300, 200, 0, 0);
arrows = New Spin(150, 10, 16, 24);
arrows.RemoveAccel(0, 20);
ShowList(arrows.GetAccel());
arrows.AddAccel(3, 1);
ShowList(arrows.GetAccel());
arrows.SetBuddy(w);
arrows.SetRange(-5, 5);
arrows.SetPos(3);
Print(arrows.GetBuddy(), arrows.GetRangeMin(), arrows.GetRangeMax(), arrows.GetPos());
arrows.OnScroll = Spun;
UiRefreshNow(); UiDispatch();
UiClick(w, 158, 14); UiDispatch(); RunPending();
Print(arrows.GetPos());

//== a Spin's Edit buddy shows its position, and a deleted buddy is forgotten
// expect: end
// expect output: 7
// expect output: 8 1
// expect output: 0 8
w = New Window(300, 200, 0, 0);
copies = New Edit("", 10, 10, 50, 22);
arrows = New Spin(60, 10, 16, 22);
arrows.SetRange(0, 20);
arrows.SetBuddy(copies);
arrows.SetPos(7);
Print(copies.GetText());
UiRefreshNow(); UiDispatch();
UiClick(w, 68, 14); UiDispatch(); RunPending();
Print(copies.GetText(), arrows.GetBuddy() == copies);
Delete copies;
Print(arrows.GetBuddy(), arrows.GetPos());

//== a ScrollBar keeps the system's colours until SetBackColor
// expect: end
// expect output: 16711935 13947080
w = New Window(300, 200, 0, 0);
bar = New ScrollBar(10, 50, 200);
plain = New ScrollBar(10, 80, 200);
bar.SetBackColor(0xFF00FF);
UiRefreshNow(); UiDispatch();
Print(UiPixel(w, 150, 58), UiPixel(w, 150, 88));

//== a Slider's range and selection past 16 bits are kept as given, not wrapped
w = New Window(300, 200, 0, 0);
rate = New Slider();
rate.SetRange(100, 45000);
rate.SetPos(44100);
rate.SetSelection(40000, 70000);
Print(rate.GetRangeMin(), rate.GetRangeMax(), rate.GetPos());
Print(rate.GetSelectionStart(), rate.GetSelectionEnd());
rate.SetRange(-5, 5);
Print(rate.GetRangeMin(), rate.GetRangeMax(), rate.GetPos());
// expect output: 100 45000 44100
// expect output: 40000 70000
// expect output: -5 5 5
// expect: end
