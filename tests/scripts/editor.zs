//== the Editor is there and answers nothing
Function Picked(id) { Print("menu", id); }
Print("[" + Editor.GetFileName() + "]", Editor.ED_CLOSE, Editor.ED_HELP, Editor.ED_SELECTALL);
x = 5;
// It returns nothing: x takes the empty result.
x = Editor.IsModified();
Editor.SetModified(1);
Editor.SetDocumentTitle("t");
Editor.EnableMainMenuItem(Editor.ED_SAVE);
Editor.OnMainMenu = Picked;
Editor.OnActivate = Picked;
RunPending();
Print(x);
// expect output: [] 0 15 11
// expect output: 0
// expect: end
