#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets and runs each over its seed corpus plus a
# fixed number of new inputs. The loader starts a decoding process for every
# input, so it gets fewer. Longer runs: RUNS=100000 LOADER_RUNS=20000 scripts/fuzz.sh
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${RUNS:-1500}
loader_runs=${LOADER_RUNS:-1000}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for target in inpaint picture_loader metadata_reader; do
  corpus=tests/fuzz/corpus/$target
  mkdir -p "$scratch/$target"
  count=$runs
  [[ $target == picture_loader ]] && count=$loader_runs
  echo "fuzzing $target ($count runs beyond the seed corpus)"
  log="$scratch/$target.log"
  if ! (cd "$scratch" && "$OLDPWD/build/fuzz/bin/${target}_fuzzer" -seed=1 -runs="$count" -max_len=4096 \
        -timeout=60 -rss_limit_mb=8192 -malloc_limit_mb=8192 "$scratch/$target" "$OLDPWD/$corpus" >"$log" 2>&1); then
    tail -n 40 "$log"
    echo "fuzz target $target failed"
    exit 1
  fi
  tail -n 1 "$log"
done
