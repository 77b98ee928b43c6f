// A window with a menu bar (File: Hello, Quit; Help: About), a popup menu on the right
// mouse button, and message boxes answering the items. The window takes the chosen Font.
// Closing the window, or File > Quit, ends the program.
face = New Font("Times New Roman", 18, Font.BOLD);
main = New Window("Menus and message boxes", 400, 260);
main.SetFont(face);

bar = New Menu(main);
fileMenu = New Menu();
hello = fileMenu.InsertItem("&Hello");
fileMenu.InsertItemSeparator();
quit = fileMenu.InsertItem("&Quit");
helpMenu = New Menu();
about = helpMenu.InsertItem("&About");
bar.InsertItem(fileMenu, "&File");
bar.InsertItem(helpMenu, "&Help");

// The same choices on the right mouse button.
popup = New Menu();
popupHello = popup.InsertItem("Hello");
popupAbout = popup.InsertItem("About");

box = New MessageBox(main);
box.SetIcon(MessageBox.ICONINFORMATION);

Function Chosen(source, index, id) {
    If (id == hello || id == popupHello) box.OkBox("Hello from the menu.", "Hello");
    If (id == about || id == popupAbout)
        box.OkBox("A window with menus, drawn in " + face.GetFaceName() + ".", "About");
    If (id == quit) {
        If (box.YesNoBox("Quit now?", "Quit", MessageBox.ICONQUESTION) == MessageBox.IDYES)
            Program.End();
    }
}
bar.OnSelectItem = Chosen;
popup.OnSelectItem = Chosen;

Function Pressed(source, x, y, which) {
    If (which == Window.RIGHTBUTTON) popup.OpenPopupMenu();
}
main.OnMouseDown = Pressed;

While (1) Program.Wait(50);
