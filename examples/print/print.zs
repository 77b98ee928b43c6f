// Chooses a text file with the open dialog and a printer with the print dialog, then prints
// the file's text: word-wrapped, on as many pages as it needs. With the "PDF" printer the
// save dialog asks where the PDF goes. Cancelling any dialog prints nothing.
chooser = New Selector();
If (chooser.OpenFileDialog("A text to print", "Texts|*.txt|All files|*.*|", 1, , , ,
                           Selector.FILEMUSTEXIST)) {
    source = New File(chooser.GetOneFile(), File.READONLY);
    text = "";
    While (source.GetPosition() < source.GetLength())
        text = text + source.ReadLn() + "\n";
    source.Close();
    If (chooser.PrintDialog(1, 1, 1, 1, 1, Selector.NOSELECTION, Selector.NOPAGENUMS)) {
        paper = New Printer();
        // The document opened on the chosen printer takes the pages Print makes.
        paper.InitDocument(chooser, "Printed text");
        If (paper.GetPrinterWidth() > 0) {
            paper.Print("Printed text", text);
            paper.SendDocument();
        }
    }
}
