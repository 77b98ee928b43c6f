//== operators of one code group from the left and a higher code binds more tightly
// expect: end
// expect output: 3 48 18 22 0 50
// expect output: 1 0 0 0
a = 24; b = 4; c = 2;
Print(a / b * c, a * b / c, a - b - c, a - b + c, a * b % c, a << 1 + 2);
a = 6; b = 3; c = 2;
x = 0; y = 0; z = 1;
Print(a & b == c, x && y || z, z || x && y, 2 == 3 != 3);

//== assignment is an operator of the lowest code: a = b = c is (a = b) = c
// expect: end
// expect output: 2 3 3
a = 1; b = 2; c = 3;
a = b = c;
Print(a, b, c);

//== both sides of && and || and both branches of ?: are evaluated
// expect: end
// expect output: 0 2 1 4
// expect output: b 8
calls = 0;
Function Side(v) { calls++; Return v; }
r = Side(0) && Side(1);
Print(r, calls, Side(1) || Side(0), calls);
x = 1 ? Side("a") : Side("b");
y = 0 ? Side("a") : Side("b");
Print(y, calls);

//== the conditional groups to the right and takes what its condition picks
// expect: end
// expect output: a c b
Function Pick(c1, c2) { Return c1 ? "a" : c2 ? "b" : "c"; }
Print(Pick(1, 1), Pick(0, 0), Pick(0, 1));

//== postfix operators yield the old value and the operand after them is dropped
// expect: end
// expect output: 5 6
// expect output: 6 7
// expect output: 7 6
i = 5;
Print(i++, i);
j = i++ + 100;
Print(j, i);
k = i--;
Print(k, i);

//== prefix operators
// expect: end
// expect output: -5 -5 3 0 1 -8 4
n = 3;
Print(-5, - 5, +n, !n, !0, ~7, -(-4));

//== compound assignment on variables, members and array elements
// expect: end
// expect output: 15
// expect output: 12
// expect output: 3
// expect output: 1
// expect output: 24
// expect output: 0
// expect output: 12
// expect output: 2
// expect output: 1
// expect output: 5 8 ab
// expect output: 30 10
v = 10; v += 5; Print(v);
v -= 3; Print(v);
v /= 4; Print(v);
v %= 2; Print(v);
v = 3; v *= 8; Print(v);
v &= 6; Print(v);
v |= 12; Print(v);
v ^= 14; Print(v);
v = 1; v <<= 3; v >>= 3; Print(v);
Function Holder() { This.count = 2; }
h = New Holder();
h.count += 3;
arr[0] = 4; arr[0] *= 2;
s = "a"; s += "b";
Print(h.count, arr[0], s);
m[1, 1] = 10; m[1, 1] += 20;
Print(m[1, 1], (h.count = 10));

//== compound assignment returns the new value
// expect: end
// expect output: 7 7
q = 4;
Print(q += 3, q);

//== compound assignment on a literal
// expect: error 41 line 3
q = 4;
Print(3 += 1);

//== compound assignment on a call result
// expect: error 41
Function One() { Return 1; }
x = (One() += 1);

//== increment of a literal
// expect: error 41
Print(3++);

//== assignment to something that is no variable
// expect: error 16 line 3
x = 1;
(x + 1) = 5;

//== a prefix increment before a name is a syntax error
// expect: error 16
i = 1;
x = ++i;

//== numbers, texts and conversions
// expect: end
// expect output: a1 1a 3.5 3 3.5 -1 1 1 1
// expect output: hell wrld 1 4
Print("a" + 1, 1 + "a", 1 + 2.5, 7 / 2, 7.0 / 2, -7 % 3, 1 == 1.0, "1" == 1, "10" < 9);
Print("hello world" - "o", TRUE, 5.7 & 6);

//== division by zero
// expect: error 111 line 4 column 10
a = 5;
b = 0;
c = a / b;
