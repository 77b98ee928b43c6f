//== a raw socket speaks the protocol to a server: a zero byte cuts a text, codes are signed, names change
// expect: end
// expect output: 0 0 0 [ ]
// expect output: carl connected 1
// expect output: server hears carl: [ab] -1
// expect output: ann sees carl become dave in room
// expect output: 3 3
Function HostOn(q) {
    For (port = 42100; port < 44000; port = port + 2) {
        s = q.HostServer(port);
        If (s.GetServerIP() != "") Return s;
        s.Disconnect();
    }
    Return 0;
}
server = 0; ann = 0; bob = 0; a = 0; b = 0; annOnServer = 0; bobOnServer = 0; room = 0;
Function Setup(serverQel, playerQel) {
    server = HostOn(serverQel);
    ann = playerQel.Connect("127.0.0.1", server.GetPort(), "ann");
    For (i = 0; i < 3000 && (server.GetConnectionCount() < 1 || ann.IsConnected() == 0); i++) Program.Wait(2);
    bob = playerQel.Connect("127.0.0.1", server.GetPort(), "bob");
    For (i = 0; i < 3000 && (server.GetConnectionCount() < 2 || bob.IsConnected() == 0); i++) Program.Wait(2);
    a = ann.SignOn("room");
    For (i = 0; i < 3000 && a.GetId() == 0; i++) Program.Wait(2);
    b = bob.SignOn("room");
    For (i = 0; i < 3000 && (a.GetUserCount() < 2 || b.GetUserCount() < 2); i++) Program.Wait(2);
    annOnServer = server.GetConnection(0);
    bobOnServer = server.GetConnection(1);
    room = server.GetSession(0);
}
Function Until(count) { For (w = 0; w < 3000 && heard < count; w++) Program.Wait(2); }
Function FromClient(c, text, code) { Print("server hears", c.GetName() + ":", "[" + text + "]", code); heard++; }
Function NewConnection(s, c) { If (c.GetName() == "carl") { carl = c; c.OnMsgFromClient = FromClient; heard++; } }
Function NameChanged(p, u, old, c) { Print(p.GetName(), "sees", old, "become", u.GetName(), "in", c.GetName()); heard++; }
Function Message(size, text) {
    m = New Binary();
    m.AllocateData(size + 1);
    m.SetByteOrdering(Binary.BIG_ENDIAN);
    m.SetString(size - text.Length(), text);
    Return m;
}
heard = 0; carl = 0;
q = New Qel();
Print(q.Connect("", 4000, "x"), q.Connect("127.0.0.1"), q.HostServer(), "[" + (q.Connect("127.0.0.1", 1, "x")).GetMOTD() + "]");
Setup(q, q);
server.OnNewConnection = NewConnection;
ann.OnNameChanged = NameChanged;
raw = New QelSocket();
raw.SetTimeOut(3000);
raw.Connect("127.0.0.1", server.GetPort());
signOn = Message(11, "carl"); signOn.SetByte(0, 12); signOn.SetWord(1, 3); signOn.SetLong(3, 4); signOn.ReSizeData(11);
raw.Send(signOn);
Until(1);
Print(carl.GetName(), "connected", raw.IsConnected());
join = Message(9, "room"); join.SetByte(0, 4); join.SetLong(1, 4); join.ReSizeData(9);
raw.Send(join);
For (i = 0; i < 3000 && a.GetUserCount() < 3; i++) Program.Wait(2);
text = Message(12, "cd"); text.SetByte(0, 2); text.SetWord(1, 65535); text.SetLong(3, 5); text.SetString(7, "ab"); text.ReSizeData(12);
raw.Send(text);
Until(2);
name = Message(9, "dave"); name.SetByte(0, 11); name.SetLong(1, 4); name.ReSizeData(9);
raw.Send(name);
Until(3);
Print(a.GetUserCount(), b.GetUserCount());
