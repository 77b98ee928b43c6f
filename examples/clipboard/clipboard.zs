// Sharing pictures and texts with other programs through the clipboard. The left half of
// the window holds a small picture. C copies it, T copies a text; V pastes what the
// clipboard holds into the right half: a picture (from this player or copied in another
// program, such as an image viewer) or a text. Closing the window ends the program.
main = New Window("Clipboard", 400, 220);
clip = New Clipboard();

picture = New Surface(120, 120, 32);
picture.Clear(0x204080);
picture.SetFillColor(0xE0C040);
picture.Ellipse(20, 20, 100, 100);
picture.SetFillColor(0x40A060);
picture.Rectangle(0, 90, 120, 120);

Function Say(note) {
    main.SetFillColor(0xF0F0F0);
    main.SetPenSize(0);
    main.Rectangle(0, 180, 400, 220);
    main.SetPenSize(1);
    main.SetPenColor(0);
    main.DrawText(note, 10, 190, 380, 20);
}

Function Paste() {
    main.SetFillColor(0xFFFFFF);
    main.SetPenColor(0x808080);
    main.Rectangle(200, 20, 380, 170);
    If (clip.HasImage()) {
        pasted = clip.GetImage();
        If (Program.IsObject(pasted)) {
            main.Stretch(pasted, 210, 30, 160, 130);
            Say("Pasted a picture of " + pasted.GetPixelWidth() + " x " + pasted.GetPixelHeight() + ".");
            Return;
        }
    }
    If (clip.HasText()) {
        main.SetPenColor(0);
        main.DrawText(clip.GetText(), 210, 30, 160, 130, 1);
        Say("Pasted a text.");
        Return;
    }
    Say("The clipboard holds nothing to paste.");
}

Function Pressed(source, code, flags, text) {
    If (code == 67) {
        clip.PutData(picture);
        Say("The picture is on the clipboard.");
    }
    If (code == 84) {
        clip.PutData("Hello from the player");
        Say("A text is on the clipboard.");
    }
    If (code == 86) Paste();
}

main.Clear(0xF0F0F0);
main.Copy(picture, 40, 30);
main.SetFillColor(0xFFFFFF);
main.SetPenColor(0x808080);
main.Rectangle(200, 20, 380, 170);
Say("C: copy the picture   T: copy a text   V: paste");
main.OnKeyDown = Pressed;

While (1) Program.Wait(50);
