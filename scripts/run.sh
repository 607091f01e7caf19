#!/usr/bin/env bash
# Builds Vandrel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only the program, its command-line twin and the help: the tests build with scripts/test.sh.
cmake --build build -j "$(nproc)" --target vandrel vandrel-cli vandrel_help
if [ -x build/app/vandrel ]; then
  exec build/app/vandrel "$@"
fi
# Without the window: the sample walk cycle through vandrel-cli.
exec build/app/vandrel-cli <<'SCRIPT'
open 1 examples/walk.txt
table 1
stats 1
status
SCRIPT
