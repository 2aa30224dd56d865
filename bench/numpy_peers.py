#!/usr/bin/python3
"""What a technical artist would write instead of the plug-in: each effect's
rule as a vectorised float64 numpy script, with its default parameters and its
per-frame constants computed once, run on the scenes of fx_table.

Prints one tab-separated row per figure:
    numpy <effect> <scene> <n> <ns/pt>
(thread CPU time per frame, the median of several samples, divided by n), and
for every effect of --catalogue (fx_table --list) that has no peer here:
    nopeer <effect> numpy
Run it as bench/table.sh does, with glibc's malloc keeping the memory numpy
frees, so that its steady state, like the plug-in's, touches no fresh pages.
"""
import argparse
import math
import sys
import time

import numpy as np

F32, F64 = np.float32, np.float64
TURN = 6.2831855
CURVE_POINTS, STRAND_POINTS = 1000, 8


# ------------------------------------------------------------------ scenes
def make_scene(n):
    rng = np.random.default_rng(12345)
    particles = np.zeros(n, dtype=[("pos", F32, 3), ("aux", np.uint32, 2)])
    particles["pos"] = rng.uniform(-10, 10, (n, 3)).astype(F32)
    particles["aux"][:, 0] = np.arange(n, dtype=np.uint32)

    i = np.arange(n)
    a = 0.05 * (i % CURVE_POINTS)
    curve_points = np.stack([5 * np.cos(a), 5 * np.sin(a), 0.01 * i], axis=1).astype(F32)
    starts = np.arange(0, max(n // CURVE_POINTS, 1) * CURVE_POINTS, CURVE_POINTS)
    starts = starts[starts < n]
    ends = np.append(starts[1:], n)
    closed = (np.arange(len(starts)) % 2) == 1

    # Strands of STRAND_POINTS points rising from a disc, each with a curl; none closed.
    strand_count = max(n // STRAND_POINTS, 1)
    strand = np.minimum(i // STRAND_POINTS, strand_count - 1)
    k = i - strand * STRAND_POINTS
    a, r, curl = 2.399963 * strand, 5 * np.sqrt((strand + 0.5) / strand_count), 0.4 * k
    strand_points = np.stack([r * np.cos(a) + 0.1 * np.cos(curl), r * np.sin(a) + 0.1 * np.sin(curl), 0.15 * k],
                             axis=1).astype(F32)
    strand_starts = np.arange(strand_count) * STRAND_POINTS

    w = max(2, int(math.sqrt(n)))
    h = n // w
    x, y = (i % w).astype(F64), (i // w).astype(F64)
    vertices = np.stack([x, y, 0.5 * np.sin(0.3 * x) * np.cos(0.2 * y)], axis=1).astype(F32)
    r, c = np.meshgrid(np.arange(h - 1), np.arange(w - 1), indexing="ij")
    a0 = (r * w + c).ravel()
    faces = np.stack([a0, a0 + 1, a0 + w, a0 + 1, a0 + w + 1, a0 + w], axis=1).reshape(-1, 3).astype(np.uint32)
    return dict(particles=particles, curve_points=curve_points, starts=starts, ends=ends, closed=closed,
                strands=dict(curve_points=strand_points, starts=strand_starts, ends=np.append(strand_starts[1:], n),
                             closed=np.zeros(strand_count, dtype=bool)),
                vertices=vertices, faces=faces, shuffled_faces=faces[rng.permutation(len(faces))])


# ------------------------------------------------- rules, defaults, once per frame
def rotation_matrix(u, theta):
    c, s = math.cos(theta), math.sin(theta)
    t = 1 - c
    x, y, z = u
    return np.array([[t * x * x + c, t * x * y + s * z, t * x * z - s * y],
                     [t * x * y - s * z, t * y * y + c, t * y * z + s * x],
                     [t * x * z + s * y, t * y * z - s * x, t * z * z + c]])


def times(p, m):
    """p @ m for rows p, spelt out: Debian's numpy multiplies through the reference BLAS."""
    return p[:, 0:1] * m[0] + p[:, 1:2] * m[1] + p[:, 2:3] * m[2]


def translate():
    t = np.array([0.0, 10.0, 0.0])
    return lambda p: (p + t).astype(F32)


def translate_from_spline():
    offset = np.array([3.0, 1.5, 0.2])
    return lambda p: (p + offset).astype(F32)


def scale():
    g = np.array([1.0, 1.0, 1.0])
    return lambda p: (p * g).astype(F32)


def rotate():
    m = rotation_matrix((0.0, 1.0, 0.0), TURN * 0.1)
    center = np.zeros(3)
    return lambda p: (times(p - center, m) + center).astype(F32)


def harmonik():
    freq_teta = freq_phi = 5.0
    wave_phase = TURN * 0.2
    trough, crest = 1.0, 0.8

    def rule(p):
        d = p.astype(F64)
        azimuth = np.arctan2(d[:, 2], d[:, 0])
        polar = np.arctan2(np.sqrt(d[:, 0] ** 2 + d[:, 2] ** 2), d[:, 1])
        f = (np.sin(wave_phase + freq_phi * polar + freq_teta * azimuth) + 1) * 0.5
        return (d * (trough + (crest - trough) * f)[:, None]).astype(F32)
    return rule


def elipsoid():
    e_teta = e_phi = 1.2345

    def spow(v, e):
        return np.copysign(np.abs(v) ** e, v)

    def rule(p):
        d = p.astype(F64)
        xz = d[:, 0] ** 2 + d[:, 2] ** 2
        r = np.sqrt(xz + d[:, 1] ** 2)
        azimuth = np.arctan2(d[:, 2], d[:, 0])
        polar = np.arctan2(np.sqrt(xz), d[:, 1])
        ring = spow(np.sin(polar), e_phi)
        v = np.stack([spow(np.cos(azimuth), e_teta) * ring, spow(np.cos(polar), e_phi),
                      spow(np.sin(azimuth), e_teta) * ring], axis=1)
        return (v * r[:, None]).astype(F32)
    return rule


def twist():
    dirs = np.array([[0.0, 1.0, 0.0], [1.0, 0.0, 0.0], [0.0, 0.0, 1.0]])  # x, y, z axes of the frame
    rate, turn = 0.5, 0.0

    def rule(p):
        abc = times(p.astype(F64), dirs.T)
        a, b, c = abc[:, 0], abc[:, 1], abc[:, 2]
        theta = turn + np.arctan2(c, b) + a * rate
        r = np.sqrt(b * b + c * c)
        return times(np.stack([a, r * np.cos(theta), r * np.sin(theta)], axis=1), dirs).astype(F32)
    return rule


def cosine(tangent):
    frame = np.eye(3)  # unit rows, scale 1, centre at the origin
    spatial = 0.1 if tangent else 0.5
    v = 0.2
    phase = TURN * 0.01 * (v - 1) if tangent else TURN * (v - 1)
    k = 1.0
    wave = np.tan if tangent else np.cos

    def rule(p):
        d = p.astype(F64)
        l = times(d, frame.T) + k * wave(spatial * d + phase)
        return times(l, frame).astype(F32)
    return rule


def magnet():
    radius, power = 5.0, 5.0515

    def rule(p):
        d = p.astype(F64)
        q = np.einsum("ij,ij->i", d, d)
        inside = q < radius * radius
        di = d[inside]
        t = np.sqrt(q[inside]) / radius
        out = p.copy()
        with np.errstate(divide="ignore", invalid="ignore"):
            f = np.where(t != 0, t ** power / t, 1.0)
        out[inside] = (di * f[:, None]).astype(F32)
        return out
    return rule


EFFECTS = {
    "Harmonik": harmonik, "Twist": twist, "Magnet": magnet, "Elipsoid": elipsoid,
    "Cosine": lambda: cosine(False), "Cosine+tan": lambda: cosine(True), "Translate": translate,
    "TranslateFromSpline": translate_from_spline, "Scale": scale, "Rotate": rotate,
}
UNMOVED = {"TranslateFromSpline": {"spline", "strands"}}  # the scenes whose data a peer's effect never moves


# ------------------------------------------------------- one frame per scene
def particles_frame(rule, s):
    out = s["particles"].copy()
    out["pos"] = rule(s["particles"]["pos"])
    return out


def spline_frame(rule, s):
    p = rule(s["curve_points"]).astype(F64)
    starts, ends, closed = s["starts"], s["ends"], s["closed"]
    seg = np.empty(len(p))
    seg[:-1] = np.sqrt(np.sum(np.diff(p, axis=0) ** 2, axis=1))
    last = ends - 1
    seg[last] = np.sqrt(np.sum((p[starts] - p[last]) ** 2, axis=1))  # the closing segments
    seg[seg == 0] = 1e-4
    counted = seg.copy()
    counted[last[~closed]] = 0.0
    return p.astype(F32), seg.astype(F32), np.add.reduceat(counted, starts).astype(F32)


def mesh_frame(rule, s, normals, faces="faces"):
    v = rule(s["vertices"])
    if not normals:
        return v
    f = s[faces]
    w = v.astype(F64)
    a = w[f[:, 0]]
    n = np.cross(w[f[:, 1]] - a, w[f[:, 2]] - a)
    weighted = n * (0.5 * np.sqrt(np.einsum("ij,ij->i", n, n)))[:, None]
    corners = f.ravel()
    sums = np.stack([np.bincount(corners, np.repeat(weighted[:, k], 3), minlength=len(v)) for k in range(3)], axis=1)
    length = np.sqrt(np.einsum("ij,ij->i", sums, sums))
    with np.errstate(divide="ignore", invalid="ignore"):
        sums = np.where(length[:, None] > 0, sums / length[:, None], 0.0)
    return v, sums.astype(F32)


SCENES = {
    "particles": particles_frame,
    "mesh+normals": lambda rule, s: mesh_frame(rule, s, True),
    "shuffled+normals": lambda rule, s: mesh_frame(rule, s, True, "shuffled_faces"),
    "mesh": lambda rule, s: mesh_frame(rule, s, False),
    "spline": spline_frame,
    "strands": lambda rule, s: spline_frame(rule, s["strands"]),
}


def median_ns(frame, samples=7):
    start = time.thread_time_ns()
    frame()
    once = max(time.thread_time_ns() - start, 1)
    batch = max(1, int(3e6 // once))
    times = []
    for _ in range(samples):
        start = time.thread_time_ns()
        for _ in range(batch):
            frame()
        times.append((time.thread_time_ns() - start) / batch)
    times.sort()
    return times[len(times) // 2]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sizes", default="10000,100000,1000000")
    parser.add_argument("--effects", default="")
    parser.add_argument("--scenes", default="")
    parser.add_argument("--catalogue", default=",".join(EFFECTS), help="every effect fx_table times")
    args = parser.parse_args()
    only = [e for e in args.effects.split(",") if e]
    effects = [e for e in args.catalogue.split(",") if e and (not only or e in only)]
    for effect in effects:
        if effect not in EFFECTS:
            print(f"nopeer\t{effect}\tnumpy", flush=True)
    scenes = [s for s in args.scenes.split(",") if s]
    for n in [int(x) for x in args.sizes.split(",")]:
        s = make_scene(n)
        for scene, frame in SCENES.items():
            if scenes and scene not in scenes:
                continue
            for effect in effects:
                if effect not in EFFECTS or scene in UNMOVED.get(effect, ()):
                    continue
                rule = EFFECTS[effect]()
                ns = median_ns(lambda: frame(rule, s))
                print(f"numpy\t{effect}\t{scene}\t{n}\t{ns / n:.4f}", flush=True)


if __name__ == "__main__":
    sys.exit(main())
