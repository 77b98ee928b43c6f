//== every level blasts its texts as datagrams, handed over within one Qel object
// expect: end
// expect output: server hears ann: p 1
// expect output: bob hears ann: c 2
// expect output: ann hears bob: u 3
// expect output: ann from server: s 4
// expect output: bob from server: s 4
// expect output: bob from server: k 5
// expect output: ann from server: r 6
// expect output: bob from server: r 6
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
Function FromServer(p, text, code) { Print(p.GetName(), "from server:", text, code); heard++; }
heard = 0;
q = New Qel();
Setup(q, q);
annOnServer.OnMsgFromClient = FromClient;
ann.OnMessage = Said; bob.OnMessage = Said;
ann.OnMsgFromServer = FromServer; bob.OnMsgFromServer = FromServer;
ann.BlastText("p", 1); Until(1);
a.BlastText("c", 2); Until(2);
annForBob = b.GetUser(1); annForBob.BlastText("u", 3); Until(3);
server.BlastText("s", 4); Until(5);
bobOnServer.BlastText("k", 5); Until(6);
room.BlastText("r", 6); Until(8);
