// A chat room. "tools/run examples/chat host" hosts the room and chats in it; "tools/run
// examples/chat join HOST" chats in the room of the machine HOST. Without an argument the
// example hosts the room, joins it twice on this machine, has the guest say hello, and
// ends: the examples test runs it so.
//
// The window shows the conversation, the people in the room, and a field whose text the
// Send button says to the room.
port = 4747;
mode = "";
hostName = "127.0.0.1";
If (Program.GetNArguments() > 0) mode = Program.GetArgument(0);
If (mode == "join" && Program.GetNArguments() > 1) hostName = Program.GetArgument(1);
myName = System.GetUserName();
If (myName == "" || mode == "") myName = "host";

main = New Window("Chat", 480, 300);
talk = New ListBox(10, 10, 330, 240);
people = New ListBox(350, 10, 120, 240);
field = New Edit("", 10, 262, 370, 24);
send = New Button("Send", 390, 261, 80, 26);
box = New MessageBox(main);
q = New Qel();
room = 0;

Function Say(line) {
    talk.AddItem(line);
    talk.SelectItem(talk.GetItemCount() - 1);
}

// The list of people is read again whenever someone comes or goes.
Function ShowPeople(channel) {
    people.Clear();
    For (i = 0; i < channel.GetUserCount(); i++) {
        someone = channel.GetUser(i);
        people.AddItem(someone.GetName());
    }
}
Function Joined(player, channel) { Say("You are in the room."); ShowPeople(channel); }
Function Came(channel, someone) { ShowPeople(channel); }
Function Arrived(channel, someone) { Say(someone.GetName() + " came in."); ShowPeople(channel); }
Function Went(channel, someone) { Say("Someone left."); ShowPeople(channel); }
Function Heard(player, someone, text, code) { Say(someone.GetName() + ": " + text); }
Function Lost(player) { Say("The connection to the room is lost."); }

Function Enter(name) {
    player = q.Connect(hostName, port, name);
    For (i = 0; i < 250 && player.IsConnected() == 0; i++) Program.Wait(20);
    Return player;
}

Function Sent(source) {
    text = field.GetText();
    If (text == "" || room == 0) Return 0;
    room.SendText(text);
    Say(myName + ": " + text);
    field.SetText("");
}
send.OnClick = Sent;

server = 0;
If (mode != "join") {
    If (mode == "") {
        // On its own the example takes any free port.
        For (port = 47470; port < 48470 && server == 0; port = port + 2) {
            server = q.HostServer(port);
            If (server.GetServerIP() == "") { server.Disconnect(); server = 0; }
        }
    } Else {
        server = q.HostServer(port);
        If (server.GetServerIP() == "") {
            box.OkBox("Port " + port + " is taken: another chat may be running here.", "Chat");
            Program.End();
        }
    }
    server.SetMOTD("Welcome to the chat room.");
    hostName = "127.0.0.1";
    port = server.GetPort();
}

me = Enter(myName);
While (me.IsConnected() == 0) {
    // The player does not try again by itself: the user decides (No is the default).
    box.SetDefaultButton(2);
    If (box.YesNoBox("No chat room answers at " + hostName + ":" + port + ". Try again?", "Chat") == MessageBox.IDNO)
        Program.End();
    Delete me;
    me = Enter(myName);
}
me.OnSignedOn = Joined;
me.OnMessage = Heard;
me.OnDisconnected = Lost;
Say(me.GetMOTD());
room = me.SignOn("lobby");
room.OnUserIsOn = Came;
room.OnUserJoined = Arrived;
room.OnUserLeft = Went;

If (mode == "") {
    guest = Enter("guest");
    guestRoom = guest.SignOn("lobby");
    For (i = 0; i < 250 && room.GetUserCount() < 2; i++) Program.Wait(20);
    guestRoom.SendText("Hello from the other player!");
    For (i = 0; i < 250 && talk.GetItemCount() < 4; i++) Program.Wait(20);
    field.SetText("Hello back");
    Sent(send);
    Program.Wait(200);
    Program.End();
}

While (1) Program.Wait(50);
