//== the event whose handler runs counts in the queue's limit
// expect: error 61 line 7
// expect output: 10000
Function Nothing() { }
Function Flood() {
    For (i = 0; i < 10000; i++) Post(Nothing);
    Print(QueuedEvents());
    Post(Nothing);
}
Post(Flood);
x = 0;
