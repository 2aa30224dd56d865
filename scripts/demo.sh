#!/usr/bin/env bash
# The main job: installs what is missing, builds generic.fx and fxhost, runs
# every effect on the built-in scene and writes the gallery out/demo/index.html.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build_fxhost.sh
build/fxhost demo --out out/demo
echo "Open $(pwd)/out/demo/index.html in a browser: one contact sheet per effect."
