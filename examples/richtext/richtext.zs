// A RichEdit showing an RTF document of the project's binary bank. The Format menu makes
// the selection bold, italic, red or green; File > Save as RTF writes the text to
// richtext.rtf in the current folder. A click on a link shows it in the caption. Closing
// the window, or File > Quit, ends the program.
main = New Window("Rich text", 460, 300);
editor = New RichEdit(main, RichEdit.AUTOURLDETECT, RichEdit.MULTILEVELUNDO, RichEdit.VSCROLL,
                      0, 0, 460, 300);
editor.LoadRTF("welcome");

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
    If (id == bold) editor.SetCharBold(1 - editor.IsCharBold());
    If (id == italic) editor.SetCharItalic(1 - editor.IsCharItalic());
    If (id == red) editor.SetCharColor(0xBE1E1E);
    If (id == green) editor.SetCharColor(0x00783C);
    If (id == undo) editor.Undo();
    If (id == save) {
        If (editor.SaveRTF("richtext.rtf")) main.SetText("Rich text - saved richtext.rtf");
        Else main.SetText("Rich text - richtext.rtf could not be written");
    }
    If (id == quit) Program.End();
}
bar.OnSelectItem = Chosen;

Function Linked(source, shown, first, last) {
    main.SetText("Rich text - link " + shown);
}
editor.OnLink = Linked;

Function Resized(source, width, height) {
    editor.SetSize(width, height);
}
main.OnSize = Resized;

editor.SetFocus();
While (1) Program.Wait(50);
