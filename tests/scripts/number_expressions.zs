//== integer arithmetic wraps around in every operator and step
// expect: end
// expect output: -2147483648 2147483647
// expect output: -2147483648 -2147483648 2147483647 -2 -2147483648 0 2
// expect output: -2147483648 2147483647
n = 65536 * 32768;
m = n - 1;
Print(n, m);
Print(m + 1, n / -1, n - 1, m * 2, n * -1, n % -1, 1 << 33);
a = m;
a++;
b = n;
b--;
Print(a, b);

//== integers and doubles mix as the value operators mix them
// expect: end
// expect output: 1.5 1 1.5 2 0 1 1 0.5
i = 3;
d = 2.0;
Print(i / d, i / 2, i - d + 0.5, 7 % 2.5, i < d, i > d, i == 3.0, i - 2.5);

//== the last step of an expression writes its variable and gives the right value
// expect: end
// expect output: 10 11 11
// expect output: 1.5 2.5 2.5 2.5
// expect output: 12 12.5 11.5 23 5.75 1.75 5
x = 10;
y = x++;
z = x;
Print(y, z, x + 1 - 1);
d = 1.5;
e = d++;
Print(e, d, d--, d + 1);
c = 10;
c += 2;
Print(c, c += 0.5, c -= 1, c *= 2, c /= 4, c %= 4, c = 20 >> 2);

//== a variable that changes kind between runs of the same expression
// expect: end
// expect output: 1
// expect output: s1
// expect output: 3
// expect output: 3.5
// expect output: x
For (k = 0; k < 5; k++) {
    If (k == 1) v = "s";
    Else If (k == 3) v = 2.5;
    Else If (k == 4) v = "x";
    Else v = k;
    w = v + 1;
    If (k == 4) w = v;
    Print(w);
}

//== a name met before it holds a value, then after
// expect: end
// expect output: 2 3 4 5
For (k = 0; k < 4; k++) {
    If (k == 3) Print(t0, t1, t2, t3);
    t0 = k;
    t1 = t0 + 1;
    t2 = t1 + 1;
    t3 = t2 + 1;
}

//== an unassigned name in arithmetic fails where it stands
// expect: error 41 line 4
a = 1;
b = a + 2;
c = b + nowhere;

//== division by zero inside a larger expression fails where it stands
// expect: error 111 line 5 column 21
a = 5;
b = 0;
c = (a + 1) * 2;
d = (a + 1) * (a / b);

//== a compound division by zero fails where it stands
// expect: error 111 line 4
x = 8;
y = 0;
x /= y;

//== the value of a name or an assignment in parentheses still names its variable
// expect: end
// expect output: 1 2
// expect output: 2 3 2
i = 1;
s = (i)++;
Print(s, i);
j = 2;
t = (k = j)++;
Print(k, j, t);

//== logical operators, comparisons and bit operators on numbers
// expect: end
// expect output: 1 0 1 1 0 1
// expect output: 2 7 5 1 0
a = 6;
b = 3;
Print(a && b, a && 0, 0 || b, a >= 6, a <= 5, a != b);
Print(a & b, a | b, a ^ b, a >> 2, !a);

//== doubles in logical and bit operators
// expect: end
// expect output: 1 4 1 0
h = 2.5;
Print(h && 1, 5.7 & 6, !0.0, !h);

//== a long expression gives the same value as its parts
// expect: end
// expect output: 465 465
a = 1;
s = a + 2 + 3 + 4 + 5 + 6 + 7 + 8 + 9 + 10 + 11 + 12 + 13 + 14 + 15 + 16 + 17 + 18 + 19 + 20 + 21 + 22 + 23 + 24 + 25 + 26 + 27 + 28 + 29 + 30;
u = 0;
For (k = 1; k <= 30; k++) u = u + k;
Print(s, u);

//== a local declared over a global of the same name
// expect: end
// expect output: 2 1
g = 1;
Function F() {
    Var g = 2;
    Return g;
}
Print(F(), g);

//== array elements read and written inside expressions
// expect: end
// expect output: 44 33 21 20 11
// expect output: 23 11.5 1
// expect output: x1 3
a[0] = 0;
For (j = 1; j < 5; j++) a[j] = j * 10;
For (j = 0; j < 5; j++) a[j] = a[j] + j;
m[0, 0] = 0;
For (i = 0; i < 3; i++) For (j = 0; j < 2; j++) m[i, j] = i * 10 + j;
Print(a[4], a[1] + a[2], m[2, 1], m[1, 0] * 2, a[a[0] + 1]);
a[7] = a[2] + 1;
a[1] += 0.5;
a[0]++;
Print(a[7], a[1], a[0]);
s[0] = "x";
s[1] = 2;
Print(s[0] + 1, s[1] + 1);

//== an element in parentheses stays writable while a call drops its array
// expect: end
// expect output: 5 0
Function Drop() {
    a = 0;
    q = "s" + "t";
    Return 5;
}
a[0] = 1;
a[1] = 2;
z[0] = "q";
z[1] = "r";
x = 0 + ((a[1]) = Drop());
Print(x, a);

//== an element of a variable that holds no array
// expect: error 41 line 3
b = 5;
Print(b[0] + 1);

//== members of script objects inside expressions
// expect: end
// expect output: 8 2.5 20
// expect output: t1 3
Function Point(x, y) {
    This.x = x;
    This.y = y;
}
p = New Point(1, 2);
For (i = 0; i < 3; i++) p.x = p.x + p.y;
p.y += 0.5;
p.x++;
Print(p.x, p.y, p.x * p.y);
p.x = "t";
g = p;
Print(p.x + 1, g.y + 0.5);

//== a member in parentheses is gone with its object when a call deletes it
// expect: error 32 line 10
Function Point(x) {
    This.x = x;
}
Function Kill() {
    Delete p;
    Return 5;
}
p = New Point(1);
x = 0 + ((p.x) = Kill());
