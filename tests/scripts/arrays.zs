//== the first element shapes an array; only stored elements exist
// expect: end
// expect output: 1 7
a[2, 3] = 1;
a[0, 0] = 7;
Print(a[2, 3], a[0, 0]);

//== an element never stored cannot be read
// expect: error 41 line 3
a[2, 3] = 1;
x = a[1, 1];

//== arrays grow to take an element beyond their bounds and keep the others
// expect: end
// expect output: 1 2 3
v[0] = 1;
v[5] = 3;
v[2] = 2;
Print(v[0], v[2], v[5]);

//== an array is shared by assignment
// expect: end
// expect output: 9
a[0] = 1;
b = a;
b[0] = 9;
Print(a[0]);

//== another number of indices than the dimensions
// expect: error 66 subcode 2
a[1, 1] = 1;
a[1] = 2;

//== a negative index names its dimension
// expect: error 45 subcode 2
a[1, 1] = 1;
a[0, -1] = 2;

//== a negative first index
// expect: error 45 subcode 1
a[-1] = 2;

//== an array is no number
// expect: error 130 line 3
a[0] = 1;
b = a + 1;

//== elements hold every kind of value, arrays too
// expect: end
// expect output: x 2.5 5
inner[0] = 5;
mixed[0] = "x";
mixed[1] = 2.5;
mixed[2] = inner;
copy = mixed[2];
Print(mixed[0], mixed[1], copy[0]);

//== members can be arrays
// expect: end
// expect output: 3 4
Function Box() { This.items[1] = 3; }
b = New Box();
b.items[2] = 4;
Print(b.items[1], b.items[2]);

//== the index list is read once an unassigned array is made
// expect: end
// expect output: 1 5
i = 0;
Function Next() { i++; Return i; }
fresh[Next()] = 5;
Print(i, fresh[1]);
