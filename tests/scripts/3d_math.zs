//== Sin, Cos and Tan give exact results at the special angles
// expect: end
// expect output: 1 1 -1 0 0 0 1 -1
// expect output: 0 1 0 0 1
pi = Math.Pi();
Print(Math.Sin(pi) == 0, Math.Cos(1.5707963267948966) == 0, Math.Cos(pi), Math.Tan(pi),
      Math.Sin(6.283185307179586), Math.Cos(4.71238898038469), Math.Sin(1.5707963267948966),
      Math.Sin(4.71238898038469));
// Within a millionth of 0 the value at 0; a whole turn is reduced first.
Print(Math.Sin(0.0000005), Math.Cos(-0.0000005), Math.Tan(0.0000009), Math.Sin(-6.283185307179586),
      Math.Cos(12.566370614359172));

//== a negative angle is shifted a little short of a turn, then compared like any other
// expect: end
// expect output: -1.58647e-12 1.58641e-12 1
Print(Math.Cos(-1.5707963267948966), Math.Sin(-3.141592653589793), Math.Cos(-3.141592653589793) < -0.999999);

//== Round rounds halves up, so negative values go towards zero
// expect: end
// expect output: 3 -2 -2 2 1 0 -3
Print(Math.Round(2.5), Math.Round(-2.5), Math.Round(-2.7), Math.Round(2.4), Math.Round(0.5),
      Math.Round(-0.5), Math.Round(-3.2));

//== doubles beyond the integers, and NaN, give the smallest integer
// expect: end
// expect output: -2147483648 -2147483648 -2147483648 -2147483648 2147483647
nan = Math.Sqrt(-1);
Print(Math.Round(nan), Math.Round(1e30), Math.Round(-1e30), Math.Round(2147483647.5),
      Math.Round(2147483646.5));

//== Abs keeps integers integers, even the smallest one, and reads texts as numbers
// expect: end
// expect output: 5 2 -2147483648 -1073741824 2.5 3.5 1e+10
// expect output: 1 1 a
smallest = 1 << 31;
Print(Math.Abs(-5), Math.Abs(-5) / 2, Math.Abs(smallest), Math.Abs(smallest) / 2, Math.Abs(-2.5),
      Math.Abs("-3.5"), Math.Abs());
v = New Vector();
a[0] = "a";
w = Math.Abs(v);
b = Math.Abs(a);
Print(w == v, Math.Abs(2.0) / 4 == 0.5, b[0]);

//== Max and Min return the argument as given: a tie gives Max the second, Min the first
// expect: end
// expect output: 1.5 1 7 -1 b 2
Print(Math.Max(3, 3.0) / 2, Math.Min(3, 3.0) / 2, Math.Max(7, 2.5), Math.Min(-1, 0.5),
      Math.Max("a", "b"), Math.Min("10", 2));

//== Max needs two numbers or texts
// expect: error 14 line 2
Math.Max(1);

//== Min refuses an object
// expect: error 14 line 3
v = New Vector();
Math.Min(v, 1);

//== Asin clamps its argument, Acos does not
// expect: end
// expect output: 1.5708 -1.5708 1 1 0
Print(Math.Asin(2), Math.Asin(-7), Math.IsNotAFloatNumber(Math.Acos(2)),
      Math.IsNotAFloatNumber(Math.Sqrt(-1)), Math.IsFloatFinite(Math.Log(0)));

//== the other functions
// expect: end
// expect output: 2.35619 3 -3 8 1 3.14159 180 0.785398 2.71828 0 3
Print(Math.Atan2(1, -1), Math.Ceil(2.1), Math.Floor(-2.1), Math.Pow(2, 3), Math.IsFloatFinite(1),
      Math.GetRadian(180), Math.GetDegree(Math.Pi()), Math.Atan(1), Math.Exp(1), Math.Log(1),
      Math.Sqrt(9));

//== Atan2 needs both arguments
// expect: error 14 line 2
Math.Atan2(1);

//== Pow needs both arguments
// expect: error 14 line 2
x = Math.Pow(2);

//== GetRadian needs its argument
// expect: error 14 line 2
x = Math.GetRadian();

//== a seed repeats its sequence, bit for bit
// expect: end
// expect output: 2147396145 1011015067 1496598900 238693124 526425656
// expect output: 1288962759 513692177 753146099 658855235 1734477959
// expect output: 2147396145 1011015067
// expect output: 5 2 4 0 1 1 3 3 2 5 -5 -5 -5 -4 -3
n = 2147483647;
Math.SetRandom(12345);
Print(Math.Random(n), Math.Random(n), Math.Random(n), Math.Random(n), Math.Random(n));
Math.SetRandom(-1);
Print(Math.Random(n), Math.Random(n), Math.Random(n), Math.Random(n), Math.Random(n));
Math.SetRandom(12345);
Print(Math.Random(n), Math.Random(n));
Math.SetRandom(12345);
Print(Math.Random(6), Math.Random(6), Math.Random(6), Math.Random(6), Math.Random(6),
      Math.Random(6), Math.Random(6), Math.Random(6), Math.Random(6), Math.Random(6),
      Math.Random(-6), Math.Random(-6), Math.Random(-6), Math.Random(-6), Math.Random(-6));

//== seed 0 makes the generator constant
// expect: end
// expect output: 2147483619 2147483619 2147483619 999999987 1
Math.SetRandom(0);
Print(Math.Random(2147483647), Math.Random(2147483647), Math.Random(2147483647),
      Math.Random(1000000000), Math.Random() > 0.99999998);

//== Random without an argument lies between 0 and 1; a hostile range is safe
// expect: end
// expect output: 1 -2147483620 -2147483620 0
Math.SetRandom(7);
ok = 1;
For (i = 0; i < 1000; i++) {
    r = Math.Random();
    If (r <= 0 || r >= 1) ok = 0;
}
Math.SetRandom(0);
Print(ok, Math.Random(Math.Sqrt(-1)), Math.Random(1e30), Math.Random(0));
