#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and runs the main job: with a display,
# the editor opens on the bundled sample; without one, quenlo-inpaint removes
# the sample's marked blemishes.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

cmake --preset dev >/dev/null
# Only the two programs: the tests and benchmarks are not needed to start them.
cmake --build --preset dev -j2 --target quenlo quenlo-inpaint

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  echo
  echo "Starting the editor on res/sample/coffee.png: paint over the two pale"
  echo "blemishes on the table at the left edge, then press Paint."
  exec build/dev/bin/quenlo res/sample/coffee.png
fi

result=build/dev/sample-result.png
echo
build/dev/bin/quenlo-inpaint res/sample/coffee.png "$result" --overlay res/sample/coffee_overlay.png
echo
echo "No display: the command-line tool ran instead of the editor."
echo "The sample with its two marked blemishes removed is in $(pwd)/$result"
echo "(the picture: res/sample/coffee.png; the marks: res/sample/coffee_overlay.png)."
