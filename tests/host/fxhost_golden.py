#!/usr/bin/env python3
"""fxhost's frames against the committed digests: every build writes the same bytes.

usage: fxhost_golden.py check|update DIGESTS WORKDIR FXHOST [ARGUMENT ...]
FXHOST ARGUMENT... is the command that runs the build's fxhost (through
wine_run.sh or qemu-i386 for the 32-bit builds). Every effect alone and all
of them stacked, on the built-in scene and on a scene file, at the defaults
and at seeded parameters set before the start and edited mid-run: the
SHA-256 of every OBJ frame, compared with DIGESTS (`check`) or written to it
(`update`, after a change of output that a new major version allows).
"""
import hashlib
import json
import os
import random
import shutil
import sys
from concurrent.futures import ThreadPoolExecutor

import host_checks
from host_checks import check

MODE, DIGESTS, WORK, *FXHOST = sys.argv[1:]
FRAMES = 12
RANDOM_SETS = 3
HEADER = """\
# SHA-256 of fxhost's OBJ frames: run label, frame, digest. Checked on every
# build by the test fxhost_golden; regenerated only when the effects' output
# may change (a new major version, see CHANGELOG.md) with
#   python3 tests/host/fxhost_golden.py update tests/golden/frames.sha256 build/golden build/fxhost
"""


def run(*args):
    result = host_checks.run(FXHOST, *args, timeout=600)
    check(result.returncode == 0, f"fxhost {' '.join(args)}: exit {result.returncode}: {result.stderr.strip()}")
    return result.stdout


def scene_file(path):
    # A wavy grid of quads with uvs and corner normals, an open and a closed
    # curve, particles: numbers of six decimals, which every C runtime reads alike.
    rng, n = random.Random(11), 14
    points = lambda count, r: [f"v {rng.uniform(-r, r):.6f} {rng.uniform(-r, r):.6f} {rng.uniform(-r, r):.6f}"
                               for _ in range(count)]
    lines = [f"v {i * 0.5 - 3:.6f} {rng.uniform(-0.4, 0.4):.6f} {j * 0.5 - 3:.6f}" for j in range(n) for i in range(n)]
    lines += [f"vt {i / (n - 1):.6f} {j / (n - 1):.6f}" for j in range(n) for i in range(n)] + ["vn 0 1 0", "vn 0.6 0.8 0"]
    lines += ["f " + " ".join(f"{c}/{c}/{1 + (c + j) % 2}" for c in [a, a + 1, a + n + 1, a + n])
              for j in range(n - 1) for a in range(j * n + 1, j * n + n)]
    first = n * n + 1
    for count, closed in [(40, False), (30, True)]:
        lines += points(count, 5) + ["l " + " ".join(map(str, range(first, first + count))) + (f" {first}" if closed else "")]
        first += count
    lines += points(300, 4) + ["p " + " ".join(map(str, range(first, first + 300)))]
    return host_checks.write(path, "\n".join(lines) + "\n")


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


def runs(names, params, scene):
    jobs = []
    for stack in [[name] for name in names] + [names]:
        for scene_label, scene_args in [("builtin", []), ("file", ["--scene", scene])]:
            for parameter_set in range(1 + RANDOM_SETS):
                label = f"{stack[0] if len(stack) == 1 else 'all'}-{scene_label}-{parameter_set}"
                edits = settings(random.Random(label), stack, params) if parameter_set else []
                jobs.append((label, [*stack, *scene_args, *edits]))
    return jobs


def digests(job):
    label, args = job
    folder = os.path.join(WORK, label)
    run("run", *args, "--frames", str(FRAMES), "--out", folder)
    files = sorted(f for f in os.listdir(folder) if f.endswith(".obj"))
    check(len(files) == FRAMES, f"{label}: {len(files)} frames written, not {FRAMES}")
    out = {(label, i + 1): hashlib.sha256(open(os.path.join(folder, f), "rb").read()).hexdigest()
           for i, f in enumerate(files)}
    shutil.rmtree(folder)
    return out


def main():
    check(MODE in ("check", "update"), __doc__)
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    names = [name for _, name, built in host_checks.catalogue(FXHOST) if built]
    params = {name: [(p["kind"], p["name"]) for p in json.loads(run("params", name, "--format", "json"))["params"]]
              for name in names}
    jobs = runs(names, params, scene_file(os.path.join(WORK, "scene.obj")))
    with ThreadPoolExecutor(2) as pool:
        got = {key: digest for d in pool.map(digests, jobs) for key, digest in d.items()}
    if MODE == "update":
        with open(DIGESTS, "w") as f:
            f.write(HEADER + "".join(f"{label} {frame} {got[(label, frame)]}\n" for label, frame in sorted(got)))
        print(f"{len(jobs)} runs of {FRAMES} frames written to {DIGESTS}")
        return
    rows = [line.split() for line in open(DIGESTS) if line.strip() and not line.startswith("#")]
    want = {(label, int(frame)): digest for label, frame, digest in rows}
    problems = []
    for label, _ in jobs:
        changed = [frame for frame in range(1, FRAMES + 1) if got[(label, frame)] != want.get((label, frame))]
        if changed and (label, 1) not in want:
            problems.append(f"{label}: no digests committed (a new effect or run? regenerate, see {DIGESTS})")
        elif changed:
            problems.append(f"{label}: frame {changed[0]} changed first ({len(changed)} of {FRAMES} frames differ)")
    gone = sorted({label for label, _ in want} - {label for label, _ in jobs})
    problems += [f"{label}: committed but no longer run (an effect left the catalogue?)" for label in gone]
    check(not problems, "\n".join(problems) + f"\n{len(problems)} of {len(jobs)} runs differ from {DIGESTS}")
    print(f"{len(jobs)} runs of {FRAMES} frames: every frame as committed")


main()
