#!/usr/bin/env bash
# Installs the packages that are missing and builds generic.fx and fxhost
# (preset linux64): what demo.sh and view.sh start from.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then
  sudo bash scripts/setup.sh
else
  bash scripts/setup.sh
fi
cmake --preset linux64 >/dev/null
cmake --build --preset linux64 -j "$(nproc)" --target fxhost
