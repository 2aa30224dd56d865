#!/usr/bin/env bash
# Builds the fuzzers (fuzz preset) and runs each for a bounded time, starting
# from its seed corpus fuzz/corpus/<name>/ (fuzzer build-fuzz/fuzz/<name>_fuzzer).
# Any finding (a failed check, a sanitizer report, a leak, an input that runs
# longer than 10 s) fails the run and leaves its input in build-fuzz/findings/.
# Usage: scripts/fuzz.sh [seconds per fuzzer, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
findings=build-fuzz/findings
mkdir -p "$findings"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  echo "== ${name}_fuzzer for ${seconds} s"
  # New inputs go to the scratch directory: the committed seeds stay as they are.
  mkdir -p "$scratch/$name"
  "build-fuzz/fuzz/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$scratch/$name" "$corpus"
done
