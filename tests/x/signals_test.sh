# SIGTERM ends a player that game input made start SDL's joysticks, on the X display and
# headless. (A shell without job control starts its background commands with SIGINT
# ignored, so SIGINT is left to the unit tests.)
source "$(dirname "$0")/lib.sh"

project=$(x_project signals <<'ZS'
out = New File("/dev/stdout", File.WRITEONLY);
w = New Window("Signals", 320, 200);
g = New GameInput(w);
out.Write("ready" + Program.GetChar(10));
While (1) Program.Wait(20);
ZS
)

# ends_by SIGNAL DISPLAY: the player, started on DISPLAY, ends by SIGNAL within five seconds.
ends_by() {
  x_start "$project" ZORV_DISPLAY="$2"
  x_expect ready || return 1
  kill "-$1" "$pid"
  # Not in a subshell, which could not wait for the player.
  x_ended 5 >"$work/status" || return 1
  [ "$(cat "$work/status")" -eq $((128 + $(kill -l "$1"))) ] ||
    { echo "the player ended with status $(cat "$work/status") after SIG$1" >&2; return 1; }
}
x_check "SIGTERM ends a player with game input on X" ends_by TERM sdl
x_check "SIGTERM ends a headless player with game input" ends_by TERM headless

x_done
