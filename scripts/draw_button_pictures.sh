#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Redraws the button pictures in res/buttons from draw_button_pictures.cpp.
set -euo pipefail
cd "$(dirname "$0")/.."
tool=$(mktemp -d)
trap 'rm -rf "$tool"' EXIT
g++ -std=c++20 -fPIC -O1 scripts/draw_button_pictures.cpp -o "$tool/draw" $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$tool/draw" res/buttons
