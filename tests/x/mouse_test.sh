# Game input's mouse on X: the pointer held by the game reports each movement once; the
# press that follows a movement adds none.
source "$(dirname "$0")/lib.sh"

project=$(x_project mouse <<'ZS'
out = New File("/dev/stdout", File.WRITEONLY);
Function Show(text) { out.Write(text + Program.GetChar(10)); }
f = New File("/tmp/zorv-x-mouse-input.txt");
t = Program.GetChar(9);
f.WriteLn("Aim");
f.WriteLn(t, "PreferredDevices=Mouse;Keyboard;Joystick");
f.WriteLn(t, "Player 1");
f.WriteLn(t, t, "Right");
f.WriteLn(t, t, t, "Mouse");
f.WriteLn(t, t, t, t, "MOUSE_RIGHT");
f.WriteLn(t, t, "Fire");
f.WriteLn(t, t, t, "Mouse");
f.WriteLn(t, t, t, t, "MOUSE_BUTTON1");
f.Close();
w = New Window("Mouse", 400, 300);
g = New GameInput(w);
g.LoadSettings("/tmp/zorv-x-mouse-input.txt");
n = 0;
While (!g.Start("aim") && n < 250) { Program.Wait(20); n++; }
Show("ready " + g.GetPlayerDeviceType(0));
right = -1;
fire = -1;
While (1) {
  r = g.GetDeviceValue(0, "Right");
  b = g.GetDeviceValue(0, "Fire");
  If (r != right || b != fire) Show("right " + r + " fire " + b);
  right = r;
  fire = b;
  Program.Wait(20);
}
ZS
)

moved_then_pressed() {
  x_start "$project"
  local id
  id=$(x_window Mouse) || return 1
  x_click "$id" 200 150
  x_expect "ready 3" || return 1
  xdotool mousemove_relative 150 0
  x_expect "right 150 fire 0" || return 1
  xdotool mousedown 1
  x_expect "right 0 fire 65535" || return 1
  xdotool mouseup 1
  x_expect "right 0 fire 0" || return 1
  if grep -q "fire 65535" "$out" && grep "fire 65535" "$out" | grep -qv "^right 0 "; then
    echo "the press moved the mouse again:" >&2
    sed 's/^/  | /' "$out" >&2
    return 1
  fi
}
x_check "a press after a movement adds none" moved_then_pressed
rm -f /tmp/zorv-x-mouse-input.txt

x_done
