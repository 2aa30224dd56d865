#!/usr/bin/env bash
# How fast `fxhost view` plays and scrubs on Mesa's software renderer under
# Xvfb: the built-in scene with one effect, and a sphere of 99,856 vertices
# (199,080 triangles) with three effects stacked. Prints the viewer's own
# measurements: wall-clock and processor time per frame.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$work/sphere.obj" <<'PY'
import math, sys
n = 316
with open(sys.argv[1], "w") as f:
    for i in range(n):
        t = math.pi * (i + 0.5) / n
        for j in range(n):
            p = 2 * math.pi * j / n
            f.write(f"v {3 * math.sin(t) * math.cos(p):.6f} {3 * math.cos(t):.6f} {3 * math.sin(t) * math.sin(p):.6f}\n")
    for i in range(n - 1):
        for j in range(n):
            a, b = i * n + j + 1, i * n + (j + 1) % n + 1
            f.write(f"f {a} {a + n} {b}\nf {b} {a + n} {b + n}\n")
PY
printf 'add GenericTwist\nplay 120\nquit\n' > "$work/builtin.txt"
printf 'scene %s\nadd GenericTwist\nadd GenericMagnet\nadd GenericHarmonik\nframe-all\nplay 60\nframe 240\nframe 1\nframe 240\nquit\n' \
  "$work/sphere.obj" > "$work/sphere.txt"
for script in builtin sphere; do
  echo "== $script"
  xvfb-run -a -s "-screen 0 1600x1000x24" build/fxhost view --script "$work/$script.txt"
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
