// A form of controls in a dialog window. OK shows what the form holds in a message box;
// closing the window ends the program. Tab and Shift+Tab walk the controls that take input,
// in the order they are made.
main = New Window("Order form", Window.DIALOG, 360, 300);

nameLabel = New StaticText("Name:", 10, 14, 70, 18);
name = New Edit("", Edit.TABSTOP, 90, 10, 160, 22);
copiesLabel = New StaticText("Copies:", 10, 44, 70, 18);
copies = New Edit("1", Edit.TABSTOP, 90, 40, 50, 22);
arrows = New Spin(140, 40, 16, 22);
arrows.SetRange(1, 99);
arrows.SetBuddy(copies);
arrows.SetPos(1);
gift = New CheckBox("Gift wrap", CheckBox.TABSTOP, 180, 42, 100, 20);

sizes = New GroupBox("Size", 10, 74, 140, 94);
small = New RadioButton("Small", RadioButton.TABSTOP, 20, 94, 100, 20);
medium = New RadioButton("Medium", RadioButton.TABSTOP, 20, 116, 100, 20);
large = New RadioButton("Large", RadioButton.TABSTOP, 20, 138, 100, 20);
medium.SetCheck();

colours = New ListBox(ListBox.TABSTOP, 160, 78, 90, 90);
colours.AddItem("Red");
colours.AddItem("Green");
colours.AddItem("Blue");
colours.AddItem("Yellow");
colours.SelectItem(0);

delivery = New ComboBox(ComboBox.DROPDOWNLIST, ComboBox.TABSTOP, 260, 78, 90, 100);
delivery.AddItem("Post");
delivery.AddItem("Courier");
delivery.AddItem("Collect");
delivery.SelectItem(0);

speedLabel = New StaticText("Urgency:", 10, 184, 70, 18);
urgency = New Slider(Slider.AUTOTICKS, Slider.TABSTOP, 90, 178, 200, 30);
urgency.SetRange(0, 10);
progress = New ProgressBar(ProgressBar.SMOOTH, 90, 214, 200, 16);
progress.SetRange(0, 10);

ok = New Button("OK", Button.TABSTOP, 140, 250, 80, 26);
box = New MessageBox(main);

// Labels, boxes and buttons take the window's colour rather than the white of fields.
face = main.GetBackColor();
nameLabel.SetBackColor(face);
copiesLabel.SetBackColor(face);
speedLabel.SetBackColor(face);
gift.SetBackColor(face);
sizes.SetBackColor(face);
small.SetBackColor(face);
medium.SetBackColor(face);
large.SetBackColor(face);

Function Moved(source, place, code) {
    progress.SetPos(place);
}
urgency.OnScroll = Moved;

Function SizeName() {
    If (small.IsChecked()) Return "small";
    If (large.IsChecked()) Return "large";
    Return "medium";
}

Function Clicked(source) {
    text = name.GetText() + ", " + copies.GetText() + " " + SizeName() + " ";
    text = text + colours.GetTextAt(colours.GetSelectedItem());
    If (gift.IsChecked()) text = text + ", gift wrapped";
    text = text + ", by " + delivery.GetTextAt(delivery.GetSelectedItem());
    text = text + ", urgency " + urgency.GetPos();
    box.OkBox(text, "Order");
}
ok.OnClick = Clicked;

While (1) Program.Wait(50);
