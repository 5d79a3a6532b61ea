#!/bin/bash
# Regenerates every rendered picture in resources/ from the SVG sources in resources/src.
# Needs: rsvg-convert (librsvg2-bin), ImageMagick (convert, identify), python3, fonts-noto-cjk.
# Safe to run again at any time; outputs are overwritten.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$here/src
tree=$here/tree
ico=$here/ICO
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tree" "$ico"

# svg name, output name, size
png() { rsvg-convert -w "$3" -h "$3" -o "$tmp/$2" "$src/$1.svg" && convert "$tmp/$2" -strip "png32:$tree/$2"; }

png ok         ok.png          512
png no         no.png          512
png all        all.png         128
png printer    print.png       256
png server     server.png      256
png nas        nas.png         128
png cam        cam.png         256
png net        net.png         256
png pc         pc.png          256
png wifi       wifi.png        1024
png web_server web_server.png  128
png cdrom      cdrom.png       256
png sql        sql.png         128
png database   database.png    128

# splash picture (opaque JPEG)
rsvg-convert -w 650 -h 650 -o "$tmp/start.png" "$src/splash.svg"
convert "$tmp/start.png" -background white -flatten -strip -quality 92 "$tree/start.jpg"

# application icon: 256, 128, 3x48, 3x32, 3x16 (32-bit, 8-bit and 4-bit colour)
for s in 256 128 48 32 16; do
  rsvg-convert -w $s -h $s -o "$tmp/app$s.png" "$src/app.svg"
done
python3 "$here/mkico.py" "$ico/Lanrik1.ico" \
  "$tmp/app256.png:32" "$tmp/app128.png:32" \
  "$tmp/app48.png:32" "$tmp/app48.png:8" "$tmp/app48.png:4" \
  "$tmp/app32.png:32" "$tmp/app32.png:8" "$tmp/app32.png:4" \
  "$tmp/app16.png:32" "$tmp/app16.png:8" "$tmp/app16.png:4"

# small tree icons: 32 and 16
for n in mycomp drivenet; do
  for s in 32 16; do rsvg-convert -w $s -h $s -o "$tmp/$n$s.png" "$src/$n.svg"; done
done
python3 "$here/mkico.py" "$tree/MYCOMP.ICO"   "$tmp/mycomp32.png:32"   "$tmp/mycomp16.png:32"
python3 "$here/mkico.py" "$tree/DRIVENET.ICO" "$tmp/drivenet32.png:32" "$tmp/drivenet16.png:32"

echo "rendered into $tree and $ico"
