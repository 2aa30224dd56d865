#!/usr/bin/env bash
# The side-by-side table in one command: builds fx_table for x86-64, Win32
# (run under wine) and Linux 32-bit (run natively), times every effect and
# its floors in each, the numpy peers once, and prints the markdown tables
# with the targets checked. Arguments go to every timer, e.g.
#   bash bench/table.sh --sizes 1000000 --effects Harmonik,Twist --scenes particles
# A full run (no --effects or --scenes) also writes its table into docs/speed.md,
# as this machine's section.
set -euo pipefail
cd "$(dirname "$0")/.."
python=/usr/bin/python3  # Debian's, with python3-numpy
for preset in bench bench-linux32 bench-win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2 >/dev/null
done
out=build-bench/table
mkdir -p "$out"
./build-bench/bench/fx_table "$@" >"$out/ours.tsv"
columns=()
# Both 32-bit columns need a kernel that runs 32-bit x86 programs (wine's loader is one);
# under an emulator their times would mean nothing, so without one they are left out.
if ./build-bench-linux32/bench/fx_table --list >/dev/null 2>&1; then
  ./build-bench-linux32/bench/fx_table "$@" >"$out/linux32.tsv"
  # A quiet wine prefix of the bench's own, its server started once and stopped after.
  export WINEPREFIX=$PWD/build-bench-win32/wine WINEDEBUG=-all
  mkdir -p "$WINEPREFIX"
  wineserver -p
  trap 'wineserver -k' EXIT
  wine build-bench-win32/bench/fx_table.exe "$@" | tr -d '\r' >"$out/win32.tsv"
  columns=(--win32 "$out/win32.tsv" --linux32 "$out/linux32.tsv")
else
  echo "table.sh: this kernel runs no 32-bit x86 programs: the Win32 and Linux 32-bit columns are left out" >&2
fi
# glibc's malloc keeps what numpy frees, so numpy's steady state touches no fresh pages either.
MALLOC_MMAP_THRESHOLD_=33554432 MALLOC_TRIM_THRESHOLD_=4294967296 MALLOC_TOP_PAD_=268435456 \
  "$python" bench/numpy_peers.py --catalogue "$(./build-bench/bench/fx_table --list | paste -sd, -)" "$@" \
  >"$out/numpy.tsv"
"$python" bench/table.py "$out/ours.tsv" "$out/numpy.tsv" "${columns[@]}" \
  | tee "$out/table.md"
case " $* " in
  *" --effects"* | *" --scenes"*) ;;
  *) "$python" bench/speed_page.py docs/speed.md <"$out/table.md" ;;
esac
