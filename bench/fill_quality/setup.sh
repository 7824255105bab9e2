#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The peers and helpers the fill-quality benchmark runs, from Debian; quiet
# and quick when they are there. Only for bench/fill_quality/run.py: the
# build and the tests need none of this.
set -euo pipefail

packages=(python3-opencv python3-numpy python3-pil gmic time fonts-dejavu-core)
"$(dirname "$0")/../../scripts/install_missing.sh" "${packages[@]}"
