//== one Qel object hosts a server and two players sign on, join a session and talk over TCP
// expect: end
// expect output: ann connected 1 motd [hello all]
// expect output: new connection ann
// expect output: bob connected 1 motd [hello all]
// expect output: new connection bob
// expect output: session created room
// expect output: ann joined session room
// expect output: ann signed on room
// expect output: bob joined session room
// expect output: bob signed on room
// expect output: bob finds ann in room
// expect output: ann sees bob join room
// expect output: room 2 2 1 0 ann ann
// expect output: bob hears ann: to the room 7
// expect output: ann hears bob: just you 8
// expect output: server hears ann: to the server 9
// expect output: ann from server: to everybody 10
// expect output: bob from server: to everybody 10
// expect output: bob from server: to bob 11
// expect output: ann from server: to the session 12
// expect output: bob from server: to the session 12
Function HostOn(q) {
    For (port = 42100; port < 44000; port = port + 2) {
        s = q.HostServer(port);
        If (s.GetServerIP() != "") Return s;
        s.Disconnect();
    }
    Return 0;
}
Function Pump(n) { For (k = 0; k < n; k++) Program.Wait(2); }
Function NewConnection(s, c) { Print("new connection", c.GetName()); seen++; }
Function Connected(p) { Print(p.GetName(), "connected", p.IsConnected(), "motd [" + p.GetMOTD() + "]"); }
Function SessionCreated(s, x) { Print("session created", x.GetName()); }
Function SessionJoined(c, x) { Print(c.GetName(), "joined session", x.GetName()); }
Function SignedOn(p, c) { Print(p.GetName(), "signed on", c.GetName()); signed++; }
Function UserIsOn(c, u) { Print((c.GetPlayer()).GetName(), "finds", u.GetName(), "in", c.GetName()); }
Function UserJoined(c, u) { Print((c.GetPlayer()).GetName(), "sees", u.GetName(), "join", c.GetName()); }
Function Message(p, u, text, code) { Print(p.GetName(), "hears", u.GetName() + ":", text, code); heard++; }
Function FromClient(c, text, code) { Print("server hears", c.GetName() + ":", text, code); heard++; }
Function FromServer(p, text, code) { Print(p.GetName(), "from server:", text, code); heard++; }
Function Until(count) { For (w = 0; w < 3000 && heard < count; w++) Program.Wait(2); }
seen = 0; signed = 0; heard = 0;
q = New Qel();
server = HostOn(q);
server.SetMOTD("hello all");
server.OnNewConnection = NewConnection;
server.OnSessionCreated = SessionCreated;
ann = q.Connect("127.0.0.1", server.GetPort(), "ann");
ann.OnConnected = Connected;
For (i = 0; i < 3000 && (seen < 1 || ann.IsConnected() == 0); i++) Program.Wait(2);
Pump(5);
bob = q.Connect("localhost", server.GetPort(), "bob");
bob.OnConnected = Connected;
For (i = 0; i < 3000 && (seen < 2 || bob.IsConnected() == 0); i++) Program.Wait(2);
Pump(5);
annOnServer = server.GetConnection(0);
bobOnServer = server.GetConnection(1);
annOnServer.OnSessionJoined = SessionJoined;
bobOnServer.OnSessionJoined = SessionJoined;
ann.OnSignedOn = SignedOn; bob.OnSignedOn = SignedOn;
a = ann.SignOn("room");
a.OnUserJoined = UserJoined;
For (i = 0; i < 3000 && signed < 1; i++) Program.Wait(2);
b = bob.SignOn("room");
b.OnUserIsOn = UserIsOn;
For (i = 0; i < 3000 && (a.GetUserCount() < 2 || b.GetUserCount() < 2); i++) Program.Wait(2);
first = a.GetUser(0); master = b.GetMaster();
Print(a.GetName(), a.GetUserCount(), b.GetUserCount(), a.IsMaster(), b.IsMaster(), master.GetName(), first.GetName());
ann.OnMessage = Message; bob.OnMessage = Message;
a.SendText("to the room", 7); Until(1);
annForBob = b.GetUser(1); annForBob.SendText("just you", 8); Until(2);
annOnServer.OnMsgFromClient = FromClient;
ann.SendText("to the server", 9); Until(3);
ann.OnMsgFromServer = FromServer; bob.OnMsgFromServer = FromServer;
server.SendText("to everybody", 10); Until(5);
bobOnServer.SendText("to bob", 11); Until(6);
room = server.GetSession(0); room.SendText("to the session", 12); Until(8);
