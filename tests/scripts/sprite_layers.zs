//== layers order the list; moves stay within a layer
s = New Surface(100, 100, 32);
img = New Surface(4, 4, 32);
a = New Sprite(s, 0, 0, img); a.SetPrivateData("a");
b = New Sprite(s, 0, 0, img); b.SetPrivateData("b");
c = New Sprite(s, 0, 0, img); c.SetPrivateData("c");
Function Order() {
    text = "";
    for (t = s.GetFirstSprite(); t != 0; t = s.GetNextSprite(t)) text = text + t.GetPrivateData();
    back = "";
    for (t = s.GetLastSprite(); t != 0; t = s.GetPrevSprite(t)) back = back + t.GetPrivateData();
    Return text + " " + back;
}
Print(Order());
a.SetLayer(1);
Print(Order(), a.GetLayer());
c.MoveToBack();
Print(Order());
b.MoveForward();
Print(Order());
c.MoveAfter(b);
Print(Order());
a.MoveBefore(b);
Print(Order());
b.SetLayer(1);
b.MoveBackward();
Print(Order());
b.MoveToFront();
Print(Order());
Delete b;
Print(Order());
// expect output: abc cba
// expect output: bca acb 1
// expect output: cba abc
// expect output: cba abc
// expect output: bca acb
// expect output: bca acb
// expect output: cba abc
// expect output: cab bac
// expect output: ca ac
// expect: end

//== ScrollSprites moves a layer or all
s = New Surface(100, 100, 32);
img = New Surface(4, 4, 32);
a = New Sprite(s, 10, 10, img);
b = New Sprite(s, 20, 20, img);
b.SetLayer(2);
s.ScrollSprites(5, -5, 2);
Print(a.GetX(), a.GetY(), b.GetX(), b.GetY());
s.ScrollSprites(1, 1);
Print(a.GetX(), a.GetY(), b.GetX(), b.GetY());
// expect output: 10 10 25 15
// expect output: 11 11 26 16
// expect: end

//== manual sprite handling is refused while auto-back is on
s = New Surface(10, 10, 32);
s.UpdateSprites();
// expect: error 36 line 2
