# Menus of a menu bar on the X server: Alt+letter, F10 and the mouse open them, the arrows,
# Return and Escape work in them, and the keyboard goes back to the window when they close.
source "$(dirname "$0")/lib.sh"

# Both scripts print their lines with Show.
printing() {
  cat <<'ZS'
out = New File("/dev/stdout", File.WRITEONLY);
Function Show(text) { out.Write(text + Program.GetChar(10)); }
ZS
}

# A form: a menu bar over an Edit that has the focus.
form=$({ printing; cat <<'ZS'; } | x_project form
w = New Window("Form", 320, 240);
bar = New Menu(w);
fileMenu = New Menu();
fileMenu.InsertItem("&Open");
fileMenu.InsertItem("&Quit");
bar.InsertItem(fileMenu, "&File");
Function Chosen(m, index, id) { Show("chose " + m.GetItemString(index)); }
fileMenu.OnSelectItem = Chosen;
field = New Edit("", 10, 10, 200, 24);
Function Edited(e) { Show("text " + e.GetText()); }
field.OnTextChanged = Edited;
field.SetFocus();
Show("ready");
While (1) Program.Wait(20);
ZS
)

# A game: a menu bar, and arrow keys read by OnKeyDown and Keyboard.IsKeyDown.
game=$({ printing; cat <<'ZS'; } | x_project game
w = New Window("Game", 320, 240);
bar = New Menu(w);
gameMenu = New Menu();
gameMenu.InsertItem("&New");
bar.InsertItem(gameMenu, "&Game");
Function Pressed(source, code, flags, text) { Show("key " + code); }
w.OnKeyDown = Pressed;
Show("ready");
held = 0;
While (1) {
  Program.Wait(20);
  now = Keyboard.IsKeyDown(Keyboard.LEFT);
  If (now != held) { Show("left " + now); held = now; }
}
ZS
)

# The menu bar lies at the top of the window; its first menu opens under x 15.
start() {
  x_launch "$1" "$2" && x_shown 1
}

alt_letter() {
  start "$form" Form || return 1
  x_key alt+f && x_shown 2 || return 1
  x_key Down Return && x_expect "chose &Quit" && x_shown 1 || return 1
  x_type ab && x_expect "text ab"
}
x_check "Alt+letter opens the menu, the arrows and Return choose, the Edit types again" alt_letter

f10_and_escape() {
  start "$form" Form || return 1
  x_key F10 Down && x_shown 2 || return 1
  x_key Return && x_expect "chose &Open" && x_shown 1 || return 1
  x_key F10 Return && x_shown 2 || return 1
  x_key Escape Escape && x_shown 1 || return 1
  x_key alt+f && x_shown 2 || return 1
  x_key Escape Escape && x_shown 1 || return 1
  x_type c && x_expect "text c" || return 1
  grep -q "chose &Quit" "$out" && { echo "a cancelled menu chose" >&2; return 1; }
  return 0
}
x_check "F10 opens the menu bar, Return drops its menu, Escape cancels, the Edit types again" f10_and_escape

mouse() {
  start "$form" Form || return 1
  x_click "$id" 15 9 && x_shown 2 || return 1
  x_key Down Return && x_expect "chose &Open" && x_shown 1 || return 1
  x_click "$id" 15 9 && x_shown 2 || return 1
  x_click "$id" 200 150 && x_shown 1 || return 1
  x_click "$id" 100 20 && x_type d && x_expect "text d"
}
x_check "a menu opened with the mouse chooses with the keys and closes with a click" mouse

arrows_after() {
  local close=$1
  start "$game" Game || return 1
  x_click "$id" 15 9 && x_shown 2 || return 1
  if [ "$close" = escape ]; then x_key Escape Escape; else x_click "$id" 200 150; fi
  x_shown 1 || return 1
  xdotool keydown Left && x_expect "key 37" && x_expect "left 1" || return 1
  xdotool keyup Left && x_expect "left 0"
}
x_check "arrow keys reach the game after its menu closed with Escape" arrows_after escape
x_check "arrow keys reach the game after its menu closed with a click" arrows_after click

x_done
