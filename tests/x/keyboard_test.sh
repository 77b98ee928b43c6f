# Keys and clicks from the X server reach a Window's handlers.
source "$(dirname "$0")/lib.sh"

project=$(x_project keys <<'ZS'
out = New File("/dev/stdout", File.WRITEONLY);
Function Show(text) { out.Write(text + Program.GetChar(10)); }
Function Pressed(w, code, flags, text) { Show("key " + code); }
// The button arrives as one of the Window's button constants.
Function Clicked(w, x, y, b) {
  If (b == Window.LEFTBUTTON) Show("click left"); Else Show("click " + b);
}
w = New Window("Keys", 320, 200);
w.OnKeyDown = Pressed;
w.OnMouseDown = Clicked;
Show("ready");
While (1) Program.Wait(20);
ZS
)

keys_and_clicks() {
  x_launch "$project" Keys || return 1
  x_click "$id" 100 100 && x_expect "click left" || return 1
  x_key a && x_expect "key 65"
}
x_check "keys and clicks reach the window" keys_and_clicks

x_done
