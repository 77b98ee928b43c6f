# Another X client takes the player's window: by destroying it, or by cutting the player's
# connection (xdotool windowkill). The script hears OnClose, and the run ends normally as
# the last window closes.
source "$(dirname "$0")/lib.sh"

project=$(x_project life <<'ZS'
out = New File("/dev/stdout", File.WRITEONLY);
Function Show(text) { out.Write(text + Program.GetChar(10)); }
Function Closing(w) { Show("closed"); }
w = New Window("Life", 320, 200);
w.OnClose = Closing;
Show("ready");
While (1) Program.Wait(20);
ZS
)

# closed_by COMMAND...: COMMAND, given the window's id last, takes the window away.
closed_by() {
  x_start "$project"
  local id
  id=$(x_window Life) && x_expect ready || return 1
  "$@" "$id"
  x_expect closed || return 1
  # Not in a subshell, which could not wait for the player.
  x_ended 10 >"$work/status" || return 1
  [ "$(cat "$work/status")" -eq 0 ] || { echo "the player ended with status $(cat "$work/status")" >&2; return 1; }
}

destroy_window() {
  python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.CDLL('libX11.so.6')
x.XOpenDisplay.restype = ctypes.c_void_p
x.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x.XOpenDisplay(None)
x.XDestroyWindow(display, int(sys.argv[1]))
x.XSync(display, 0)
x.XCloseDisplay(display)
PY
}
x_check "another client destroying the window closes it" closed_by destroy_window
x_check "another client killing the connection closes the window" closed_by xdotool windowkill

x_done
