#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, then the tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer, then a short run of
# each fuzz target with a fixed seed (scripts/fuzz.sh --ci).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVANDREL_SANITIZE=ON -DVANDREL_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j "$jobs")

if [ -x scripts/fuzz.sh ]; then
  scripts/fuzz.sh --ci
fi
