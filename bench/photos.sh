#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The photographs the whole-path benchmarks read, made from the coffee sample
# (never committed): for 6, 12 and 24 megapixels a JPEG, a mask PNG (8-bit
# grey) with a disc 160 pixels across in the middle, and the same disc as an
# overlay of the removal colour. Needs ImageMagick; prints the folder.
set -euo pipefail
cd "$(dirname "$0")/.."

folder=${QUENLO_BENCH_PHOTOS:-build/bench-photos}
mkdir -p "$folder"
for size in 6:3000x2000 12:4240x2830 24:6000x4000; do
  megapixels=${size%%:*}
  geometry=${size#*:}
  width=${geometry%x*}
  height=${geometry#*x}
  cx=$((width / 2))
  cy=$((height / 2))
  [[ -f $folder/photo$megapixels.jpg ]] ||
    convert res/sample/coffee.png -resize "$geometry!" -quality 92 "$folder/photo$megapixels.jpg"
  [[ -f $folder/mask$megapixels.png ]] ||
    convert -size "$geometry" xc:black -fill white -draw "circle $cx,$cy $((cx + 80)),$cy" \
      -depth 8 -type Grayscale "$folder/mask$megapixels.png"
  [[ -f $folder/overlay$megapixels.png ]] ||
    convert -size "$geometry" xc:black +antialias -fill 'rgb(255,125,125)' \
      -draw "circle $cx,$cy $((cx + 80)),$cy" -type TrueColor "$folder/overlay$megapixels.png"
done
echo "$folder"
