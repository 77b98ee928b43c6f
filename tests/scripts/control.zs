//== While runs while its condition holds and not at all when it is false
// expect: end
// expect output: 3 0
n = 0;
While (n < 3) n++;
m = 0;
While (0) { m = 1; }
Print(n, m);

//== For without a condition repeats until Break
// expect: end
// expect output: 5
For (i = 0; ; i++) {
    If (i == 5) Break;
}
Print(i);

//== Continue in For runs the step, then the condition
// expect: end
// expect output: 1 3 5 7 9
line = "";
For (i = 0; i < 10; i++) {
    If (i % 2 == 0) Continue;
    line = line + i + " ";
}
Print(line - " 9 " + " 9");

//== Break leaves nested plain blocks and the loop, and their names go with them
// expect: end
// expect output: 3 done
count = 0;
While (1) {
    {
        count++;
        {
            inner = 1;
            If (count == 3) Break;
        }
    }
}
Print(count, "done");

//== names of a loop body end with the loop
// expect: error 41
For (i = 0; i < 2; i++) { body = i; }
x = body;

//== If and Else chains
// expect: end
// expect output: neg zero pos
Function Sign(v) {
    If (v < 0) Return "neg";
    Else If (v == 0) Return "zero";
    Else Return "pos";
}
Print(Sign(-3), Sign(0), Sign(3));

//== If without Else goes on after the controlled statement
// expect: end
// expect output: after
If (0) Print("no");
Print("after");

//== Switch matches texts and doubles and falls through without Break
// expect: end
// expect output: two three
// expect output: half
// expect output: other
Function Name(v) {
    Switch (v) {
        Case "one":
            Print("one");
            Break;
        Case "two":
            Print("two three");
        Case "three":
            Break;
        Case 0.5:
            Print("half");
            Break;
        Default:
            Print("other");
    }
}
Name("two");
Name(0.5);
Name(7);

//== Default may stand anywhere and is taken only when no Case matches
// expect: end
// expect output: default then one
// expect output: one
// expect output: one
// expect output: none
Function Pick(v) {
    Switch (v) {
        Default:
            Print("default then one");
        Case 1:
            Print("one");
            Break;
        Case 2:
            Print("two");
    }
}
Pick(5);
Pick(1);
Switch (3) {
    Case 1:
        Print("1");
}
Print("none");

//== Break inside a Switch inside a loop leaves the Switch only
// expect: end
// expect output: 3
n = 0;
For (i = 0; i < 3; i++) {
    Switch (i) {
        Case 1:
            Break;
    }
    n++;
}
Print(n);

//== Continue inside a Switch is an error
// expect: error 26
For (i = 0; i < 3; i++) {
    Switch (i) {
        Case 1:
            Continue;
    }
}

//== Break outside a loop
// expect: error 25 line 2
Break;

//== Break in a function called from a loop
// expect: error 25 line 2
Function Leave() { Break; }
While (1) Leave();

//== Continue outside a loop
// expect: error 26
{ Continue; }

//== Return outside a function
// expect: error 43 line 3
x = 1;
Return x;

//== Return in a top-level block
// expect: error 43
If (1) { Return; }

//== a function without Return returns 0, and Return without a value too
// expect: end
// expect output: 0 0
Function Nothing() { x = 1; }
Function Early() { Return; }
Print(Nothing(), Early());

//== Return leaves loops and blocks of the function
// expect: end
// expect output: 4 after
Function Find() {
    For (i = 0; i < 10; i++) {
        { If (i == 4) Return i; }
    }
    Return -1;
}
Print(Find(), "after");
