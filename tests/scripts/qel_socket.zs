//== two raw sockets of one script: events, values sent as bytes, received as Binary objects and lines
// expect: end
// expect output: accepted
// expect output: client connected 1
// expect output: 4 1 0 0 0
// expect output: 3 97 98 0
// expect output: 2 7 9
// expect output: [abc] [part]
// expect output: received
// Without flag 1 the Binary keeps the size asked for.
// expect output: 16 6 20
// expect output: error 21
// expect output: error 21
// expect output: error 14
// expect output: error 14
// expect output: error 14
// expect output: 127.0.0.1 127.0.0.1
// expect output: client lost 0
Function FreePort() {
    q = New Qel();
    For (port = 44100; port < 45000; port = port + 2) {
        s = q.HostServer(port);
        If (s.GetServerIP() != "") { s.Disconnect(); Return port; }
        s.Disconnect();
    }
    Return 0;
}
Function OnePending(l) { If (accepted == 0) { accepted = l.Accept(); Print("accepted"); } }
Function Connected(c) { Print("client connected", c.IsConnected()); }
Function Received(s) { If (receivedOnce == 0) Print("received"); receivedOnce = 1; }
Function Lost(c) { Print("client lost", c.IsConnected()); gone = 1; }
Function Caught(code, text, unit, line, column) { Print("error", code); }
Function Bytes(b) {
    t = b.GetDataSize();
    For (i = 0; i < b.GetDataSize(); i++) t = t + " " + b.GetByte(i);
    Return t;
}
accepted = 0; receivedOnce = 0; gone = 0;
port = FreePort();
listener = New QelSocket();
listener.Listen(port);
listener.OnAccepted = OnePending;
client = New QelSocket();
client.SetMode();
client.OnConnected = Connected;
client.Connect("127.0.0.1", port);
For (i = 0; i < 3000 && (accepted == 0 || client.IsConnected() == 0); i++) Program.Wait(2);
// Blocking sends go out at once; queued ones would wait for a poll that the blocking
// receives below hold back.
client.SetMode(1);
client.Send(1);
client.Send("ab");
b = New Binary(); b.AllocateData(2); b.SetByte(0, 7); b.SetByte(1, 9);
client.Send(b);
accepted.SetTimeOut(3000);
Print(Bytes(accepted.Recv(4, 1)));
Print(Bytes(accepted.Recv(3, 1)));
Print(Bytes(accepted.Recv(16, 1)));
crlf = New Binary(); crlf.AllocateData(7);
crlf.SetByte(0, 13); crlf.SetByte(1, 10); crlf.SetString(2, "abc"); crlf.SetByte(5, 13); crlf.SetByte(6, 10);
client.Send(crlf);
client.Send("part");
accepted.SetTimeOut(100);
line = accepted.RecvLine();
Print("[" + line + "]", "[" + accepted.RecvLine() + "]");
accepted.OnReceived = Received;
client.SendLine("x");
For (i = 0; i < 3000 && receivedOnce == 0; i++) Program.Wait(2);
whole = accepted.Recv(16);
stats = accepted.GetStats();
Print(whole.GetDataSize(), stats.GetInPacketCount(), stats.GetInBytes());
Program.OnError = Caught;
client.Send();
client.Send(1, 2);
client.Send(New Qel());
accepted.Recv(4, 2);
accepted.Recv(-1);
client.OnDisconnected = Lost;
Print(client.GetRemoteIP(), client.GetLocalIP());
accepted.Disconnect();
For (i = 0; i < 3000 && gone == 0; i++) Program.Wait(2);
