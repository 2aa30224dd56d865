#!/usr/bin/env bash
# Builds the release packages into out/packages (or the folder given): the
# Linux .deb (linux64 preset) and the Win32 .zip (win32 preset), and
# SHA256SUMS of both.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-out/packages}")
mkdir -p "$out"
for preset in linux64 win32; do
  dir=$([ "$preset" = win32 ] && echo build-win32 || echo build)
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
  rm -rf "$dir/packages"
  (cd "$dir" && cpack -B "$PWD/packages" >/dev/null)
  find "$dir/packages" -maxdepth 1 \( -name '*.deb' -o -name '*.zip' \) -exec cp {} "$out" \;
done
cd "$out" && sha256sum ./*.deb ./*.zip | sed 's| \./| |' > SHA256SUMS
cat SHA256SUMS
