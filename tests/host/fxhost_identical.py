#!/usr/bin/env python3
"""The same fxhost runs on two builds must write byte-identical OBJ frames.

usage: fxhost_identical.py REFERENCE WORKDIR CANDIDATE [ARGUMENT ...]
REFERENCE is the Linux 64-bit fxhost; CANDIDATE ARGUMENT... the command that
runs the other build's fxhost (e.g. wine_run.sh PREFIX fxhost.exe). Every
effect alone and all of them stacked, on the built-in scene and on a scene file,
at the defaults and at seeded random parameters edited mid-run, 48 frames
each: one process per run and build, frames compared by checksum.
"""
import hashlib
import os
import random
import re
import shutil
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

REFERENCE, WORK, *CANDIDATE = sys.argv[1:]
FRAMES = 48
RANDOM_SETS = 3


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def run(command, *args):
    result = subprocess.run([*command, *args], capture_output=True, text=True, timeout=600)
    if result.returncode != 0:
        fail(f"{' '.join(command + list(args))}: exit {result.returncode}: {result.stderr.strip()}")
    return result.stdout


def built_names(command):
    out = run(command, "list", "--bold", "never").replace("\r", "")
    return [m.group(2) for m in re.finditer(r"^\s*(\d+)\s+(\S+)\s+(.*)$", out.split("\n\n", 2)[2], re.M)
            if "(not built)" not in m.group(3)]


def catalogue():
    names = built_names([REFERENCE])
    params = {}
    for name in names:
        lines = run([REFERENCE], "params", name).splitlines()[1:]
        params[name] = [re.match(r"\s+(\S+)\s+(.*?)\s+= ", line).groups() for line in lines]
    return names, params


def scene_file(path):
    # A wavy grid with uvs and normals, an open and a closed curve, particles:
    # numbers of six decimals at most, which every C runtime reads alike.
    rng = random.Random(11)
    lines, n = [], 14
    for j in range(n):
        for i in range(n):
            lines.append(f"v {i * 0.5 - 3:.6f} {rng.uniform(-0.4, 0.4):.6f} {j * 0.5 - 3:.6f}")
    for j in range(n):
        for i in range(n):
            lines.append(f"vt {i / (n - 1):.6f} {j / (n - 1):.6f}")
    lines.append("vn 0 1 0")
    lines.append("vn 0.6 0.8 0")
    for j in range(n - 1):
        for i in range(n - 1):
            a = j * n + i + 1
            corners = [a, a + 1, a + n + 1, a + n]
            lines.append("f " + " ".join(f"{c}/{c}/{1 + (c + j) % 2}" for c in corners))
    base = n * n
    for count, closed in [(40, False), (30, True)]:
        first = base + 1
        for k in range(count):
            lines.append(f"v {rng.uniform(-5, 5):.6f} {rng.uniform(-5, 5):.6f} {rng.uniform(-5, 5):.6f}")
        lines.append("l " + " ".join(str(first + k) for k in range(count)) + (f" {first}" if closed else ""))
        base += count
    for k in range(300):
        lines.append(f"v {rng.uniform(-4, 4):.6f} {rng.uniform(-4, 4):.6f} {rng.uniform(-4, 4):.6f}")
    lines.append("p " + " ".join(str(base + 1 + k) for k in range(300)))
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def value(rng, kind):
    if kind == "flag":
        return str(rng.randint(0, 1))
    if kind == "scalar":
        return f"{rng.uniform(0, 1):.4f}"
    if kind == "point":
        return ",".join(f"{rng.uniform(-6, 6):.3f}" for _ in range(3))
    return f"{rng.uniform(0.05, 2):.4f}"


def settings(rng, stack, params):
    # Some parameters set before the start, more edited at random frames.
    out = []
    for effect in stack:
        prefix = effect + "." if len(stack) > 1 else ""
        for kind, name in rng.sample(params[effect], min(3, len(params[effect]))):
            out += ["--set", f"{prefix}{name}={value(rng, kind)}"]
        for _ in range(4):
            kind, name = rng.choice(params[effect])
            out += ["--set", f"{rng.randint(2, FRAMES)}:{prefix}{name}={value(rng, kind)}"]
    return out


def frames(folder):
    files = sorted(f for f in os.listdir(folder) if f.endswith(".obj"))
    if len(files) != FRAMES:
        fail(f"{folder} holds {len(files)} frames, not {FRAMES}")
    return [(f, hashlib.sha256(open(os.path.join(folder, f), "rb").read()).hexdigest()) for f in files]


def first_difference(a, b):
    with open(a, "rb") as fa, open(b, "rb") as fb:
        for number, (x, y) in enumerate(zip(fa, fb), 1):
            if x != y:
                return f"line {number}: {x.decode().strip()!r} / {y.decode().strip()!r}"
    return "a file is longer"


def compare(job):
    label, args = job
    folders = [os.path.join(WORK, side, label) for side in ("reference", "candidate")]
    for command, folder in zip([[REFERENCE], CANDIDATE], folders):
        run(command, "run", *args, "--frames", str(FRAMES), "--out", folder)
    ours, theirs = frames(folders[0]), frames(folders[1])
    for (name, a), (_, b) in zip(ours, theirs):
        if a != b:
            return f"{label}: {name} differs, {first_difference(*(os.path.join(f, name) for f in folders))}"
    for folder in folders:
        shutil.rmtree(folder)
    return None


def main():
    for path in [REFERENCE, CANDIDATE[-1]]:
        if not os.path.exists(path):
            fail(f"{path} is missing: build both presets first (scripts/test.sh builds linux64 before the others)")
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    names, params = catalogue()
    if not names or names != built_names(CANDIDATE):
        fail(f"the catalogues differ, or build nothing: {names}")
    scene = os.path.join(WORK, "scene.obj")
    scene_file(scene)
    jobs = []
    for stack in [[name] for name in names] + [names]:
        for scene_label, scene_args in [("builtin", []), ("file", ["--scene", scene])]:
            for parameter_set in range(1 + RANDOM_SETS):
                label = f"{'+'.join(stack) if len(stack) == 1 else 'all'}-{scene_label}-{parameter_set}"
                rng = random.Random(f"{label}")
                edits = settings(rng, stack, params) if parameter_set else []
                jobs.append((label, [*stack, *scene_args, *edits]))
    with ThreadPoolExecutor(2) as pool:
        differences = [d for d in pool.map(compare, jobs) if d]
    for d in differences:
        print(d)
    if differences:
        fail(f"{len(differences)} of {len(jobs)} runs differ")
    print(f"{len(jobs)} runs of {FRAMES} frames: every frame byte-identical")


main()
