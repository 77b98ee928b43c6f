//== players of one Qel object reach a server of another over TCP, and every object wraps once
// expect: end
// expect output: bob hears ann: across 3
// expect output: server hears bob: up -1
// expect output: 2 1 0 1 1 1 1
// expect output: 1 1 1 1
// expect output: 1 1 1
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
Function Said(p, u, text, code) { Print(p.GetName(), "hears", u.GetName() + ":", text, code); heard++; }
Function FromClient(c, text, code) { Print("server hears", c.GetName() + ":", text, code); heard++; }
heard = 0;
hosting = New Qel();
playing = New Qel();
Setup(hosting, playing);
bob.OnMessage = Said;
a.SendText("across", 3); Until(1);
bobOnServer.OnMsgFromClient = FromClient;
bob.SendText("up", 65535); Until(2);
Print(playing.GetPlayerCount(), hosting.GetServerCount(), hosting.GetPlayerCount(), playing.GetPlayer(0) == ann, playing.GetPlayer(1) == bob, hosting.GetServer(0) == server, b.GetPlayer() == bob);
Print(server.GetConnection(1) == bobOnServer, server.GetSession(0) == room, room.GetConnection(0) == annOnServer, annOnServer.GetServer() == server);
Print(bobOnServer.GetSession(0) == room, a.GetUser(0) == a.GetUser(0), ann.GetChannel(0) == a);
