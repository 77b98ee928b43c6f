//== InsertItem takes its index and text in either order
w = New Window(200, 150, 0, 0);
l = New ListBox(10, 10, 100, 100);
c = New ComboBox(ComboBox.DROPDOWNLIST, 10, 10, 100, 100);
For (i = 0; i < 4; i++) { l.AddItem("i" + i); c.AddItem("i" + i); }
Print(l.InsertItem("x", 2), l.InsertItem(1, "y"), l.InsertItem("z"), l.InsertItem(3));
Print(c.InsertItem("x", 2), c.InsertItem(1, "y"), c.InsertItem("z"), c.AddItem());
Print(l.GetTextAt(0), l.GetTextAt(1), l.GetTextAt(3), l.GetTextAt(6), l.GetItemCount());
Print(c.GetTextAt(1), c.GetTextAt(3), c.GetTextAt(6), c.GetItemCount());
Print("[" + l.GetTextAt() + "]", "[" + l.GetTextAt(40) + "]", "[" + c.GetTextAt() + "]");
Print(l.FindString("i"), l.FindStringExact(3, "i3"), c.FindString("z"), l.GetTextLength(1));
// expect output: 2 1 6 -1
// expect output: 2 1 6 -1
// expect output: i0 y x z 7
// expect output: y x z 7
// expect output: [] [] []
// expect output: 0 5 6 1
// expect: end

//== SelectItem on single and multiple selection boxes
Function Changed(l) { Print("changed", l.GetSelectedItem()); }
w = New Window(200, 150, 0, 0);
one = New ListBox(10, 10, 100, 100);
many = New ListBox(ListBox.MULTIPLESEL, 110, 10, 80, 100);
For (i = 0; i < 6; i++) { one.AddItem("i" + i); many.AddItem("i" + i); }
one.OnSelChanged = Changed;
many.OnSelChanged = Changed;
one.SelectItem(3);
many.SelectItem(3);
RunPending();
Print(one.GetSelectedCount(), one.IsItemSelected(3), one.IsItemSelected(2), one.IsItemSelected());
Print(many.GetSelectedCount(), many.IsItemSelected(3));
many.SelectItem(3, 0);
Print(many.GetSelectedCount(), many.IsItemSelected(3));
many.SelectRange(5, 2);
a = many.GetSelectedItems();
Print(a[0], a[1], a[3], many.IsItemSelected(1), many.GetSelectedCount());
// expect output: changed 3
// expect output: 1 1 0 0
// expect output: 1 1
// expect output: 0 0
// expect output: 2 3 5 0 4
// expect: end

//== a single-selection box gives an empty array of selected items
w = New Window(200, 150, 0, 0);
one = New ListBox(10, 10, 100, 100);
one.AddItem("a");
one.SelectItem(0);
a = one.GetSelectedItems();
x = a[0];
// expect: error 41 line 6

//== item geometry, points below the last item and tab stops
w = New Window(200, 150, 0, 0);
l = New ListBox(ListBox.USETABSTOPS, ListBox.NOINTEGRALHEIGHT, 10, 10, 100, 120);
l.AddItem("a"); l.AddItem("b");
h = l.GetItemHeight();
Print(l.GetItemRectTop(1) == h, l.GetItemRectHeight(1) == h, l.GetItemAtXY(5, h + 2));
Print(l.GetItemAtXY(5, 3 * h + 2), l.GetItemAtXY(5, 200));
UiSpyMessages(l);
l.SetTabStops(32);
l.SetTabStops();
l.SelectRange(5, 2);
l.SetItemHeight();
Print(UiMessages());
// expect output: 1 1 1
// expect output: -1 -1
// expect output: 192 1 16; 192 0; 19B 1 327682; 1A0 0 10
// expect: end

//== colours and focus of a ListBox reach its handlers
Function Focus(l) { Print("focus"); }
Function Lost(l) { Print("lost"); }
w = New Window(200, 150, 0, 0);
l = New ListBox(10, 10, 100, 100);
e = New Edit(120, 10, 60, 20);
l.OnSetFocus = Focus;
l.OnKillFocus = Lost;
l.SetFocus();
RunPending();
e.SetFocus();
RunPending();
// expect output: focus
// expect output: lost
// expect: end

//== a ComboBox's one-message methods and their defaults
w = New Window(200, 150, 0, 0);
c = New ComboBox(10, 10, 100, 100);
c.AddItem("a"); c.AddItem("b");
UiSpyMessages(c);
c.SelectItem(); c.SelectItem(1); c.SetEditTextLimit(); c.SetEditTextLimit(4); c.DeleteItem();
c.SetEditHeight(); c.SetItemHeight(); c.SetDroppedWidth(); c.SetHorizontalExtent(); c.SetItemData(1, 7);
Print(UiMessages());
Print(c.GetSelectedItem(), c.GetItemData(1), c.GetTextLengthAt(1), c.IsDroppedDown());
// expect output: 14E 1 0; 141 4 0; 153 -1 15; 153 0 10; 160 10 0; 15E 10 0; 151 1 7
// expect output: 1 7 1 0
// expect: end

//== created and deleted ComboBoxes and ListBoxes leave the handler chain as it was
w = New Window(200, 150, 0, 0);
n = UiHandlerCount(w);
For (i = 0; i < 1000; i++) { c = New ComboBox(10, 10, 50, 50); Delete c; }
For (i = 0; i < 10; i++) { l = New ListBox(10, 10, 50, 50); Delete l; }
Print(UiHandlerCount(w) - n);
c = New ComboBox(10, 10, 50, 50);
Print(UiHandlerCount(w) - n);
// expect output: 0
// expect output: 1
// expect: end
