#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Rebuilds tests/data/hostile: the generated files from
# make_hostile_corpus.cpp, the rest copied from the shared samples. The result
# is committed, so the tests need neither this script nor the samples.
set -euo pipefail
cd "$(dirname "$0")/.."

folder=tests/data/hostile
samples=../shared/samples
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

mkdir -p "$folder"
g++ -std=c++20 -O1 -Wall -Wextra scripts/make_hostile_corpus.cpp -lfreeimage -o "$scratch/make_hostile_corpus"
# The TIFF library chatters about tags while writing pages; only a failure counts.
if ! "$scratch/make_hostile_corpus" "$folder" 2>"$scratch/log"; then
  cat "$scratch/log" >&2
  exit 1
fi
for sample in truncated.jpg multipage_rgb.tif palette_color.png; do
  cp "$samples/$sample" "$folder/$sample"
  chmod 644 "$folder/$sample"
done
ls -l "$folder"
