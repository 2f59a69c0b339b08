#!/usr/bin/env bash
# Draws the window's pictures and icon into src/app/resources/. Needs ImageMagick and the WenQuanYi
# Micro Hei font (Debian: imagemagick, fonts-wqy-microhei). The results are committed; run this only to
# change them.
set -euo pipefail
out=$(cd "$(dirname "$0")/../src/app/resources" && pwd)
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Background, 270 x 381: a banner over the top 81 px (the clickable home-page area), a pale panel below.
convert -size 270x81 gradient:'#1d4f91'-'#3f8fd8' \
  \( -size 270x81 xc:none -fill 'rgba(255,255,255,0.10)' -draw 'circle 235,10 300,10' \
     -fill 'rgba(255,255,255,0.08)' -draw 'circle 30,95 95,95' \) -composite \
  -fill white -font "$font" -pointsize 22 -annotate +16+36 'VexaIpSet' \
  -fill '#d8ecff' -pointsize 12 -annotate +17+58 '网吧克隆机 IP / 计算机名 自动设置' \
  -fill '#ffffff' -draw 'rectangle 0,78 270,80' \
  "$tmp/banner.png"
convert -size 270x300 xc:'#eef5fc' "$tmp/panel.png"
convert "$tmp/banner.png" "$tmp/panel.png" -append -dither None -colors 256 -type Palette BMP3:"$out/background.bmp"

# Picture1, 58 x 58: a workstation.
convert -size 58x58 xc:'#eef5fc' \
  -fill '#2b5c9a' -draw 'roundrectangle 8,9 50,38 4,4' \
  -fill '#8fd0ff' -draw 'rectangle 12,13 46,34' \
  -fill '#2b5c9a' -draw 'rectangle 26,38 32,45' -draw 'roundrectangle 16,45 42,49 2,2' \
  -fill '#ffffff' -draw 'polygon 14,15 30,15 14,27' \
  -colors 256 -type Palette BMP3:"$out/picture1.bmp"

# Picture2, 57 x 57: the network it joins.
convert -size 57x57 xc:'#eef5fc' \
  -fill none -stroke '#2b5c9a' -strokewidth 2 \
  -draw 'line 28,16 12,40' -draw 'line 28,16 44,40' -draw 'line 12,40 44,40' \
  -stroke none -fill '#3f8fd8' -draw 'circle 28,16 28,8' \
  -fill '#00a040' -draw 'circle 12,40 12,33' -draw 'circle 44,40 44,33' \
  -colors 256 -type Palette BMP3:"$out/picture2.bmp"

# Icon: a blue tile with "IP", 16, 32 and 48 px, each PNG-compressed as Windows reads icons since Vista
# (13 KB less than bitmaps in the executable), 8 bits a channel (Wine's user32 decodes no 16-bit PNG).
for s in 16 32 48; do
  r=$((s / 6))
  convert -size ${s}x${s} xc:none -fill '#1d4f91' -draw "roundrectangle 0,0 $((s - 1)),$((s - 1)) $r,$r" \
    -fill white -font "$font" -pointsize $((s * 11 / 20)) -gravity center -annotate +0+0 'IP' \
    -strip -define png:exclude-chunks=date,time PNG32:"$tmp/icon$s.png"
done
python3 - "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" "$out/VexaIpSet.ico" <<'PY'
import struct, sys
pngs = [open(path, 'rb').read() for path in sys.argv[1:-1]]
out = struct.pack('<HHH', 0, 1, len(pngs))
offset = 6 + 16 * len(pngs)
for png in pngs:
    size = struct.unpack('>I', png[16:20])[0]
    out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(png), offset)
    offset += len(png)
open(sys.argv[-1], 'wb').write(out + b''.join(pngs))
PY
ls -l "$out"
