#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

cmake --preset dev >/dev/null
cmake --build --preset dev

echo
echo "Built:"
ls build/dev/bin
