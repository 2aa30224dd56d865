#!/usr/bin/python3
"""Joins the rows of `fx_table` and bench/numpy_peers.py into one markdown
table, adds the 32-bit builds' figures beside x86-64's, and checks the speed
targets on the largest size's cells.

    table.py ours.tsv numpy.tsv [--win32 win32.tsv] [--linux32 linux32.tsv]
"""
import datetime
import subprocess
import sys
from collections import defaultdict

SCENES = ["particles", "mesh+normals", "shuffled+normals", "mesh", "spline", "strands"]
NORMAL_SCENES = ["mesh+normals", "shuffled+normals"]
# The most an effect may take over its limit on x86-64 particles: a rule that calls the lane math on every
# point, and one that calls it on some points only (fx_table's rule rows tell which).
LIMIT_TARGET, SOME_POINTS_LIMIT_TARGET = 1.2, 1.5
CHEAP_TARGET = 1.5  # x its floor on particles, in the 32-bit builds, for a rule without lane math
CHEAP, LIMIT_TARGETS = [], {}  # from fx_table's rule rows (rule_kinds)
WIN32_TARGET = 1.5  # x the x86-64 figure
REBUILD_TARGET = 0.5  # the normal rebuild along its plan, x the rebuild in face order
NORMALS_TARGET = 2.5  # a copy-speed effect on mesh+normals, x its time on the mesh
NORMALS_SHARE = 1.2  # mesh+normals less mesh, x the rebuild alone: what the rebuild saves reaches every effect


def read(paths):
    rows = defaultdict(dict)
    order = []
    for path in paths:
        with open(path) as f:
            for line in f:
                kind, effect, *rest = line.rstrip("\n").split("\t")
                if kind == "rule":  # the effect's rule: lane calls per point, whether every point makes them
                    rows[kind][effect] = [int(v) for v in rest]
                    continue
                if kind == "nopeer":  # a peer the bench lacks for the effect
                    rows[kind][(effect, rest[0])] = []
                    continue
                scene, n, *values = rest
                rows[kind][(effect, scene, int(n))] = [float(v) for v in values]
                if kind == "ours" and effect not in order:
                    order.append(effect)
    return rows, order


def cpu_model():
    """lscpu's model name, with the family and model numbers."""
    try:
        out = subprocess.run(["lscpu"], capture_output=True, text=True).stdout
    except OSError:
        return "unknown"
    fields = dict(line.split(":", 1) for line in out.splitlines() if ":" in line)
    name = fields.get("Model name", "unknown").strip()
    family, model = fields.get("CPU family", "").strip(), fields.get("Model", "").strip()
    return f"{name} (family {family}, model {model})" if family else name


def fmt(x, digits=2):
    return "-" if x is None else f"{x:.{digits}f}"


def size(n):
    return f"{n:.0e}".replace("+0", "")


def lanes(names, tables):
    """The lane math per element on each platform, on the set its effects run."""
    costs = [{f: (lane_set, v[0]) for (f, lane_set, _), v in t["lane"].items()} for t in tables]
    head = ["function"] + [f"{name} ns/element" for name in names]
    print("\nThe library's lane math per element, on the instruction set the effects run:\n")
    print("| " + " | ".join(head) + " |")
    print("|" + "---|" * len(head))
    for function in costs[0]:
        cells = [function]
        for cost in costs:
            lane_set, ns = cost.get(function, ("", None))
            cells.append(f"{fmt(ns)} ({lane_set})" if ns is not None else "-")
        print("| " + " | ".join(cells) + " |")


def normal_targets(name, table, order, big, misses):
    """The rebuild along its plan within half the rebuild in face order; with normals, the copy-speed effects
    within 2.5 x their time on the mesh, and every effect's normals within its share of the rebuild alone."""
    for scene in NORMAL_SCENES:
        rebuild = table["rebuild"].get(("-", scene, big))
        if rebuild and rebuild[0] > REBUILD_TARGET * rebuild[1]:
            misses.append(f"rebuild {scene} {name}: {rebuild[0] / rebuild[1]:.2f} x the rebuild in face order "
                          f"(target {REBUILD_TARGET})")
    rebuild = table["rebuild"].get(("-", "mesh+normals", big))
    for effect in order:
        normals, plain = table["ours"].get((effect, "mesh+normals", big)), table["ours"].get((effect, "mesh", big))
        if not normals or not plain:
            continue
        if effect in CHEAP and normals[0] > NORMALS_TARGET * plain[0]:
            misses.append(f"{effect} mesh+normals {name}: {normals[0] / plain[0]:.2f} x its mesh (target {NORMALS_TARGET})")
        if rebuild and normals[0] - plain[0] > NORMALS_SHARE * rebuild[0]:
            misses.append(f"{effect} mesh+normals {name}: {normals[0] - plain[0]:.2f} ns/pt over its mesh, "
                          f"{(normals[0] - plain[0]) / rebuild[0]:.2f} x the rebuild alone (target {NORMALS_SHARE})")


def rebuilds(names, tables, big):
    """The normal rebuild alone on each platform: along its plan, in face order, and its limit."""
    print(f"\nThe normal rebuild alone at {size(big)} points, ns per vertex: along the plan kept from the faces, in face")
    print("order, and its limit (the face rule on lanes for every face, plus the vertices and faces read and the")
    print("normals written at the memcpy floor's rate):\n")
    head = ["scene"]
    for name in names:
        head += [f"{name} plan", "face order", "x face order", "limit", "x limit"]
    print("| " + " | ".join(head) + " |")
    print("|" + "---|" * len(head))
    for scene in NORMAL_SCENES:
        cells = [scene]
        for table in tables:
            r = table["rebuild"].get(("-", scene, big))
            cells += [fmt(r[0]), fmt(r[1]), fmt(r[0] / r[1]), fmt(r[2]), fmt(r[0] / r[2])] if r else ["-"] * 5
        print("| " + " | ".join(cells) + " |")


def platforms(rows, order, others, big, misses):
    """The largest size on each platform, each beside its own floor and limit, and x86-64."""
    names = ["x86-64"] + [name for name, _ in others]
    tables = [rows] + [table for _, table in others]
    lanes(names, tables)
    rebuilds(names, tables, big)
    for name, table in others:
        normal_targets(name, table, order, big, misses)
    head = ["effect", "scene"]
    for name in names:
        head += [f"{name} ns/pt", "x floor", "x limit"] + ([] if name == "x86-64" else ["x x86-64"])
    print(f"\nEvery platform at {size(big)} points, each figure beside its own process's floor and limit:\n")
    print("| " + " | ".join(head) + " |")
    print("|" + "---|" * len(head))
    for effect in order:
        for scene in SCENES:
            base = rows["ours"].get((effect, scene, big))
            if not base:
                continue
            cells = [effect, scene]
            for name, table in zip(names, tables):
                ours = table["ours"].get((effect, scene, big))
                if not ours:
                    cells += ["-", "-", "-"] + ([] if name == "x86-64" else ["-"])
                    continue
                ns, floor, limit = ours[0], ours[4], ours[5]
                cells += [fmt(ns), fmt(ns / floor, 1), fmt(ns / limit, 2)]
                if name == "x86-64":
                    continue
                cells.append(fmt(ns / base[0], 1))
                if name == "Win32" and ns / base[0] > WIN32_TARGET:
                    misses.append(f"{effect} {scene} Win32: {ns / base[0]:.2f} x x86-64 (target {WIN32_TARGET})")
                if effect in CHEAP and scene == "particles" and ns / floor > CHEAP_TARGET:
                    misses.append(f"{effect} {scene} {name}: {ns / floor:.2f} x its floor (target {CHEAP_TARGET})")
            print("| " + " | ".join(cells) + " |")


def standing_targets(effect, scene, ratio, ahead, misses):
    """The x86-64 pass's earlier targets, which must hold still: the copy-speed effects within 2 x the
    memcpy floor and every effect on the mesh with normals within 2 x (memcpy + normal kernel); every
    cell ahead of numpy, the math effects 2 x ahead on particles."""
    if effect in CHEAP and scene not in NORMAL_SCENES and ratio > 2:
        misses.append(f"{effect} {scene} x86-64: {ratio:.2f} x the memcpy floor (target 2)")
    if scene == "mesh+normals" and ratio > 2:
        misses.append(f"{effect} {scene} x86-64: {ratio:.2f} x (memcpy + normal kernel) (target 2)")
    if ahead is not None:
        want = 2 if LIMIT_TARGETS.get(effect) == LIMIT_TARGET and scene == "particles" else 1
        if ahead < want:
            misses.append(f"{effect} {scene} x86-64: numpy / ours = {ahead:.2f} (target {want})")


def rule_kinds(rules):
    """The copy-speed effects (no lane math) and each other effect's limit target, from fx_table's model of
    every rule: (lane calls per point, whether every point makes them)."""
    cheap = [effect for effect, (calls, _) in rules.items() if calls == 0]
    limits = {effect: LIMIT_TARGET if every else SOME_POINTS_LIMIT_TARGET
              for effect, (calls, every) in rules.items() if calls}
    return cheap, limits


def main():
    global CHEAP, LIMIT_TARGETS
    args = sys.argv[1:]
    others = []
    for flag, name in (("--win32", "Win32"), ("--linux32", "Linux 32-bit")):
        if flag in args:
            i = args.index(flag)
            others.append((name, read([args[i + 1]])[0]))
            del args[i:i + 2]
    rows, order = read(args)
    CHEAP, LIMIT_TARGETS = rule_kinds(rows["rule"])
    sizes = sorted({n for (_, _, n) in rows["ours"]})
    big = sizes[-1]
    with open("/proc/loadavg") as f:
        load = " ".join(f.read().split()[:3])
    print(f"{datetime.date.today()}, {cpu_model()}, one core, load average {load} at the end of the run.")
    print("ns/pt: median thread CPU time of one process() call per point, steady state. x floor: ours / floor,")
    print("the floor being memcpy of the bytes handed back (plus the normal kernel on mesh+normals), its samples")
    print("taken alternately with the effect's; the floor table below times the floors on their own.")
    print("x limit: ours / limit, the limit being the floor plus the library's lane math that the rule calls per")
    print("point, each function timed per element on the instruction set the effects run, alternately with the")
    print("effect. x numpy: numpy / ours (above 1: we are faster). libm: the rule's double-precision libm calls")
    print("per point in a plain loop. update: ns per update() call.")
    if not others:
        print("x86-64 only: the Win32 and Linux 32-bit columns need a kernel that runs 32-bit x86 programs.")
    print()

    head = ["effect", "scene"]
    for n in sizes:
        head += [f"{size(n)} ns/pt", "x floor", "x limit", "x numpy"]
    head += [f"limit {size(big)}", f"libm {size(big)}", "update ns"]
    print("| " + " | ".join(head) + " |")
    print("|" + "---|" * len(head))
    misses = []
    for effect in order:
        for scene in SCENES:
            if (effect, scene, big) not in rows["ours"]:
                continue
            cells = [effect, scene]
            for n in sizes:
                ours = rows["ours"].get((effect, scene, n))
                if not ours:
                    cells += ["-", "-", "-", "-"]
                    continue
                ns, _, allocs, faults, floor, limit = ours
                peer = rows["numpy"].get((effect, scene, n), [None])[0]
                cells += [fmt(ns), fmt(ns / floor, 1), fmt(ns / limit, 2), fmt(peer / ns if peer else None, 1)]
                if allocs or faults:
                    misses.append(f"{effect} {scene} {n}: {allocs:g} allocations, {faults:g} page faults per frame")
                if n == big:
                    standing_targets(effect, scene, ns / floor, peer / ns if peer else None, misses)
            libm = rows["libm"].get((effect, scene, big))
            cells += [fmt(rows["ours"][(effect, scene, big)][5]), fmt(libm[0] if libm else None),
                      fmt(rows["ours"][(effect, scene, big)][1], 0)]
            print("| " + " | ".join(cells) + " |")

    print("\n| scene | " + " | ".join(f"memcpy {size(n)}" for n in sizes)
          + " | " + " | ".join(f"normals {size(n)}" for n in sizes) + " |")
    print("|---|" + "---|" * (2 * len(sizes)))
    for scene in SCENES:
        copies = [rows["memcpy"].get(("-", scene, n), [None])[0] for n in sizes]
        kernels = [rows["normals"].get(("-", scene, n), [None])[0] for n in sizes]
        print(f"| {scene} | " + " | ".join(fmt(c) for c in copies + kernels) + " |")

    if others:
        platforms(rows, order, others, big, misses)
    else:
        rebuilds(["x86-64"], [rows], big)
    normal_targets("x86-64", rows, order, big, misses)

    # The targets on x86-64, on the largest size (the 32-bit ones are checked beside their figures above).
    for effect, target in LIMIT_TARGETS.items():
        ours = rows["ours"].get((effect, "particles", big))
        if ours and ours[0] / ours[5] > target:
            misses.append(f"{effect} particles x86-64: {ours[0] / ours[5]:.2f} x its limit (target {target})")
    print()
    for (effect, peer) in rows["nopeer"]:
        print(f"{effect} has no {peer} peer in the bench: its figures stand without it.")
    if misses:
        print("Targets missed:")
        for m in misses:
            print(f"- {m}")
    else:
        every = [e for e, t in LIMIT_TARGETS.items() if t == LIMIT_TARGET]
        some = [e for e, t in LIMIT_TARGETS.items() if t != LIMIT_TARGET]
        print(f"Every target met at {big} points: {', '.join(every)} within {LIMIT_TARGET} x their limit and")
        print(f"{', '.join(some)} within {SOME_POINTS_LIMIT_TARGET} x on x86-64 particles; {', '.join(CHEAP)} within")
        print(f"{CHEAP_TARGET} x their floor on particles in the 32-bit builds; Win32 within {WIN32_TARGET} x x86-64; no")
        print("allocation or page fault in any frame; on x86-64 the copy-speed effects within 2 x memcpy, mesh+normals")
        print("within 2 x, every cell ahead of numpy; on every platform the normal rebuild within half its time in face")
        print("order on both mesh scenes, the copy-speed effects on mesh+normals within 2.5 x the mesh, and every effect's")
        print("normals within 1.2 x the rebuild alone.")

if __name__ == "__main__":
    main()
