#!/usr/bin/env bash
# Builds every target and runs every test and check: Linux 64-bit (with the
# memcheck run of the tests that load the plug-in), the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, Linux 32-bit (natively, or
# under qemu-i386 where the kernel runs no i386 code), Win32 (the suite and
# fxhost.exe under wine where the kernel runs 32-bit code, the DLL's ABI
# checks everywhere), the release packages (built and unpacked), the example
# effect added to a copy of the tree as the checklist says, and the fuzzers
# for a minute each. Every build's fxhost is held to the committed digests of
# its frames (tests/golden/frames.sha256).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}
jobs=$(nproc)
for preset in linux64 asan linux32 win32; do
  echo "== $preset"
  start=$SECONDS
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
  echo "== $preset: $((SECONDS - start)) s"
done
echo "== adding an effect"
bash scripts/check_adding_an_effect.sh
echo "== packages"
bash scripts/package.sh out/packages
bash tests/packages/check_packages.sh out/packages
echo "== fuzz"
bash scripts/fuzz.sh 60
