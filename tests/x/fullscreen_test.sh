# Window.SetFullScreenMode and SetWindowedMode on an X server that cannot switch to the
# size asked for (Xvfb at 1024 x 768): the window covers the screen, the 640 x 480 picture is
# scaled over all of it, OnDisplayChange fires, a click reaches the picture's point, and
# windowed mode puts the window back. With a 2D picture and with a 3D view on each renderer.
source "$(dirname "$0")/lib.sh"

# The script of a project: a click goes full screen, the next one back. PICTURE draws what
# the window shows; SETUP runs first.
full_screen_project() {
  x_project "$1" <<ZS
out = New File("/dev/stdout", File.WRITEONLY);
Function Show(text) { out.Write(text + Program.GetChar(10)); }
Function Changed(w, bits, width, height) { Show("display " + bits + " " + width + " " + height); }
Function Clicked(w, x, y, b) {
  Show("click " + x + " " + y);
  If (full == 0) {
    full = 1;
    w.SetFullScreenMode(640, 480, 32);
    Show("full " + w.GetWidth() + " " + w.GetHeight());
    Picture(w);
  } Else {
    full = 0;
    w.SetWindowedMode();
    Show("windowed " + w.GetWidth() + " " + w.GetHeight());
  }
}
$2
full = 0;
w = New Window("Full", 320, 240, 100, 100);
w.OnDisplayChange = Changed;
w.OnMouseDown = Clicked;
$3
Show("ready");
While (1) Program.Wait(20);
ZS
}

# 2D: the picture's quarters in four colours, drawn once the picture has its new size. A
# size the display does not offer is refused first and changes nothing.
flat=$(full_screen_project flat '
Function Quarter(s, colour, x, y) {
  s.SetPenColor(colour);
  s.SetFillColor(colour);
  s.Rectangle(x, y, x + 320, y + 240);
}
Function Picture(w) {
  s = w.GetSurface();
  Quarter(s, 0xFF0000, 0, 0);
  Quarter(s, 0x00FF00, 320, 0);
  Quarter(s, 0x0000FF, 0, 240);
  Quarter(s, 0xFFFF00, 320, 240);
}' '
w.SetFullScreenMode(123, 45, 32);
Show("refused " + w.GetWidth() + " " + w.GetHeight());')

# 3D: a brick in front of a camera whose background is dark blue, on the renderer named.
scene() {
  full_screen_project "scene-$1" "
Function Picture(w) { }
Display.SetDisplayInterface(Display.$1);
Show(\"interface \" + (Display.GetDisplayInterface() == Display.$1));" '
scene = New World(w);
eye = New Camera(scene, w);
eye.SetBackgroundColor(0x0000C0);
box = scene.CreateBrick(300, 300, 300);
box.SetPosition(0, 0, 1000);'
}

# Clicks into the window, checks the full screen and its picture, clicks again and checks
# the window is back. EXPECT_FULL is a function that checks the full screen's picture;
# EXPECT_BACK one that checks the window's picture after, its corners at left,top and
# right,bottom on the screen.
full_and_back() {
  local expect_full=$1 expect_back=$2 id windowed
  id=$(x_window Full) || return 1
  x_expect ready || return 1
  windowed=$(x_geometry "$id")
  x_click "$id" 10 10 && x_expect "click 10 10" || return 1
  x_expect "full 640 480" && x_expect "display 32 640 480" || return 1
  x_expect_geometry "$id" 1024x768+0+0 || return 1
  x_screen_shows 5 "$expect_full" || return 1
  # The screen's middle shows the picture's middle.
  x_click "$id" 512 384 && x_expect "click 320 240" || return 1
  x_expect "windowed 320 240" && x_expect "display 32 1024 768" || return 1
  x_expect_geometry "$id" "$windowed" || return 1
  IFS='x+' read -r width height left top <<<"$windowed"
  right=$((left + width - 1))
  bottom=$((top + height - 1))
  x_screen_shows 5 "$expect_back"
}

# The picture over the whole screen at 1.6 times its size: each quarter in its colour.
flat_full() {
  x_expect_pixels FF0000 2 2 500 380 &&
    x_expect_pixels 00FF00 1021 2 524 380 &&
    x_expect_pixels 0000FF 2 765 500 388 &&
    x_expect_pixels FFFF00 1021 765 524 388
}
# Back in its window, the picture keeps its top left quarter.
flat_back() {
  x_expect_pixels FF0000 "$left" "$top" "$right" "$top" "$left" "$bottom" "$right" "$bottom"
}
flat_run() {
  x_start "$flat"
  x_expect "refused 320 240" || return 1
  grep -q "cannot switch to 123 x 45 at 32 bits" "$out.err" || {
    echo "no word of the refused mode on standard error" >&2
    return 1
  }
  full_and_back flat_full flat_back
}
x_check "a 2D picture goes full screen whole and back" flat_run

# The camera's background reaches every edge of the screen, and the window's after.
scene_full() {
  x_expect_pixels 0000C0 2 2 1021 2 2 765 1021 765 512 2 2 384 1021 384 512 765
}
scene_back() {
  x_expect_pixels 0000C0 "$left" "$top" "$right" "$top" "$left" "$bottom" "$right" "$bottom"
}
scene_run() {
  x_start "$(scene "$1")"
  x_expect "interface 1" || return 1
  full_and_back scene_full scene_back
}
for renderer in SOFTWARE OPENGL DIRECT3D; do
  x_check "a 3D view on $renderer goes full screen whole and back" scene_run "$renderer"
done

x_done
