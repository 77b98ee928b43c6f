//== leaving a session, losing the server and dropped objects answering 0 or nothing
// expect: end
// Handlers run after the poll that fired their events: what ended by then answers "",
// but for a member that left and a connection that went, which keep who they were.
// expect output: bob signed off []
// expect output: bob left [room] on the server
// expect output: ann sees [bob] leave room
// expect output: ann left [] on the server
// expect output: session destroyed [] dropped
// expect output: ann signed off []
// expect output: 1 0 0
// expect output: dead connection [ann] dropped
// expect output: dead connection [bob] dropped
// expect output: [] disconnected kept
// expect output: [] disconnected 0
// expect output: 0 0 [] [ann] 0 0 0
// expect output: 0 0 0 [] [] [] 0 0 0
// expect output: 0 0 [] 0 0 0 0 0 [127.0.0.1]
// expect output: kept kept kept
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
Function SignedOff(p, c) { Print(p.GetName(), "signed off", "[" + c.GetName() + "]"); }
Function SessionLeft(c, x) { Print(c.GetName(), "left", "[" + x.GetName() + "]", "on the server"); }
Function UserLeft(c, u) { Print((c.GetPlayer()).GetName(), "sees", "[" + u.GetName() + "]", "leave", c.GetName()); }
Function SessionDestroyed(s, x) { Print("session destroyed", "[" + x.GetName() + "]", x.GetPrivateData()); }
Function DeadConnection(s, c) { Print("dead connection", "[" + c.GetName() + "]", c.GetPrivateData()); }
Function Disconnected(p) { Print("[" + p.GetName() + "]", "disconnected", p.GetPrivateData()); gone++; }
gone = 0;
q = New Qel();
Setup(q, q);
ann.OnSignedOff = SignedOff; bob.OnSignedOff = SignedOff;
annOnServer.OnSessionLeft = SessionLeft; bobOnServer.OnSessionLeft = SessionLeft;
a.OnUserLeft = UserLeft;
server.OnSessionDestroyed = SessionDestroyed;
ann.SetPrivateData("kept"); server.SetPrivateData("kept"); a.SetPrivateData("kept");
room.SetPrivateData("dropped"); annOnServer.SetPrivateData("dropped"); bobOnServer.SetPrivateData("dropped");
Delete b;
For (i = 0; i < 3000 && a.GetUserCount() > 1; i++) Program.Wait(2);
annOnServer.SignOff(0);
For (i = 0; i < 3000 && ann.GetChannelCount() > 0; i++) Program.Wait(2);
Print(room.GetId() == 0, server.GetSessionCount(), a.IsValid());
server.OnDeadConnection = DeadConnection;
ann.OnDisconnected = Disconnected; bob.OnDisconnected = Disconnected;
server.Disconnect();
For (i = 0; i < 3000 && gone < 2; i++) Program.Wait(2);
Print(server.IsValid(), server.GetPort(), "[" + server.GetServerIP() + "]", "[" + annOnServer.GetName() + "]", server.GetConnectionCount(), server.GetStats(), room.GetConnectionCount());
Print(ann.IsValid(), ann.IsConnected(), ann.GetPort(), "[" + ann.GetName() + "]", "[" + ann.GetMOTD() + "]", "[" + ann.GetServerIP() + "]", ann.SignOn("x"), ann.GetChannel(0), q.GetPlayerCount());
Print(a.IsValid(), a.GetId(), "[" + a.GetName() + "]", a.GetUserCount(), a.GetUser(0), a.GetPlayer(), a.IsMaster(), annOnServer.GetServer(), "[" + annOnServer.GetClientIP() + "]");
ann.SendText("nobody"); a.SendText("nobody"); server.BlastText("nobody"); annOnServer.SignOff(0);
Print(ann.GetPrivateData(), server.GetPrivateData(), a.GetPrivateData());

//== collection leaves the wrappers whose library objects live and takes them afterwards
// expect: end
// expect output: mine 2 2
// expect output: 1 1
// expect output: 1 0
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
q = New Qel();
Setup(q, q);
c = server.GetConnection(0); c.SetPrivateData("mine");
c = 0; annOnServer = 0; bobOnServer = 0;
CollectNow();
c = server.GetConnection(0);
Print(c.GetPrivateData(), Math.Count(30), Math.Count(26));
c = 0;
Delete ann;
For (i = 0; i < 3000 && server.GetConnectionCount() > 1; i++) Program.Wait(2);
CollectNow();
Print(Math.Count(30), Math.Count(26));
Delete server;
CollectNow();
Print(Math.Count(26), Math.Count(29));
