#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Peak memory of quenlo-inpaint on a 6000 x 4000 photo, next to the
# picture's own size: with a mask holding a round hole 300 pixels across,
# and with an overlay of strokes marking a 60-pixel disc. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."

tool=${TOOL:-build/release/bin/quenlo-inpaint}
work=build/bench-memory
mkdir -p "$work"
[[ -f $work/big.png ]] || convert res/sample/coffee.png -resize '6000x4000!' "$work/big.png"
[[ -f $work/hole.png ]] || convert -size 6000x4000 xc:black -fill white -draw 'circle 3000,2000 3150,2000' "$work/hole.png"
[[ -f $work/overlay.png ]] || convert -size 6000x4000 xc:black +antialias -fill 'rgb(255,125,125)' \
  -draw 'circle 3000,2000 3030,2000' "$work/overlay.png"

picture_kb=$((6000 * 4000 * 3 / 1024))
measure() { # label, the marks option
  /usr/bin/time -v "$tool" "$work/big.png" "$work/out.tif" "$2" "$3" 2>"$work/time.txt" >"$work/run.txt"
  local peak_kb
  peak_kb=$(awk -F': ' '/Maximum resident/ {print $2}' "$work/time.txt")
  echo "$1: peak resident $((peak_kb / 1024)) MiB; picture $((picture_kb / 1024)) MiB;" \
    "ratio $(awk "BEGIN {printf \"%.2f\", $peak_kb / $picture_kb}");" \
    "limit 3 x picture + 64 MiB = $((3 * picture_kb / 1024 + 64)) MiB"
}
measure "mask, 300-pixel hole" --mask "$work/hole.png"
measure "overlay, 60-pixel hole" --overlay "$work/overlay.png"
