#!/usr/bin/env bash
# Installs what is missing, builds fxhost and the plug-in, and opens the live
# viewer: `bash scripts/view.sh [EFFECT ...] [--scene FILE] [--session FILE]`
# (every option of `fxhost view`).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then
  sudo bash scripts/setup.sh
else
  bash scripts/setup.sh
fi
cmake --preset linux64 >/dev/null
cmake --build --preset linux64 -j "$(nproc)" --target fxhost
exec build/fxhost view "$@"
