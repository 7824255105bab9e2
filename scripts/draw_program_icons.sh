#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Renders the scalable program icon dist/icons/quenlo.svg to the PNG sizes the
# icon theme installs (needs rsvg-convert: apt-get install librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../dist/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" quenlo.svg --output "quenlo-$size.png"
done
