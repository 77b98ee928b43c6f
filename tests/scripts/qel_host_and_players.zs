//== a script hosts a server and two players of the same Qel object sign on and talk
// expect: end
// expect output: connected ann 1
// expect output: connected bob 1
// expect output: server saw ann
// expect output: server saw bob
// expect output: ann joined room
// expect output: bob joined room
// expect output: bob hears ann: hello 7
// expect output: users 2 2
Function HostOn(q) {
    For (port = 42100; port < 42900; port = port + 2) {
        s = q.HostServer(port);
        If (s.GetServerIP() != "") Return s;
        s.Disconnect();
    }
    Return 0;
}
Function Connected(p) { Print("connected", p.GetName(), p.IsConnected()); }
Function NewConnection(s, c) { Print("server saw", c.GetName()); }
Function SignedOn(p, c) { Print(p.GetName(), "joined", c.GetName()); signed++; }
Function Message(p, u, text, code) { Print(p.GetName(), "hears", u.GetName() + ":", text, code); heard++; }
Function WaitFor(name, count) {
    For (i = 0; i < 2000; i++) {
        If (name == "connected" && connected >= count) Return 1;
        Program.Wait(2);
    }
    Return 0;
}
q = New Qel();
server = HostOn(q);
server.OnNewConnection = NewConnection;
ann = q.Connect("127.0.0.1", server.GetPort(), "ann");
ann.OnConnected = Connected;
For (i = 0; i < 2000 && ann.IsConnected() == 0; i++) Program.Wait(2);
bob = q.Connect("127.0.0.1", server.GetPort(), "bob");
bob.OnConnected = Connected;
For (i = 0; i < 2000 && bob.IsConnected() == 0; i++) Program.Wait(2);
Program.Wait(20);
signed = 0;
ann.OnSignedOn = SignedOn;
bob.OnSignedOn = SignedOn;
a = ann.SignOn("room");
For (i = 0; i < 2000 && signed < 1; i++) Program.Wait(2);
b = bob.SignOn("room");
For (i = 0; i < 2000 && signed < 2; i++) Program.Wait(2);
heard = 0;
bob.OnMessage = Message;
a.SendText("hello", 7);
For (i = 0; i < 2000 && heard < 1; i++) Program.Wait(2);
Print("users", a.GetUserCount(), b.GetUserCount());
