#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Peak memory of quenlo-inpaint on a 6000 x 4000 photo with a round hole of
# 300 pixels across, next to the picture's own size. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."

tool=${TOOL:-build/dev/bin/quenlo-inpaint}
work=build/bench-memory
mkdir -p "$work"
[[ -f $work/big.png ]] || convert ../shared/samples/coffee.png -resize '6000x4000!' "$work/big.png"
[[ -f $work/hole.png ]] || convert -size 6000x4000 xc:black -fill white -draw 'circle 3000,2000 3150,2000' "$work/hole.png"

/usr/bin/time -v "$tool" "$work/big.png" "$work/out.tif" --mask "$work/hole.png" 2>"$work/time.txt" >"$work/run.txt"
peak_kb=$(awk -F': ' '/Maximum resident/ {print $2}' "$work/time.txt")
picture_kb=$((6000 * 4000 * 3 / 1024))
echo "peak resident: $((peak_kb / 1024)) MiB; picture: $((picture_kb / 1024)) MiB; ratio $(awk "BEGIN {printf \"%.2f\", $peak_kb / $picture_kb}")"
