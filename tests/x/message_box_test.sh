# A message box on the X server stands over what the script drew just before it.
source "$(dirname "$0")/lib.sh"

project=$(x_project score <<'ZS'
out = New File("/dev/stdout", File.WRITEONLY);
Function Show(text) { out.Write(text + Program.GetChar(10)); }
w = New Window("Score", 320, 240, 100, 100, 0xFFFFFF);
box = New MessageBox(w);
Show("ready");
Program.Wait(300);
w.SetPenColor(0xFF0000);
w.SetFillColor(0xFF0000);
w.Rectangle(0, 0, 320, 240);
Show("answered " + box.OkBox("lives 0", "Game over"));
While (1) Program.Wait(20);
ZS
)

drawn_under_the_box() {
  x_start "$project"
  local id colour
  id=$(x_window Score) || return 1
  x_expect ready && x_window "Game over" >/dev/null || return 1
  # A corner the box leaves uncovered.
  colour=$(x_window_pixel "$id" 4 4)
  [ "$colour" = FF0000 ] || { echo "the window shows $colour under the box" >&2; return 1; }
  x_key Return && x_expect "answered 1"
}
x_check "the picture drawn before the box is shown under it" drawn_under_the_box

x_done
