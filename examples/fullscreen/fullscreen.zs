// A picture drawn in a window of 320 x 240 that goes full screen at 640 x 480 with the F key
// and back with F again. Where the screen has no such mode, the window covers the desktop
// and the picture is scaled into it, its shape kept. The window writes each change of the
// screen it hears of. Closing the window ends the program.
main = New Window("Full screen", 320, 240);
full = 0;

Function Draw(width, height, note) {
    main.Clear(0x203050);
    main.SetPenColor(0xFFFFFF);
    main.SetFillColor(0xE0A040);
    main.Ellipse(width / 2 - 60, height / 2 - 60, width / 2 + 60, height / 2 + 60);
    main.SetFillColor(0x40A060);
    main.Rectangle(0, height - 40, width, height);
    main.MoveTo(10, 10);
    main.Write("<FONT COLOR=#FFFFFF>" + note + "</FONT>");
    main.MoveTo(10, 30);
    main.Write("<FONT COLOR=#FFFFFF>F: full screen and back</FONT>");
}

Function Pressed(source, code, flags, text) {
    If (code != 70) Return;
    If (full) main.SetWindowedMode();
    Else main.SetFullScreenMode(640, 480, 32);
    full = !full;
}

Function Changed(source, bits, width, height) {
    Draw(main.GetWidth(), main.GetHeight(), "The screen is " + width + " x " + height + ".");
}

main.OnKeyDown = Pressed;
main.OnDisplayChange = Changed;
Draw(320, 240, "A window of 320 x 240.");

While (1) Program.Wait(50);
