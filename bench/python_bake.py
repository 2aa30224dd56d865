"""The Python package against fxhost on one stack: a bake of 240 frames of a
10^5-vertex mesh under Twist, Cosine and Magnet beside `fxhost run`'s effect
time for the same stack plus writing the PC2 cache; then the package's import
time and its module's stripped size.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_bake.py [--fxhost build/fxhost]

Both sides come from one build (the linux64 preset's unless told). Run it on
a quiet machine: it prints the load average it ran under. Each side is the
best of three runs.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import numpy as np

import generic_fx as fx

EFFECTS = ["GenericTwist", "_GenericCosine", "GenericMagnet"]
FRAMES = 240


def grid(rows=250, columns=400):
    """A wavy sheet of rows x columns vertices (10^5) in two triangles per cell."""
    y, x = np.mgrid[0:rows, 0:columns].astype(np.float32)
    points = np.stack([x / 40 - 5, np.sin(x / 9) * np.cos(y / 7), y / 25 - 5], axis=-1).reshape(-1, 3)
    corner = (np.arange(rows - 1)[:, None] * columns + np.arange(columns - 1)[None, :]).ravel()
    triangles = np.concatenate([np.stack([corner, corner + 1, corner + columns], 1),
                                np.stack([corner + 1, corner + columns + 1, corner + columns], 1)])
    return np.ascontiguousarray(points, np.float32), triangles.astype(np.uint32)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--fxhost", default=os.path.join("build", "fxhost"))
    args = parser.parse_args()
    points, triangles = grid()
    folder = tempfile.mkdtemp(prefix="python_bake-")
    try:
        scene = os.path.join(folder, "grid.obj")
        with open(scene, "w") as f:
            f.writelines(f"v {x:.9g} {y:.9g} {z:.9g}\n" for x, y, z in points.tolist())
            f.writelines(f"f {a + 1} {b + 1} {c + 1}\n" for a, b, c in triangles.tolist())
        load = os.getloadavg()[0]
        fxhost_seconds = []
        for _ in range(3):
            run = subprocess.run([args.fxhost, "run", *EFFECTS, "--scene", scene, "--frames", str(FRAMES)],
                                 check=True, capture_output=True, text=True).stdout
            per_frame = [float(m) for m in re.findall(r"([0-9.]+) ms per frame", run)]
            fxhost_seconds.append(sum(per_frame) * FRAMES / 1000)
        fxhost_seconds = min(fxhost_seconds)

        geometry = fx.Geometry(positions=points, triangles=triangles)
        bake_seconds, write_seconds = [], []
        for _ in range(3):
            begin = time.perf_counter()
            frames = fx.Stack(EFFECTS).bake(geometry, FRAMES)
            bake_seconds.append(time.perf_counter() - begin)
            begin = time.perf_counter()
            fx.write_pc2(os.path.join(folder, "grid.pc2"), frames)
            write_seconds.append(time.perf_counter() - begin)
            del frames
        bake_seconds, write_seconds = min(bake_seconds), min(write_seconds)

        imports = []
        for _ in range(5):
            trace = subprocess.run([sys.executable, "-X", "importtime", "-c", "import generic_fx"], check=True,
                                   capture_output=True, text=True).stderr.strip().splitlines()[-1]
            imports.append(int(trace.split("|")[1]) / 1000)
        module = os.path.join(folder, "module.so")
        shutil.copy(fx._native.__file__, module)
        subprocess.run(["strip", "--strip-unneeded", module], check=True)
        size = os.path.getsize(module)
    finally:
        shutil.rmtree(folder)

    host, ours = fxhost_seconds + write_seconds, bake_seconds + write_seconds
    print(f"load average at the start: {load:.2f}")
    print(f"fxhost run, effects: {fxhost_seconds:.3f} s; PC2 write of {FRAMES} frames: {write_seconds:.3f} s")
    print(f"package bake: {bake_seconds:.3f} s; bake and write {ours:.3f} s = {ours / host:.2f}x fxhost's effects "
          f"and the write (target 1.3x)")
    print(f"import generic_fx: best {min(imports):.1f} ms, median {sorted(imports)[2]:.1f} ms (target 50 ms)")
    print(f"module stripped: {size / 1e6:.2f} MB (target 1 MB)")


if __name__ == "__main__":
    main()
