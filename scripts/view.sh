#!/usr/bin/env bash
# Installs what is missing, builds fxhost and the plug-in, and opens the live
# viewer: `bash scripts/view.sh [EFFECT ...] [--scene FILE] [--session FILE]`
# (every option of `fxhost view`).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build_fxhost.sh
exec build/fxhost view "$@"
