//== the argument reader: nothing, numbers, a Vector, an array
// expect: end
// expect output: 0 0 0 | 1 2 0 | 1 2 0
// expect output: 4 0 6 | 1.5 -2 3
a = New Vector();
b = New Vector(1, 2);
c = New Vector(b);
list[0] = 4;
list[2] = 6;
d = New Vector(list);
e = New Vector(1.5, -2, 3);
Print(a.GetX(), a.GetY(), a.GetZ(), "|", b.GetX(), b.GetY(), b.GetZ(), "|", c.GetX(), c.GetY(),
      c.GetZ());
Print(d.GetX(), d.GetY(), d.GetZ(), "|", e.GetX(), e.GetY(), e.GetZ());

//== a text is no number
// expect: error 14 line 2
v = New Vector(1, "2", 3);

//== an array element that is no number
// expect: error 14 line 4
v = New Vector();
list[0] = New Vector();
v.Set(list);

//== sums, differences, products, scaling and negation
// expect: end
// expect output: 5 7 9
// expect output: 4 5 6
// expect output: 4 10 18
// expect output: 8 20 36
// expect output: 8 20 36
// expect output: -8 -20 -36
// expect output: 0 0 0
v = New Vector(1, 2, 3);
w = New Vector(4, 5, 6);
v.AddVector(w);
Print(v.GetX(), v.GetY(), v.GetZ());
v.SubVector(1, 2, 3);
Print(v.GetX(), v.GetY(), v.GetZ());
v.MulVector(1, 2, 3);
Print(v.GetX(), v.GetY(), v.GetZ());
v.Scale(2);
Print(v.GetX(), v.GetY(), v.GetZ());
v.Scale();
Print(v.GetX(), v.GetY(), v.GetZ());
v.Negate();
Print(v.GetX(), v.GetY(), v.GetZ());
v.Reset();
Print(v.GetX(), v.GetY(), v.GetZ());

//== lengths, distances and products
// expect: end
// expect output: 5 1 0 5 11 0 0.6 0
// expect output: 0 0 1
// expect output: 6 8 0
// expect output: 0 0 0
// expect output: 0 0 0
// expect output: 0.6 0.8 0
v = New Vector(3, 4, 0);
Print(v.GetLength(), v.IsEqual(3, 4, 0), v.IsEqual(3, 4, 1), v.Distance(0, 0, 0), v.DotProduct(1, 2, 0),
      v.DotProductUniformized(0, 0, 0), v.DotProductUniformized(1, 0, 0), v.DotProduct(0, 0, 7));
x = New Vector(1, 0, 0);
x.CrossProduct(0, 1, 0);
Print(x.GetX(), x.GetY(), x.GetZ());
u = New Vector(v);
u.Rescale(10);
Print(u.GetX(), u.GetY(), u.GetZ());
z = New Vector();
z.Rescale(10);
Print(z.GetX(), z.GetY(), z.GetZ());
z.Normalize();
Print(z.GetX(), z.GetY(), z.GetZ());
v.Normalize();
Print(v.GetX(), v.GetY(), v.GetZ());

//== Average, Lerp and Combine
// expect: end
// expect output: 2 3 4
// expect output: 3 4.5 6
// expect output: 8 11 14
v = New Vector(1, 2, 3);
v.Average(3, 4, 5);
Print(v.GetX(), v.GetY(), v.GetZ());
v.Lerp(0.5, 4, 6, 8);
Print(v.GetX(), v.GetY(), v.GetZ());
w = New Vector(1, 1, 1);
v.Combine(2, 2, w);
Print(v.GetX(), v.GetY(), v.GetZ());

//== Lerp needs its factor
// expect: error 14 line 3
v = New Vector(1, 2, 3);
v.Lerp();

//== Combine refuses a text factor
// expect: error 14 line 3
v = New Vector(1, 2, 3);
v.Combine("2", 1, v);

//== SetX, SetY and SetZ need a number
// expect: end
// expect output: 7 8.5 -1
v = New Vector();
v.SetX(7);
v.SetY(8.5);
v.SetZ(-1);
Print(v.GetX(), v.GetY(), v.GetZ());

//== SetY without a value
// expect: error 14 line 3
v = New Vector();
v.SetY();

//== SetZ with an object
// expect: error 14 line 3
v = New Vector();
v.SetZ(v);

//== a Vector of three numbers is turned by a Matrix but not moved
// expect: end
// expect output: 1 2 3
// expect output: 2 4 6
// expect output: 0 1 0
m = New Matrix();
m.MakeTranslationMatrix(10, 20, 30);
v = New Vector(1, 2, 3);
v.MulVectorMatrix(m);
Print(v.GetX(), v.GetY(), v.GetZ());
m.MakeScaleMatrix(2, 2, 2);
v.MulVectorMatrix(m);
Print(v.GetX(), v.GetY(), v.GetZ());
m.MakeRotationMatrix(0, 0, 1.5707963267948966);
n = New Vector(1, 0, 0);
n.MulNormalMatrix(m);
Print(Math.Round(n.GetX()), Math.Round(n.GetY()), Math.Round(n.GetZ()));
