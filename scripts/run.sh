#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and runs the main job: without a display,
# quenlo-inpaint removes the marked blemishes from the bundled sample.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

cmake --preset dev >/dev/null
cmake --build --preset dev -j2

result=build/dev/sample-result.png
echo
build/dev/bin/quenlo-inpaint res/sample/coffee.png "$result" --overlay res/sample/coffee_overlay.png
echo
echo "The sample with its two marked blemishes removed is in $(pwd)/$result"
echo "(the picture: res/sample/coffee.png; the marks: res/sample/coffee_overlay.png)."
