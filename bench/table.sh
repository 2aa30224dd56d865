#!/usr/bin/env bash
# The side-by-side table in one command: builds the bench preset, times every
# effect, its floors and the numpy peers in one run, and prints the markdown
# table with the targets checked. Arguments go to both timers, e.g.
#   bash bench/table.sh --sizes 1000000 --effects Harmonik,Twist --scenes particles
set -euo pipefail
cd "$(dirname "$0")/.."
python=/usr/bin/python3  # Debian's, with python3-numpy
cmake --preset bench >/dev/null
cmake --build --preset bench -j2 >/dev/null
out=build-bench/table
mkdir -p "$out"
./build-bench/bench/fx_bench --table "$@" >"$out/ours.tsv"
# glibc's malloc keeps what numpy frees, so numpy's steady state touches no fresh pages either.
MALLOC_MMAP_THRESHOLD_=33554432 MALLOC_TRIM_THRESHOLD_=4294967296 MALLOC_TOP_PAD_=268435456 \
  "$python" bench/numpy_peers.py "$@" >"$out/numpy.tsv"
"$python" bench/table.py "$out/ours.tsv" "$out/numpy.tsv"
