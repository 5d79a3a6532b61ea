#!/bin/bash
# Draws the animated start-up banner (80x80 GIF): a radar screen whose beam sweeps
# round and lights up three hosts as it passes them. Needs ImageMagick and awk.
# Safe to run again; banner.gif is overwritten.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

frames=16
cx=40
cy=40
r=31
# hosts: angle in degrees (0 = east, clockwise), distance from the centre
hosts="35:20 160:24 265:14"

for ((i = 0; i < frames; i++)); do
  beam=$((i * 360 / frames))
  draw=$(awk -v a="$beam" -v cx=$cx -v cy=$cy -v r=$r -v hosts="$hosts" 'BEGIN {
    pi = atan2(0, -1)
    # fading trail behind the beam: four wedges, older ones darker
    split("#0b5d2a #0f7a37 #14a046 #1fd060", col, " ")
    for (k = 1; k <= 4; k++) {
      a0 = (a - 60 + (k - 1) * 15) * pi / 180; a1 = (a - 60 + k * 15) * pi / 180
      printf "fill %s stroke none path \"M %d,%d L %.1f,%.1f A %d,%d 0 0,1 %.1f,%.1f Z\" ",
        col[k], cx, cy, cx + r * cos(a0), cy + r * sin(a0), r, r, cx + r * cos(a1), cy + r * sin(a1)
    }
    # rings and cross hairs drawn over the trail
    printf "fill none stroke #3ce07a stroke-width 1 "
    printf "circle %d,%d %d,%d circle %d,%d %d,%d circle %d,%d %d,%d ", cx, cy, cx + r, cy, cx, cy, cx + 20, cy, cx, cy, cx + 10, cy
    printf "line %d,%d %d,%d line %d,%d %d,%d ", cx - r, cy, cx + r, cy, cx, cy - r, cx, cy + r
    # the beam itself
    printf "stroke #c8ffd8 stroke-width 2 line %d,%d %.1f,%.1f ", cx, cy, cx + r * cos(a * pi / 180), cy + r * sin(a * pi / 180)
    # hosts glow for a while after the beam has passed them
    n = split(hosts, hs, " ")
    for (h = 1; h <= n; h++) {
      split(hs[h], p, ":")
      d = a - p[1]; while (d < 0) d += 360
      x = cx + p[2] * cos(p[1] * pi / 180); y = cy + p[2] * sin(p[1] * pi / 180)
      if (d < 120) { c = (d < 45) ? "#ffffff" : "#7dffa6"; s = (d < 45) ? 4 : 3 }
      else { c = "#1e6b3a"; s = 2 }
      printf "stroke none fill %s circle %.1f,%.1f %.1f,%.1f ", c, x, y, x + s, y
    }
  }')
  eval convert -size 80x80 xc:none \
    -fill "'#06261a'" -stroke "'#2a8f55'" -strokewidth 2 -draw "'roundrectangle 1,1 78,78 12,12'" \
    -draw "'$draw'" "$tmp/f$(printf %02d $i).png"
done

convert -delay 10 -loop 0 -dispose background "$tmp"/f*.png \
  -background none -layers optimize "$here/banner.gif"
identify "$here/banner.gif" | head -3
