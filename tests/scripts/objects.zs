//== serials count per class and are never reused
// expect: end
// expect output: 1 2 1 3
a = New Voice();
b = New Voice();
s = New Blob();
Delete b;
c = New Voice();
Print(Math.Serial(a), Math.Serial(New Voice()) - 2, s.Id(), Math.Serial(c));

//== deleting an object turns every holder into 0
// expect: end
// expect output: 0 0 0 1
a = New Voice();
b = a;
list[3] = a;
Delete a;
Print(a, b, list[3], a == 0);

//== deleting a Surface deletes the Sprites placed on it
// expect: end
// expect output: 2 2
// expect output: 0 0 0 1 1
// (class names are keywords whatever their case: no variable can be called "surface")
used = New Surface();
user = New Sprite(used);
alias = user;
kept = New Surface();
other = New Sprite(kept);
Print(Math.Count(1), Math.Count(9));
Delete used;
Print(used, user, alias, Math.Count(1), Math.Count(9));

//== Delete of a number
// expect: error 18 line 2
Delete 5;

//== Delete of a variable whose object was deleted
// expect: error 18 line 4
a = New Voice();
Delete a;
Delete a;

//== Delete of the interpreter
// expect: error 133
Delete This;

//== New of a singleton class
// expect: error 65
m = New Math();

//== a creation that fails
// expect: error 38
s = New Voice(-1);

//== a singleton's method that does not exist
// The Editor singleton is made at start; it has no Open.
// expect: error 11
Editor.Open();

//== CurWindow without a window
// expect: error 31
CurWindow.Show();

//== script classes: members from the constructor, methods, and New values
// expect: end
// expect output: 3 4 7 1
Function Point(x, y) { This.x = x; This.y = y; This.Sum = Sum; }
Function Sum() { Return This.x + This.y; }
p = New Point(3, 4);
q = New Point(1, 1);
Print(p.x, p.y, p.Sum(), q.x);

//== a member never assigned
// expect: error 41
Function Empty() { This.a = 1; }
e = New Empty();
x = e.b;

//== members hold objects and chains reach through them
// expect: end
// expect output: 5 9
Function Node(v) { This.v = v; }
a = New Node(5);
a.next = New Node(9);
Print(a.v, a.next.v);

//== garbage is collected after more than 1000 creations, keeping what is held
// expect: end
// expect output: 1000
// expect output: 5
// expect output: 1
// The collection runs inside a handler, so that the event posted meanwhile waits.
held = New Voice();
kept[2] = New Voice();
Function Waiting(s) { Print(Math.Serial(s) > 0); }
Function Run() {
    Post(Waiting, New Voice());
    Inner();
}
Function Inner() {
    local = New Voice();
    For (i = 0; i < 996; i++) t = New Voice();
    Print(Math.Count(53));
    t = New Voice();
    For (i = 0; i < 12; i++) x = i;
    Print(Math.Count(53));
}
Post(Run);
x = 0;
