#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Redraws the button pictures in res/buttons from draw_button_pictures.cpp,
# and copies them for the help pages.
set -euo pipefail
cd "$(dirname "$0")/.."
tool=$(mktemp -d)
trap 'rm -rf "$tool"' EXIT
g++ -std=c++20 -fPIC -O1 scripts/draw_button_pictures.cpp -o "$tool/draw" $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$tool/draw" res/buttons
# The help pages show the buttons they explain.
mkdir -p help/images
for picture in res/buttons/*@2x.png; do
  cp "$picture" "help/images/$(basename "$picture" @2x.png).png"
done
