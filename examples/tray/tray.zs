// A tray icon with a tip. A left click on it puts the time on the clipboard, where any
// program can paste it; a right click ends the program, as does closing the window, which
// shows what the clicks did.
main = New Window("Tray icon", 360, 120);
main.WriteLn("A left click on the tray icon copies the time.");
main.WriteLn("A right click on it ends the program.");

picture = New Surface(16, 16, 32);
picture.Clear(0x206020);
picture.SetPenColor(0xFFFFFF);
picture.SetFillColor(0xF0C020);
picture.Ellipse(1, 1, 15, 15);
picture.Line(8, 8, 8, 3);
picture.Line(8, 8, 12, 8);

main.Stretch(picture, 300, 20, 48, 48);

icon = New TrayIcon(main, picture, "Left click: copy the time. Right click: quit.");
board = New Clipboard();

Function TwoDigits(n) {
    If (n < 10) Return "0" + n;
    Return "" + n;
}

Function Pressed(source, x, y, which) {
    If (which == TrayIcon.LEFTBUTTON) {
        now = TwoDigits(System.GetCurrentHour()) + ":" + TwoDigits(System.GetCurrentMinute());
        board.PutData(now);
        main.WriteLn("Copied " + board.GetText() + " to the clipboard.");
    }
    If (which == TrayIcon.RIGHTBUTTON) Program.End();
}
icon.OnMouseDown = Pressed;

// Events run while the script waits; closing the window ends the run.
While (1) Program.Wait(50);
