//== points of three components by default, added, read and overwritten
// expect: end
// expect output: 2 1 2 3 4 5 6
// expect output: 3 7 8 9
// expect output: 3 -1.5 0.25 9
p = New PointArray(3, 1, 2, 3, 4, 5, 6);
Print(p.GetNPoints(), p.GetCoord(0, 0), p.GetCoord(0, 1), p.GetCoord(0, 2), p.GetCoord(1, 0), p.GetCoord(1, 1), p.GetCoord(1, 2));
p.AddPoint(7, 8, 9);
Print(p.GetNPoints(), p.GetCoord(2, 0), p.GetCoord(2, 1), p.GetCoord(2, 2));
p.SetPoint(2, -1.5, 0.25, 9);
Print(p.GetNPoints(), p.GetCoord(2, 0), p.GetCoord(2, 1), p.GetCoord(2, 2));

//== inserting, deleting and appending through SetPoint
// expect: end
// expect output: 4 10 1 20 2
// expect output: 3 10 20 2
// expect output: 5 10 20 2 30 40
// expect output: 0
// expect output: 1 5
q = New PointArray(1);
q.AddPoint(1, 2);
q.InsertPoint(0, 10);
q.InsertPoint(2, 20);
Print(q.GetNPoints(), q.GetCoord(0, 0), q.GetCoord(1, 0), q.GetCoord(2, 0), q.GetCoord(3, 0));
q.DeletePoint(1);
Print(q.GetNPoints(), q.GetCoord(0, 0), q.GetCoord(1, 0), q.GetCoord(2, 0));
q.SetPoint(3, 30, 40);
Print(q.GetNPoints(), q.GetCoord(0, 0), q.GetCoord(1, 0), q.GetCoord(2, 0), q.GetCoord(3, 0), q.GetCoord(4, 0));
q.DeletePoint();
Print(q.GetNPoints());
q.AddPoint(5);
Print(q.GetNPoints(), q.GetCoord(0, 0));

//== two components, inserted at the end
// expect: end
// expect output: 3 1 2 3 4 5 6
r = New PointArray(2, 1, 2);
r.InsertPoint(1, 3, 4, 5, 6);
Print(r.GetNPoints(), r.GetCoord(0, 0), r.GetCoord(0, 1), r.GetCoord(1, 0), r.GetCoord(1, 1), r.GetCoord(2, 0), r.GetCoord(2, 1));

//== a dimension below 1
p = New PointArray(0);
// expect: error 115

//== values that do not make whole points
p = New PointArray(3, 1, 2);
// expect: error 56

//== SetPoint past the end
p = New PointArray(2, 1, 2);
p.SetPoint(2, 3, 4);
// expect: error 115

//== InsertPoint without values
p = New PointArray(2, 1, 2);
p.InsertPoint(0);
// expect: error 56

//== DeletePoint on an empty array
p = New PointArray();
p.DeletePoint(0);
// expect: error 115

//== a component out of range
p = New PointArray(2, 1, 2);
Print(p.GetCoord(0, 2));
// expect: error 115

//== a value given as the missing value
Function Missing(a, b) { p = New PointArray(2); p.AddPoint(a, b); }
Missing(1);
// expect: error 19

//== a missing value changes nothing, even in the middle of an insertion
// expect: end
// expect output: caught 19
// expect output: caught 19
// expect output: 2 1 2
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Program.OnError = Caught;
Function Insert(p, a, b) { p.InsertPoint(0, a, b); }
Function Set(p, a, b) { p.SetPoint(0, a, b); }
p = New PointArray(1, 1, 2);
Insert(p, 5);
Set(p, 7);
Print(p.GetNPoints(), p.GetCoord(0, 0), p.GetCoord(1, 0));
