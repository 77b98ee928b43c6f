// Adds up the factorials of 1 to 5 (the total is 153) and ends: reaching the end of the
// first module ends the program normally.
Function Fact(n) {
    If (n <= 1) Return 1;
    Return n * Fact(n - 1);
}

total = 0;
For (i = 1; i <= 5; i++) total = total + Fact(i);
