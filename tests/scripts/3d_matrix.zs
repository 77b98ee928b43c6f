//== a new Matrix is all zeros, not the identity
// expect: end
// expect output: 0 0 0
// expect output: 1 0 1 0
m = New Matrix();
Print(m.GetValue(0, 0), m.GetValue(1, 1), m.GetValue(2, 3));
m.SetIdentity();
Print(m.GetValue(0, 0), m.GetValue(0, 1), m.GetValue(2, 2), m.GetValue(2, 3));

//== a translation times a scale maps (1, 1, 1) to (3, 2, 2)
// expect: end
// expect output: 3 2 2
Function Apply(m, x, y, z, row) {
    Return m.GetValue(row, 0) * x + m.GetValue(row, 1) * y + m.GetValue(row, 2) * z + m.GetValue(row, 3);
}
m = New Matrix();
m.MakeTranslationMatrix(1, 0, 0);
s = New Matrix();
s.MakeScaleMatrix(2, 2, 2);
m.MulMatrix(s);
Print(Apply(m, 1, 1, 1, 0), Apply(m, 1, 1, 1, 1), Apply(m, 1, 1, 1, 2));

//== the reader: twelve numbers fill the columns, three at a time
// expect: end
// expect output: 1 2 3 | 4 5 6 | 10 11 12
// expect output: 7 0
m = New Matrix(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12);
Print(m.GetValue(0, 0), m.GetValue(1, 0), m.GetValue(2, 0), "|", m.GetValue(0, 1), m.GetValue(1, 1),
      m.GetValue(2, 1), "|", m.GetValue(0, 3), m.GetValue(1, 3), m.GetValue(2, 3));
m.Set(1, 2, 3, 4, 5, 6, 7);
Print(m.GetValue(0, 2), m.GetValue(0, 3));

//== the reader: four Vectors are the columns, a Matrix is copied, an array gives rows
// expect: end
// expect output: 1 4 7 10 | 3 12
// expect output: 12
// expect output: 5 0 7
a = New Vector(1, 2, 3);
b = New Vector(4, 5, 6);
c = New Vector(7, 8, 9);
d = New Vector(10, 11, 12);
m = New Matrix(a, b, c, d);
Print(m.GetValue(0, 0), m.GetValue(0, 1), m.GetValue(0, 2), m.GetValue(0, 3), "|", m.GetValue(2, 0),
      m.GetValue(2, 3));
n = New Matrix(m);
Print(n.GetValue(2, 3));
rows[2, 3] = 7;
rows[1, 1] = 5;
n.Set(rows);
Print(n.GetValue(1, 1), n.GetValue(0, 0), n.GetValue(2, 3));

//== three Vectors are not a matrix
// expect: error 14 line 5
a = New Vector(1, 2, 3);
b = New Vector(4, 5, 6);
c = New Vector(7, 8, 9);
m = New Matrix(a, b, c);

//== one Vector is not a matrix
// expect: error 14 line 3
m = New Matrix();
m.MulMatrix(New Vector(1, 2, 3));

//== a thirteenth number
// expect: error 14 line 2
m = New Matrix(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13);

//== forms do not mix
// expect: error 14 line 3
m = New Matrix();
n = New Matrix(1, m);

//== a Matrix with more
// expect: error 14 line 3
m = New Matrix();
n = New Matrix(m, 1);

//== an array of other dimensions
// expect: error 14 line 3
rows[3, 2] = 1;
m = New Matrix(rows);

//== a text
// expect: error 14 line 2
m = New Matrix("1");

//== AddMatrix and SubMatrix work element by element
// expect: end
// expect output: 2 4 6
// expect output: 1 2 3
m = New Matrix(1, 2, 3);
n = New Matrix(m);
m.AddMatrix(n);
Print(m.GetValue(0, 0), m.GetValue(1, 0), m.GetValue(2, 0));
m.SubMatrix(1, 2, 3);
Print(m.GetValue(0, 0), m.GetValue(1, 0), m.GetValue(2, 0));

//== Euler angles come back from a rotation, in 0 to 2 pi
// expect: end
// expect output: 0.3 0.5 1.2
// expect output: 5.98319 0.2 5.28319
// expect output: 0.1 0.2 0.3
m = New Matrix();
m.MakeRotationMatrix(0.3, 0.5, 1.2);
Print(m.GetEulerAngleX(), m.GetEulerAngleY(), m.GetEulerAngleZ());
m.MakeRotationMatrix(-0.3, 0.2, -1);
Print(m.GetEulerAngleX(), m.GetEulerAngleY(), m.GetEulerAngleZ());
m.SetIdentity();
m.AddAngle(0.1, 0.2, 0.3);
Print(m.GetEulerAngleX(), m.GetEulerAngleY(), m.GetEulerAngleZ());

//== a rotation times its inverse is the identity; its transpose is its inverse
// expect: end
// expect output: 1 0 0 0 1 0 0 0 1 | 1 1 1
Function Rounded(m, r, c) {
    Return Math.Round(m.GetValue(r, c) * 10000) / 10000.0;
}
r = New Matrix();
r.MakeRotationMatrix(0.7, -0.2, 2.1);
i = New Matrix(r);
i.Invert();
t = New Matrix(r);
t.Transpose();
p = New Matrix(r);
p.MulMatrix(i);
Print(Rounded(p, 0, 0), Rounded(p, 0, 1), Rounded(p, 0, 2), Rounded(p, 1, 0), Rounded(p, 1, 1),
      Rounded(p, 1, 2), Rounded(p, 2, 0), Rounded(p, 2, 1), Rounded(p, 2, 2), "|",
      Rounded(i, 0, 1) == Rounded(t, 0, 1), Rounded(i, 2, 0) == Rounded(t, 2, 0),
      Rounded(i, 1, 2) == Rounded(t, 1, 2));

//== a singular matrix inverts to the identity; Normalize makes unit rows
// expect: end
// expect output: 1 0 1
// expect output: 1 0.6 0.8 5
m = New Matrix();
m.Invert();
Print(m.GetValue(0, 0), m.GetValue(0, 1), m.GetValue(2, 2));
m = New Matrix(2, 0, 0, 0, 3, 0, 0, 4, 1, 0, 0, 5);
m.Normalize();
Print(m.GetValue(0, 0), m.GetValue(1, 1), m.GetValue(1, 2), m.GetValue(2, 3));

//== the pivot of a rotation is kept for later rotations
// expect: end
// expect output: 1 2 3
// expect output: 1 2 3
m = New Matrix();
m.MakeRotationMatrix(0, 0, 0, 1, 2, 3);
Print(m.GetValue(0, 3), m.GetValue(1, 3), m.GetValue(2, 3));
m.MakeRotationMatrix(0.5, 0, 0);
Print(m.GetValue(0, 3), m.GetValue(1, 3), m.GetValue(2, 3));

//== MakeRotationMatrix takes three or six arguments
// expect: error 14 line 3
m = New Matrix();
m.MakeRotationMatrix(1, 2, 3, 4);

//== AddAngle takes three arguments
// expect: error 14 line 3
m = New Matrix();
m.AddAngle(1, 2);

//== SetValue and GetValue
// expect: end
// expect output: 2.5 -1
m = New Matrix();
m.SetValue(2.5, 1, 3);
m.SetValue(-1, 2.9, 0);
Print(m.GetValue(1, 3), m.GetValue(2, 0));

//== SetValue needs its three arguments
// expect: error 19 line 3
m = New Matrix();
m.SetValue(1, 2);

//== GetValue needs its two indices
// expect: error 19 line 3
m = New Matrix();
x = m.GetValue(1);

//== row 3 is not for scripts
// expect: error 88 line 3
m = New Matrix();
x = m.GetValue(3, 0);

//== columns run to 3
// expect: error 88 line 3
m = New Matrix();
m.SetValue(1, 0, 4);

//== a negative index
// expect: error 88 line 3
m = New Matrix();
x = m.GetValue(0, -1);
