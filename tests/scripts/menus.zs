//== item ids count from 9001 across menus; items are named by position or by id
// expect: end
// expect output: 9001 9002 9003 9004 9005
// expect output: New|Open|Recent|Save
// expect output: 1 1 0 1
a = New Menu();
b = New Menu();
open = a.InsertItem("Open");
close = b.InsertItem("Close");
save = a.InsertItem("Save");
fresh = a.InsertItem("New", 0);
recent = a.InsertItem("Recent", save);
Print(open, close, save, fresh, recent);
Print(a.GetItemString(0) + "|" + a.GetItemString(open) + "|" + a.GetItemString(2) + "|" + a.GetItemString(3));
a.CheckItem(save);
a.CheckItem(0);
Print(a.IsChecked(3), a.IsChecked(fresh), a.IsChecked(1), a.IsChecked(9004));

//== CheckRadioItem checks one item of a range, by positions or by ids, and nothing else
// expect: end
// expect output: 1 0 1 0
// expect output: 1 0 0 1
// expect output: 1 0 0 1
m = New Menu();
i0 = m.InsertItem("a");
i1 = m.InsertItem("b");
i2 = m.InsertItem("c");
i3 = m.InsertItem("d");
m.CheckItem(0);
m.CheckRadioItem(1, 3, 2);
Print(m.IsChecked(0), m.IsChecked(1), m.IsChecked(2), m.IsChecked(3));
m.CheckRadioItem(i1, i3, i3);
Print(m.IsChecked(i0), m.IsChecked(i1), m.IsChecked(i2), m.IsChecked(i3));
// Mixed kinds, -1 or a missing argument change nothing.
m.CheckRadioItem(1, i3, 1);
m.CheckRadioItem(-1, 3, 1);
m.CheckRadioItem(1, 3);
Print(m.IsChecked(0), m.IsChecked(1), m.IsChecked(2), m.IsChecked(3));

//== a submenu taken out keeps its checks and greys, and may be inserted again
// expect: end
// expect output: 1 1 0 1 Three
// expect output: 1 Again 0
// expect output: 0
w = New Window("Detach", 200, 100, 10, 10);
bar = New Menu(w);
sub = New Menu();
one = sub.InsertItem("One");
two = sub.InsertItem("Two");
sub.InsertItemSeparator();
three = sub.InsertItem("Three");
sub.CheckItem(two);
sub.DisableItem(three);
bar.InsertItem(sub, "Sub");
// An id reaches the item in the submenu, its record included.
bar.CheckItem(one);
// A position past the end marks nothing.
sub.CheckItem(99);
bar.DeleteItem(0);
Print(sub.IsChecked(one), sub.IsChecked(two), sub.IsEnabled(three), sub.IsEnabled(0), sub.GetItemString(3));
again = bar.InsertItem(sub, "Again");
Print(again, bar.GetItemString(0), sub.IsChecked(three));
bar.DeleteItem(0);
Print(sub.IsChecked(three));

//== a choice on the menu bar reaches the nearest menu with a handler
// expect: end
// expect output: 1 0 1
// expect output: inner 1 2 1
w = New Window("Clicks", 300, 200, 40, 40);
bar = New Menu(w);
fileMenu = New Menu();
alpha = fileMenu.InsertItem("Alpha");
fileMenu.InsertItemSeparator();
gamma = fileMenu.InsertItem("Gamma");
bar.InsertItem(fileMenu, "File");
Function Outer(source, index, id) {
    Print(source == fileMenu, index, id == alpha);
}
Function Inner(source, index, id) {
    Print("inner", source == fileMenu, index, id == gamma);
}
bar.OnSelectItem = Outer;
UiClick(w, 12, -9);
UiClick(w, 24, 12);
UiDispatch();
RunPending();
fileMenu.OnSelectItem = Inner;
UiClick(w, 12, -9);
UiClick(w, 24, 40);
UiDispatch();
RunPending();

//== item ids wrap round after 65535, skipping the ids still in use
// expect: end
// expect output: 9001 65535 9002 9003
m = New Menu();
kept = m.InsertItem("kept");
last = 0;
For (i = 0; i < 56534; i++) {
    last = m.InsertItem("passing");
    m.DeleteItem(1);
}
Print(kept, last, m.InsertItem("after"), m.InsertItem("next"));

//== the argument errors of menus
// expect: end
// expect output: 21 21 132 131 132 14 14
codes = "";
Function Caught(code, text, unit, line, column) {
    codes = codes + " " + code;
}
Program.OnError = Caught;
a = New Menu();
b = New Menu();
c = New Menu();
a.InsertItem();
a.InsertItem(7);
a.InsertItem(a, "itself");
a.InsertItem(b, "b");
c.InsertItem(b, "b again");
b.InsertItem(a, "its holder");
a.OpenPopupMenu(1.5, 2);
a.OpenPopupMenu(1, 2, "top");
Print(codes.SubString(1));

//== a menu bar belongs to its Window and goes with it; one it replaced stays as a popup
// expect: end
// expect output: 3 1
// expect output: 1 1 0 0
// expect output: 0 0
given = New Menu(Menu.WINDOWMENU);
sub = New Menu();
sub.InsertItem("x");
given.InsertItem(sub, "File");
w = New Window("Given", 200, 100, 10, 10, given);
replaced = New Menu();
v = New Window("Replaced", 200, 100, 300, 10);
first = New Menu(v);
first.InsertItem("kept");
second = New Menu(v);
Print(Math.Count(36) - 2, first.GetItemString(0) == "kept");
Delete v;
Print(Program.IsObject(first), Program.IsObject(replaced), Program.IsObject(second), Math.Count(36) - 4);
Delete w;
Print(Program.IsObject(given), Program.IsObject(sub));
