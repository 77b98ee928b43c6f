// A RichEdit showing an RTF document of the project's binary bank, a picture among its text.
// Selected text drags to another place (Ctrl copies). The Format menu makes
// the selection bold, italic, red or green; File > Save as RTF writes the text to
// richtext.rtf in the current folder. A click on a link shows it in the caption. Closing
// the window, or File > Quit, ends the program.
main = New Window("Rich text", 460, 300);
pad = New RichEdit(RichEdit.AUTOURLDETECT, RichEdit.MULTILEVELUNDO, RichEdit.VSCROLL, 0, 0, 460, 300);
pad.LoadRTF("welcome");

bar = New Menu(main);
fileMenu = New Menu();
save = fileMenu.InsertItem("&Save as RTF");
fileMenu.InsertItemSeparator();
quit = fileMenu.InsertItem("&Quit");
formatMenu = New Menu();
bold = formatMenu.InsertItem("&Bold");
italic = formatMenu.InsertItem("&Italic");
red = formatMenu.InsertItem("&Red");
green = formatMenu.InsertItem("&Green");
formatMenu.InsertItemSeparator();
undo = formatMenu.InsertItem("&Undo");
bar.InsertItem(fileMenu, "&File");
bar.InsertItem(formatMenu, "F&ormat");

Function Chosen(source, index, id) {
    If (id == bold) pad.SetCharBold(1 - pad.IsCharBold());
    If (id == italic) pad.SetCharItalic(1 - pad.IsCharItalic());
    If (id == red) pad.SetCharColor(0xBE1E1E);
    If (id == green) pad.SetCharColor(0x00783C);
    If (id == undo) pad.Undo();
    If (id == save) {
        If (pad.SaveRTF("richtext.rtf")) main.SetText("Rich text - saved richtext.rtf");
        Else main.SetText("Rich text - richtext.rtf could not be written");
    }
    If (id == quit) Program.End();
}
bar.OnSelectItem = Chosen;

Function Linked(source, shown, first, last) {
    main.SetText("Rich text - link " + shown);
}
pad.OnLink = Linked;

Function Resized(source, width, height) {
    pad.SetSize(width, height);
}
main.OnSize = Resized;

pad.SetFocus();
While (1) Program.Wait(50);
