# Keys and clicks from the X server reach a Window's handlers.
source "$(dirname "$0")/lib.sh"

project=$(x_project keys <<'ZS'
out = New File("/dev/stdout", File.WRITEONLY);
Function Show(text) { out.Write(text + Program.GetChar(10)); }
Function Pressed(w, code, flags, text) { Show("key " + code); }
Function Clicked(w, x, y, b) { Show("click " + b); }
w = New Window("Keys", 320, 200);
w.OnKeyDown = Pressed;
w.OnMouseDown = Clicked;
Show("ready");
While (1) Program.Wait(20);
ZS
)

keys_and_clicks() {
  x_start "$project"
  local id
  id=$(x_window Keys) || return 1
  x_expect ready || return 1
  x_click "$id" 100 100 && x_expect "click 1" || return 1
  x_key a && x_expect "key 65"
}
x_check "keys and clicks reach the window" keys_and_clicks

x_done
