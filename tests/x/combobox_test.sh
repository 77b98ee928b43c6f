# Drop-down lists on the X server: the list opens as a popup window, takes the mouse and the
# keys, and gives the keyboard back to the field when it closes.
source "$(dirname "$0")/lib.sh"

project=$(x_project combo <<'ZS'
out = New File("/dev/stdout", File.WRITEONLY);
Function Show(text) { out.Write(text + Program.GetChar(10)); }
w = New Window("Combo", 320, 240);
free = New ComboBox(ComboBox.DROPDOWN, 10, 10, 120, 100);
free.AddItem("One"); free.AddItem("Two"); free.AddItem("Three");
fixed = New ComboBox(ComboBox.DROPDOWNLIST, 160, 10, 120, 100);
fixed.AddItem("One"); fixed.AddItem("Two"); fixed.AddItem("Three");
fixed.SelectItem(0);
Function FreeChosen(c) { Show("free " + c.GetTextAt(c.GetSelectedItem())); }
Function FixedChosen(c) { Show("fixed " + c.GetTextAt(c.GetSelectedItem())); }
Function Typed(c) { Show("text " + c.GetText()); }
free.OnSelChanged = FreeChosen;
fixed.OnSelChanged = FixedChosen;
free.OnEditChanged = Typed;
Show("ready");
While (1) Program.Wait(20);
ZS
)

# The fields lie at y 10 to 30; the lists drop under them, "Two" at y 53 and "Three" at y 64.
start() {
  x_launch "$project" Combo && x_shown 1
}

mouse_chooses_and_the_field_types() {
  start || return 1
  x_click "$id" 119 19 && x_shown 2 || return 1
  x_click "$id" 40 53 && x_expect "free Two" && x_shown 1 || return 1
  x_type xy && x_expect "text xy"
}
x_check "a click on the arrow drops the list, a click chooses, typing reaches the field" \
  mouse_chooses_and_the_field_types

press_held_chooses() {
  start || return 1
  x_press "$id" 269 19 && x_shown 2 || return 1
  x_release "$id" 190 64 && x_expect "fixed Three" && x_shown 1
}
x_check "a press held on the arrow drops the list, its release on an item chooses" \
  press_held_chooses

keys_choose() {
  start || return 1
  # A click on the face of a drop-down list drops it; Escape closes it choosing nothing.
  x_click "$id" 200 19 && x_shown 2 || return 1
  x_key Escape && x_shown 1 || return 1
  x_key F4 && x_shown 2 || return 1
  x_key Down Return && x_expect "fixed Two" && x_shown 1 || return 1
  x_key alt+Down && x_shown 2 || return 1
  x_key Down Return && x_expect "fixed Three" && x_shown 1 || return 1
  grep -q "fixed One" "$out" && { echo "Escape chose an item" >&2; return 1; }
  return 0
}
x_check "F4, Alt+Down and the arrows drop the list and choose" keys_choose

x_done
