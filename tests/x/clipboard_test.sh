# The clipboard is shared with other programs on X: texts (short, 4 MB, Latin-1) and a
# picture the script puts are what xclip reads, and what xclip puts (a text, a PNG and a
# BMP picture) is what the script reads; a picture one player puts anew replaces the one
# another player read before.
source "$(dirname "$0")/lib.sh"

xclips=()
stop_xclips() {
  local p
  for p in "${xclips[@]}"; do kill "$p" 2>/dev/null; done
  xclips=()
}
trap 'stop_xclips; x_cleanup' EXIT

# putting NAME SCRIPT: a project whose script runs SCRIPT with a Clipboard `c`, then says
# "ready" and waits.
putting() {
  x_project "$1" <<ZS
out = New File("/dev/stdout", File.WRITEONLY);
c = New Clipboard();
w = New Window("Clip", 200, 100);
$2
out.Write("ready" + Program.GetChar(10));
While (1) Program.Wait(20);
ZS
}

short=$(putting short 'c.PutData("Hello from the player");')
long=$(putting long 't = "abcdefgh"; i = 0; While (i < 19) { t = t + t; i++; } c.PutData(t);')
latin1=$(putting latin1 'c.PutData("caf" + Program.GetChar(233) + " " + Program.GetChar(252) + "ber");')
picture=$(putting picture 's = New Surface(5, 3, 32); s.Clear(Surface.WHITE); s.SetPixel(4, 0, Surface.RED); c.PutData(s);')
reading=$(x_project reading <<'ZS'
out = New File("/dev/stdout", File.WRITEONLY);
Function Show(text) { out.Write(text + Program.GetChar(10)); }
c = New Clipboard();
w = New Window("Clip", 200, 100);
Show("ready");
n = 0;
While (!c.HasText() && !c.HasImage() && n < 500) { Program.Wait(20); n++; }
If (c.HasText()) Show("text " + c.GetText());
If (c.HasImage()) {
  p = c.GetImage();
  Show("picture " + p.GetPixelWidth() + " " + p.GetPixelHeight() + " " + p.GetPixel(1, 0) + " " + p.GetPixel(0, 1));
}
While (1) Program.Wait(20);
ZS
)

# pasted [TARGET]: what xclip reads from the clipboard.
pasted() {
  timeout 10 xclip -o -selection clipboard ${1:+-t "$1"}
}

# puts PROJECT EXPECTED: xclip reads EXPECTED after the player put it.
puts() {
  x_start "$1"
  # The display, which shares the clipboard, is up once the window shows.
  x_window Clip >/dev/null && x_expect ready || return 1
  local got
  got=$(pasted; echo .)
  got=${got%.}
  [ "$got" = "$2" ] || { echo "xclip read ${#got} bytes: '${got:0:60}'" >&2; return 1; }
}
x_check "a short text reaches xclip" puts "$short" "Hello from the player"
x_check "a 4 MB text reaches xclip" puts "$long" "$(printf 'abcdefgh%.0s' $(seq 524288))"
x_check "a Latin-1 text reaches xclip as UTF-8" puts "$latin1" "$(printf 'caf\303\251 \303\274ber')"

puts_picture() {
  x_start "$picture"
  x_window Clip >/dev/null && x_expect ready || return 1
  pasted TARGETS | grep -qx image/png || { echo "no image/png among the targets" >&2; return 1; }
  pasted image/png >"$work/pasted.png" || return 1
  # 5 x 3, the top right pixel red, the rest white.
  python3 - "$work/pasted.png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG file'
at, idat, header = 8, b'', None
while at < len(data):
    size, kind = struct.unpack('>I4s', data[at:at + 8])
    body = data[at + 8:at + 8 + size]
    if kind == b'IHDR': header = struct.unpack('>IIBB', body[:10])
    if kind == b'IDAT': idat += body
    at += 12 + size
width, height, depth, colour = header
assert (width, height, depth, colour) == (5, 3, 8, 2), header
raw, rows, stride = zlib.decompress(idat), [], 3 * width
for y in range(height):
    kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    up = rows[-1] if rows else bytearray(stride)
    for i in range(stride):
        a, b = line[i - 3] if i >= 3 else 0, up[i]
        c = up[i - 3] if i >= 3 else 0
        p = a + b - c
        paeth = min((abs(p - a), 0, a), (abs(p - b), 1, b), (abs(p - c), 2, c))[2]
        line[i] = (line[i] + [0, a, b, (a + b) // 2, paeth][kind]) & 0xFF
    rows.append(line)
assert rows[0][12:15] == b'\xff\x00\x00', rows[0]
assert all(set(row[:12]) == {0xFF} for row in rows), rows
PY
}
x_check "a picture reaches xclip as image/png" puts_picture

# reads TYPE FILE EXPECTED: the script reads EXPECTED after xclip put FILE as TYPE.
reads() {
  x_start "$reading"
  x_expect ready || return 1
  xclip -quiet -i -selection clipboard -t "$1" "$2" >/dev/null 2>&1 &
  xclips+=($!)
  x_expect "$3"
}
printf 'na\303\257ve' >"$work/text"
python3 - "$work" <<'PY'
import struct, sys, zlib
def chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
# 3 x 2: the top row red, blue, white; the bottom row green.
rows = b'\0' + b'\xff\0\0\0\0\xff\xff\xff\xff' + b'\0' + b'\0\xff\0' * 3
png = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 3, 2, 8, 2, 0, 0, 0)) +
       chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b''))
open(sys.argv[1] + '/in.png', 'wb').write(png)
# The same picture as a 24-bit BMP file, rows bottom first, each padded to 12 bytes.
pixels = (b'\0\xff\0' * 3 + b'\0' * 3) + (b'\0\0\xff' + b'\xff\0\0' + b'\xff\xff\xff' + b'\0' * 3)
info = struct.pack('<IiiHHIIiiII', 40, 3, 2, 1, 24, 0, len(pixels), 0, 0, 0, 0)
open(sys.argv[1] + '/in.bmp', 'wb').write(b'BM' + struct.pack('<IHHI', 54 + len(pixels), 0, 0, 54) + info + pixels)
PY
x_check "xclip's text reaches the script" reads UTF8_STRING "$work/text" "$(printf 'text na\357ve')"
stop_xclips
x_check "xclip's PNG picture reaches the script" reads image/png "$work/in.png" "picture 3 2 255 65280"
stop_xclips
x_check "xclip's BMP picture reaches the script" reads image/bmp "$work/in.bmp" "picture 3 2 255 65280"
stop_xclips

stop_xclips

# A painter puts a red picture, a click puts a blue one; each key pressed in the reader
# prints the colour of the picture it reads then.
painter=$(x_project painter <<'ZS'
out = New File("/dev/stdout", File.WRITEONLY);
c = New Clipboard();
s = New Surface(2, 2, 32);
Function Put(colour) { s.Clear(colour); c.PutData(s); out.Write("put " + colour + Program.GetChar(10)); }
Function Clicked(w, x, y, b) { Put(Surface.BLUE); }
w = New Window("Painter", 200, 100, 0, 0);
w.OnMouseDown = Clicked;
Put(Surface.RED);
out.Write("ready" + Program.GetChar(10));
While (1) Program.Wait(20);
ZS
)
viewer=$(x_project viewer <<'ZS'
out = New File("/dev/stdout", File.WRITEONLY);
c = New Clipboard();
Function Pressed(w, code, flags, text) {
  If (!c.HasImage()) Return;
  p = c.GetImage();
  out.Write("pixel " + p.GetPixel(0, 0) + Program.GetChar(10));
}
w = New Window("Viewer", 200, 100, 300, 0);
w.OnKeyDown = Pressed;
out.Write("ready" + Program.GetChar(10));
While (1) Program.Wait(20);
ZS
)
painter_pid=""
stop_painter() {
  [ -n "$painter_pid" ] && { kill -KILL "$painter_pid" 2>/dev/null; wait "$painter_pid" 2>/dev/null; }
  painter_pid=""
}
trap 'stop_painter; stop_xclips; x_cleanup' EXIT
picture_replaced() {
  x_launch "$painter" Painter || return 1
  local painter_id=$id
  painter_pid=$pid painter_out=$out pid=""
  x_launch "$viewer" Viewer || return 1
  local viewer_id=$id
  x_focus "$viewer_id" && x_key r && x_expect "pixel 16711680" || return 1
  x_click "$painter_id" 50 50
  local i
  for ((i = 0; i < 100; i++)); do grep -q "put 255" "$painter_out" && break; sleep 0.05; done
  x_focus "$viewer_id" && x_key b && x_expect "pixel 255" || return 1
  # Read again while nothing changed: still the blue one.
  x_focus "$viewer_id" && x_key c || return 1
  for ((i = 0; i < 100; i++)); do [ "$(grep -c "pixel 255" "$out")" -eq 2 ] && return 0; sleep 0.05; done
  echo "the second reading of the same picture did not come: $(cat "$out")" >&2
  return 1
}
x_check "a picture put anew by another player replaces the one read before" picture_replaced
stop_painter
x_done
