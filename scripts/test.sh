#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and runs every test: the CI build in full
# (warnings as errors, the benchmarks compiled but not run), the fuzz targets
# for a short fixed run, then the tests again under AddressSanitizer with
# UndefinedBehaviorSanitizer and under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

cmake --preset ci >/dev/null
cmake --build --preset ci -j2
ctest --preset ci

scripts/fuzz.sh

cmake --preset asan >/dev/null
cmake --build --preset asan -j2
ctest --preset asan

cmake --preset tsan >/dev/null
cmake --build --preset tsan -j2
ctest --preset tsan
