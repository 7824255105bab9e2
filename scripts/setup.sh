#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages Quenlo needs to build, run and test; quiet and
# quick when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libfreeimage-dev libexiv2-dev libtbb-dev libseccomp-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev
  clang-14 libclang-rt-14-dev
  desktop-file-utils appstream man-db groff-base dpkg-dev
  libimage-exiftool-perl
)

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
