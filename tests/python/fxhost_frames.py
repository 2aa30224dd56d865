"""fxhost's frames as arrays: the package's and Blender's are compared with them.

FXHOST names the fxhost to run (the build's). Its OBJ frames carry nine
significant digits, which read every float back exactly.
"""
import os
import subprocess

import numpy as np

FXHOST = os.environ.get("FXHOST", "fxhost")


def run(args, out):
    """`fxhost run ARGS --out OUT`: the frames' OBJ files, in order."""
    subprocess.run([FXHOST, "run", *args, "--out", str(out)], check=True, capture_output=True, timeout=600)
    return sorted(os.path.join(out, f) for f in os.listdir(out) if f.endswith(".obj"))


def read_obj(path):
    """The scene of an OBJ frame fxhost wrote, as Geometry's arguments."""
    lines = {}
    for line in open(path):
        key, _, rest = line.partition(" ")
        lines.setdefault(key, []).append(rest)

    def numbers(key, width, dtype=np.float32):
        text = " ".join(lines.get(key, []))
        return np.fromstring(text, sep=" ").astype(dtype).reshape(-1, width)

    v = numbers("v", 3)
    corners = [c.split("/") for f in lines.get("f", []) for c in f.split()]
    faces = np.array([int(c[0]) - 1 for c in corners], dtype=np.uint32).reshape(-1, 3)
    scene = {"positions": v[:int(faces.max()) + 1 if len(faces) else 0].copy(), "triangles": faces}
    if "vn" in lines:
        scene["normals"] = numbers("vn", 3)
    if "vt" in lines:
        scene["uvs"] = numbers("vt", 2)
        scene["uv_triangles"] = np.array([int(c[1]) - 1 for c in corners], dtype=np.uint32).reshape(-1, 3)
    curves = [np.fromstring(line, sep=" ", dtype=np.int64) - 1 for line in lines.get("l", [])]
    scene["closed"] = [len(c) >= 3 and c[0] == c[-1] for c in curves]
    scene["curves"] = [v[c[:-1] if closed else c].copy() for c, closed in zip(curves, scene["closed"])]
    scene["particles"] = v[np.fromstring(" ".join(lines.get("p", [])), sep=" ", dtype=np.int64) - 1].copy()
    return scene


def same_bits(a, b):
    return a.shape == b.shape and np.array_equal(a.view(np.uint32), b.view(np.uint32))
