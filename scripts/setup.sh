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

"$(dirname "$0")/install_missing.sh" "${packages[@]}"
