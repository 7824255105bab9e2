#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws help/images/guide_example.png with ImageMagick: a made-up shoreline
# with a rock on it, marked with a red stroke and a blue guide along the
# shoreline (left), and what quenlo-inpaint's structure method makes of it
# (right), at twice the size so that the one-pixel guide shows. The program
# is taken from $QUENLO_INPAINT, else the release build.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shore="C 105,40 60,110 0,58"
convert -size 160x120 xc:'#d8bf8a' \
  -fill '#3f78b5' -draw "path 'M 0,0 L 160,0 L 160,80 $shore Z'" \
  -seed 7 -attenuate 0.35 +noise Gaussian "$work/shore.png"
convert "$work/shore.png" -fill '#4a3f36' -stroke '#2f2822' -draw "ellipse 80,72 15,12 0,360" "$work/rock.png"
# The guide: the shoreline itself, one pixel wide, from a little before the
# stroke to a little after it.
convert -size 160x120 xc:none +antialias -fill none -stroke '#4b7dff' -strokewidth 1 \
  -draw "path 'M 160,80 $shore'" -crop 66x120+47+0 +repage "$work/guide.png"
convert "$work/rock.png" +antialias -fill '#ff7d7d' -stroke none -draw "ellipse 80,72 19,16 0,360" \
  "$work/guide.png" -geometry +47+0 -composite "$work/marked.png"
convert -size 160x120 xc:black +antialias -fill '#ff7d7d' -stroke none -draw "ellipse 80,72 19,16 0,360" \
  "$work/guide.png" -geometry +47+0 -composite -alpha off "$work/overlay.png"
"${QUENLO_INPAINT:-build/release/bin/quenlo-inpaint}" "$work/rock.png" "$work/filled.png" \
  --overlay "$work/overlay.png" --method structure --quiet
convert \( "$work/marked.png" -scale 200% \) -size 8x240 xc:white \( "$work/filled.png" -scale 200% \) +append \
  -depth 8 -strip help/images/guide_example.png
