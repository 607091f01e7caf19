#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS seconds on a copy of its
# seed corpus in a temporary folder, so the committed corpus never grows here.
# Exits non-zero when a target crashes, hangs, runs out of memory or breaks one
# of its invariants; the input that did it is kept in build-fuzz/findings/.
#
#     scripts/fuzz.sh [SECONDS]        (default 60, a new random seed each time)
#     scripts/fuzz.sh --ci             (seed 1 and a fixed number of runs per
#                                       target: the same inputs on every machine)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
declare -A limit
if [ "${1:-}" = "--ci" ]; then
  limit[fuzz_reader]="-seed=1 -runs=20000"
  limit[fuzz_commands]="-seed=1 -runs=2000"
else
  limit[fuzz_reader]="-max_total_time=${1:-60}"
  limit[fuzz_commands]="-max_total_time=${1:-60}"
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANDREL_FUZZ=ON -DVANDREL_GUI=OFF -DVANDREL_TESTS=OFF -DVANDREL_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "${VANDREL_FUZZ_JOBS:-2}" --target fuzz_reader fuzz_commands

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/reader" "$work/commands" "$work/artifacts"
cp fuzz/corpus/reader/* "$work/reader/"
cp fuzz/corpus/commands/* "$work/commands/"

# The sample models as they are now: each on its own for the reader, and each
# pair (a.txt, b.txt) with a cut, edit, paste, save and reopen for the commands.
separator=$'\n~~~~\n'
samples=(examples/*.txt)
if [ -e "${samples[0]}" ]; then
  for a in "${samples[@]}"; do
    cp "$a" "$work/reader/sample-$(basename "$a")"
    for b in "${samples[@]}"; do
      seed="$work/commands/sample-$(basename "$a" .txt)-$(basename "$b" .txt)"
      { cat "$a"; printf '%s' "$separator"; cat "$b"; printf '%s' "$separator"
        printf 'o1a\no2b\ns1 0 2\nx1\ne50|5|sample\np2\nr2\np1\nr1\n'; } > "$seed"
    done
  done
fi

status=0
for target in fuzz_reader fuzz_commands; do
  corpus="$work/${target#fuzz_}"
  log="$work/$target.log"
  echo "== $target: ${limit[$target]}"
  # Absolute paths: fuzz_commands works in a private folder of its own.
  if "build-fuzz/fuzz/$target" ${limit[$target]} -timeout=60 -rss_limit_mb=2048 \
       -dict="$root/fuzz/milkshape.dict" -artifact_prefix="$work/artifacts/$target-" \
       -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    grep -a -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true
    grep -a -E '^stat::number_of_executed_units' "$log" || true
  else
    status=1
    echo "!! $target failed:"
    grep -a -E 'invariant violated|ERROR: |SUMMARY: |^command: ' "$log" | head -40 || true
    tail -40 "$log"
    mkdir -p build-fuzz/findings
    cp "$work"/artifacts/* build-fuzz/findings/ 2>/dev/null || true
    echo "!! the failing input is in build-fuzz/findings/; rerun it with build-fuzz/fuzz/$target FILE"
  fi
done
exit "$status"
