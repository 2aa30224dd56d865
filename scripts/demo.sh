#!/usr/bin/env bash
# The main job: installs what is missing, builds generic.fx and fxhost, runs
# every effect on the built-in scene and writes the gallery out/demo/index.html.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then
  sudo bash scripts/setup.sh
else
  bash scripts/setup.sh
fi
cmake --preset linux64 >/dev/null
cmake --build --preset linux64 -j "$(nproc)" --target fxhost
build/fxhost demo --out out/demo
echo "Open $(pwd)/out/demo/index.html in a browser: one contact sheet per effect."
