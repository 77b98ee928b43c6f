//== a new Quaternion is zero; SetValue() and Reset give zero again; a missing component is kept
Function Show(q) { Return q.GetW() + " " + q.GetX() + " " + q.GetY() + " " + q.GetZ(); }
q = New Quaternion();
a = Show(q);
q.SetValue(1, 2, 3, 4);
b = Show(q);
q.SetW();
q.SetW(9);
c = Show(q);
q.SetValue();
d = Show(q);
q.SetValue(1, 2, 3, 4);
q.Reset();
e = Show(q);
q.SetIdentity();
Print(a, "|", b, "|", c, "|", d, "|", e, "|", Show(q));
// expect: end
// expect output: 0 0 0 0 | 1 2 3 4 | 9 2 3 4 | 0 0 0 0 | 0 0 0 0 | 1 0 0 0

//== products: the Hamilton product, the receiver on the left, itself as the argument
Function Show(q) { Return q.GetW() + " " + q.GetX() + " " + q.GetY() + " " + q.GetZ(); }
i = New Quaternion();
i.SetValue(0, 1, 0, 0);
j = New Quaternion();
j.SetValue(0, 0, 1, 0);
k = New Quaternion(i);
k.SetValue(i);
k.Multiply(j);
m = New Quaternion();
m.SetValue(j);
m.Multiply(i);
n = New Quaternion();
n.SetValue(i);
n.Multiply(n);
d = New Quaternion();
d.SetValue(k);
d.Divide(k);
Print(Show(k), "|", Show(m), "|", Show(n), "|", Show(d));
// expect: end
// expect output: 0 0 0 1 | 0 0 0 -1 | -1 0 0 0 | 1 0 0 0

//== Slerp: half way is half the turn; a spin of 1 adds a half turn to the path
// Rounded to 4 places, away from 0 at halves on both sides.
Function R(x) {
    If (x < 0) Return -Math.Round(-x * 10000);
    Return Math.Round(x * 10000);
}
p = New Quaternion();
p.SetIdentity();
q = New Quaternion();
q.SetFromAngle(1.5707963267949, 0, 0, 1);
a = New Quaternion();
a.SetValue(p);
a.Slerp(q, 0, 0.5);
b = New Quaternion();
b.SetValue(p);
b.Slerp(q, 1, 0.5);
// The far side of the sphere: the shorter way is taken.
c = New Quaternion();
c.SetValue(p);
q.Negate();
c.Slerp(q, 0, 1);
Print(R(a.GetW()), R(a.GetX()), R(a.GetZ()), R(a.GetAngleAngle()), "|", R(b.GetW()), R(b.GetX()),
      R(b.GetZ()), R(b.GetAngleAngle()), "|", R(c.GetW()), R(c.GetZ()));
// expect: end
// expect output: 9239 0 3827 7854 | -3827 0 9239 39270 | 7071 7071

//== MakeMatrix gives a new Matrix each time, holding the rotation; the inverse undoes it
// Rounded to 4 places, away from 0 at halves on both sides.
Function R(x) {
    If (x < 0) Return -Math.Round(-x * 10000);
    Return Math.Round(x * 10000);
}
q = New Quaternion();
q.SetFromAngle(1.5707963267949, 0, 0, 1);
m = q.MakeMatrix();
n = q.MakeMatrix();
v = q.MakeInvertedMatrix();
n.MulMatrix(v);
back = New Quaternion();
back.SetValue(m);
Print(R(m.GetValue(0, 0)), R(m.GetValue(0, 1)), R(m.GetValue(1, 0)), R(m.GetValue(1, 1)), "|",
      m == n, "|", R(n.GetValue(0, 0)), R(n.GetValue(0, 1)), R(n.GetValue(1, 0)),
      R(n.GetValue(1, 1)));
Print(R(back.GetAngleAngle() / 2), R(back.GetAngleX()), R(back.GetAngleY()), R(back.GetAngleZ()));
// expect: end
// expect output: 0 10000 -10000 0 | 0 | 10000 0 0 10000
// expect output: 7854 0 0 10000

//== lengths, dot products and scaling
q = New Quaternion();
q.SetValue(1, 2, 3, 4);
r = New Quaternion();
r.SetValue(2, 4, 6, 8);
s = New Quaternion();
s.SetValue(3, 0, 4, 0);
t = New Quaternion();
t.SetValue(q);
t.Rescale(2);
z = New Quaternion();
z.Scale(3);
q.Negate();
Print(s.GetLength(), s.DotProduct(s), Math.Round(q.DotProductUniformized(r)), "|", Math.Round(t.GetLength()), "|", z.GetW(), z.GetX(), z.GetY(), z.GetZ(), "|", q.GetW(),
      q.GetX(), q.GetY(), q.GetZ());
// expect: end
// expect output: 5 25 -1 | 2 | 0 0 0 0 | -1 -2 -3 -4

//== SetValue with three numbers
q = New Quaternion();
q.SetValue(1, 2, 3);
// expect: error 21 line 2

//== SetValue with a number that is a text
q = New Quaternion();
q.SetValue(1, 2, "3", 4);
// expect: error 14 line 2

//== SetFromAngle takes exactly four numbers
q = New Quaternion();
q.SetFromAngle(1, 0, 0);
// expect: error 21 line 2

//== Multiply takes a Quaternion, not a number
q = New Quaternion();
q.Multiply(2);
// expect: error 14 line 2

//== Slerp needs its spin and its fraction
q = New Quaternion();
p = New Quaternion();
q.Slerp(p, 0);
// expect: error 14 line 3

//== Scale needs its factor
q = New Quaternion();
q.Scale();
// expect: error 14 line 2
