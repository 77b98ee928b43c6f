# Helpers for the tests that drive the player with real X input: projects packed with the
# instrumented packer, run by the instrumented player on the X server of $DISPLAY through
# SDL's x11 driver, and touched with xdotool (XTest), as a user's desktop would.
# A test file sources this, calls x_project / x_start / the x_* actions, and checks with
# x_expect / x_check. Every wait is bounded.

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${ZORV_X_BUILD:-$root/build/test}"
player="$build/src/app/zorv"
packer="$build/src/app/zorv-pack"
# The instrumented player reports the leaks of system libraries it loads (D-Bus, under SDL)
# unless told they are not ours.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tools/lsan.supp}"
work="$(mktemp -d "${TMPDIR:-/tmp}/zorv-x.XXXXXX")"
failures=0
pid=""
out=""

x_cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$work"
}
trap x_cleanup EXIT

# x_project NAME: the script text on standard input becomes the project NAME (one entry, one
# module); prints the bare project file's path.
x_project() {
  local dir="$work/$1"
  mkdir -p "$dir"
  cat >"$dir/main.zs"
  printf 'entry Main\n  module main.zs\n' >"$dir/project.zpk"
  "$packer" --bare "$dir" "$work/$1.zp" >/dev/null
  echo "$work/$1.zp"
}

# x_start PROJECT_FILE [NAME=VALUE...]: runs the player on the X display in the background
# with the given environment; its standard output goes to $out, read by x_expect. Scripts
# print through New File("/dev/stdout", File.WRITEONLY).
x_start() {
  local project=$1
  shift
  out="$work/out.$RANDOM"
  : >"$out"
  env ZORV_PROJECT="$project" ZORV_DISPLAY=sdl SDL_VIDEODRIVER=x11 ZORV_AUDIO=null "$@" \
    "$player" >"$out" 2>"$out.err" &
  pid=$!
}

# x_window TITLE: waits (10 s at most) for the player's visible top-level window named
# TITLE and prints its X id.
x_window() {
  local id
  id=$(timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -1) || true
  [ -n "$id" ] || { echo "no window named '$1'" >&2; return 1; }
  echo "$id"
}

# x_launch PROJECT_FILE TITLE: x_start, then waits for the window TITLE, whose X id goes to
# $id, and for the script's line "ready".
x_launch() {
  x_start "$1"
  id=$(x_window "$2") || return 1
  x_expect ready
}

# x_shown COUNT [SECONDS]: waits (5 s at most) until the X server shows COUNT windows of the
# player, its popups (menus, dropped lists) counted.
x_shown() {
  local count=$1 limit=${2:-5} i n=0
  for ((i = 0; i < limit * 20; i++)); do
    n=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)
    [ "$n" -eq "$count" ] && return 0
    sleep 0.05
  done
  echo "expected $count windows of the player on the screen, found $n" >&2
  return 1
}

# x_window_pixel WINDOW X Y: the colour the screen shows at the window-relative point, as
# RRGGBB.
x_window_pixel() {
  xwd -silent -id "$1" | xwdtopnm 2>/dev/null | pamcut -left "$2" -top "$3" -width 1 -height 1 |
    pnmtoplainpnm | tr -s ' \n' ' ' |
    awk '{ m = $4; printf "%02X%02X%02X\n", $5 * 255 / m, $6 * 255 / m, $7 * 255 / m }'
}

# x_expect TEXT [SECONDS]: waits until the player's standard output holds the line TEXT.
x_expect() {
  local text=$1 limit=${2:-10} i
  for ((i = 0; i < limit * 20; i++)); do
    grep -qxF -- "$text" "$out" && return 0
    sleep 0.05
  done
  echo "expected the line '$text' in the player's output; it wrote:" >&2
  sed 's/^/  | /' "$out" >&2
  sed 's/^/  ! /' "$out.err" >&2
  return 1
}

# x_ended [SECONDS]: waits for the player to end and prints its exit status.
x_ended() {
  local limit=${1:-10} i
  for ((i = 0; i < limit * 20; i++)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      echo $?
      pid=""
      return 0
    fi
    sleep 0.05
  done
  echo "the player is still running after $limit s" >&2
  return 1
}

# x_stop: ends the player if it still runs.
x_stop() {
  if [ -n "$pid" ]; then
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""
  fi
}

# x_click WINDOW X Y [BUTTON]: a click at the window-relative point.
x_click() {
  xdotool mousemove --window "$1" "$2" "$3" sleep 0.05 click "${4:-1}"
}

# x_focus WINDOW: gives WINDOW the X input focus, as a window manager would when it opens.
x_focus() {
  xdotool windowfocus --sync "$1"
}

# x_press WINDOW X Y / x_release WINDOW X Y: the left button goes down, or up, at the
# window-relative point.
x_press() {
  xdotool mousemove --window "$1" "$2" "$3" sleep 0.05 mousedown 1
}
x_release() {
  xdotool mousemove --window "$1" "$2" "$3" sleep 0.05 mouseup 1
}

# x_key KEY...: key presses (xdotool's names: Return, alt+f, F4, Down...) to the focused window.
x_key() {
  xdotool key --delay 40 "$@"
}

# x_type TEXT: types TEXT into the focused window.
x_type() {
  xdotool type --delay 40 "$1"
}

# x_geometry WINDOW: the window's size and place on the screen, as WIDTHxHEIGHT+X+Y.
x_geometry() {
  xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print w "x" h "+" x "+" y }'
}

# x_expect_geometry WINDOW GEOMETRY [SECONDS]: waits until x_geometry gives GEOMETRY.
x_expect_geometry() {
  local limit=${3:-10} i now
  for ((i = 0; i < limit * 20; i++)); do
    now=$(x_geometry "$1")
    [ "$now" = "$2" ] && return 0
    sleep 0.05
  done
  echo "expected window $1 at $2; it is at $now" >&2
  return 1
}

# x_snap: takes a picture of the whole screen, which x_pixel reads.
x_snap() {
  xwd -root -silent >"$work/screen.xwd"
}

# x_pixel X Y: the colour at that point of the last x_snap, as RRGGBB. The picture is an X
# window dump: a header of big-endian 32-bit fields, the colour map, then rows of pixels in
# the byte order the header gives (a TrueColor screen's masks are 0xFF0000, 0xFF00, 0xFF).
x_pixel() {
  local file="$work/screen.xwd" header b bytes at value=0 i
  read -r -a header <<<"$(od -An -v -tu4 --endian=big -N 100 "$file" | tr '\n' ' ')"
  bytes=$((header[11] / 8))
  at=$((header[0] + header[19] * 12 + $2 * header[12] + $1 * bytes))
  read -r -a b <<<"$(od -An -v -tu1 -j "$at" -N "$bytes" "$file")"
  if [ "${header[7]}" -eq 0 ]; then
    for ((i = bytes - 1; i >= 0; i--)); do value=$((value * 256 + b[i])); done
  else
    for ((i = 0; i < bytes; i++)); do value=$((value * 256 + b[i])); done
  fi
  printf '%06X\n' $((value & 0xFFFFFF))
}

# x_expect_pixels COLOUR X Y [X Y...]: every point of the last x_snap shows COLOUR (RRGGBB).
x_expect_pixels() {
  local colour=$1 seen
  shift
  while [ $# -ge 2 ]; do
    seen=$(x_pixel "$1" "$2")
    if [ "$seen" != "$colour" ]; then
      echo "expected $colour at $1,$2 on the screen; it shows $seen" >&2
      return 1
    fi
    shift 2
  done
}

# x_screen_shows SECONDS COMMAND...: takes pictures of the screen until COMMAND, which reads
# them with x_pixel, passes; what the last one failed on is reported.
x_screen_shows() {
  local limit=$1 i
  shift
  for ((i = 0; i < limit * 5; i++)); do
    x_snap
    "$@" 2>/dev/null && return 0
    sleep 0.2
  done
  x_snap
  "$@"
}

# x_check NAME COMMAND...: runs one check; a failing one is reported and counted, and the
# player is stopped so the next check starts clean.
x_check() {
  local name=$1
  shift
  if "$@"; then
    echo "ok: $name"
  else
    echo "FAILED: $name"
    failures=$((failures + 1))
  fi
  x_stop
}

# x_done: the test file's exit status.
x_done() {
  [ "$failures" -eq 0 ]
}
