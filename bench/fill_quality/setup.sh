#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The peers and helpers the fill-quality benchmark runs, from Debian; quiet
# and quick when they are there. Only for bench/fill_quality/run.py: the
# build and the tests need none of this.
set -euo pipefail

packages=(python3-opencv python3-numpy python3-pil gmic time fonts-dejavu-core)
missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
