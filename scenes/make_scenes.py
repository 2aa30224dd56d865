#!/usr/bin/python3
"""Writes the sample scenes beside this file: bar.obj (a long box to twist and bend),
curve.obj (a helix and a closed loop with a grid of particles, for the curve effects)
and blob.obj (a lumpy sphere, an organic mesh with normals and uvs).
Run it again after changing a shape: the files are checked in as written."""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def number(x):
    text = f"{x:.6f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def write(name, header, lines):
    with open(os.path.join(HERE, name), "w") as f:
        f.write(f"# {header}\n# Made by scenes/make_scenes.py.\n")
        f.write("\n".join(lines) + "\n")


def bar():
    """A box 1 x 6 x 1 along y, cut into 24 rings so that bending and twisting show."""
    rings, lines, faces = 24, [], []
    corners = [(-0.5, -0.5), (0.5, -0.5), (0.5, 0.5), (-0.5, 0.5)]
    for r in range(rings + 1):
        y = 6.0 * r / rings
        for x, z in corners:
            lines.append(f"v {number(x)} {number(y)} {number(z)}")
    for r in range(rings):
        for c in range(4):
            a, b = r * 4 + c + 1, r * 4 + (c + 1) % 4 + 1
            faces += [f"f {a} {b} {b + 4}", f"f {a} {b + 4} {a + 4}"]
    top = rings * 4
    faces += ["f 1 3 2", "f 1 4 3", f"f {top + 1} {top + 2} {top + 3}", f"f {top + 1} {top + 3} {top + 4}"]
    write("bar.obj", "A bar 1 x 6 x 1 standing on y, 24 rings of 4 vertices.", lines + faces)


def curve():
    """A helix of three turns, a closed loop around it and a 6 x 6 grid of particles."""
    lines, base = [], 1
    helix = [(math.cos(t), 0.1 * t, math.sin(t)) for t in (i * 6 * math.pi / 96 for i in range(97))]
    loop = [(2.5 * math.cos(t), 1.0, 2.5 * math.sin(t)) for t in (i * 2 * math.pi / 48 for i in range(48))]
    for points, closed in ((helix, False), (loop, True)):
        lines += [f"v {number(x)} {number(y)} {number(z)}" for x, y, z in points]
        indices = list(range(base, base + len(points))) + ([base] if closed else [])
        lines.append("l " + " ".join(map(str, indices)))
        base += len(points)
    grid = [(-2.5 + i, 0.0, -2.5 + k) for i in range(6) for k in range(6)]
    lines += [f"v {number(x)} {number(y)} {number(z)}" for x, y, z in grid]
    lines.append("p " + " ".join(str(base + i) for i in range(len(grid))))
    write("curve.obj", "A helix of three turns, a closed loop of radius 2.5 and 36 particles.", lines)


def blob():
    """A sphere of radius about 1.5 with slow lumps, 32 x 24 quads, with normals and uvs."""
    columns, rows = 32, 24

    def radius(theta, phi):
        return 1.5 + 0.18 * math.sin(3 * theta) * math.sin(2 * phi) + 0.1 * math.cos(5 * phi + theta)

    def point(theta, phi):
        r = radius(theta, phi)
        return (r * math.sin(phi) * math.cos(theta), r * math.cos(phi), r * math.sin(phi) * math.sin(theta))

    vs, vts, vns = [], [], []
    for j in range(rows + 1):
        phi = math.pi * j / rows
        for i in range(columns + 1):
            theta = 2 * math.pi * i / columns
            p = point(theta, phi)
            # The normal from the surface's two tangents, numerically.
            e = 1e-4
            a = [u - v for u, v in zip(point(theta + e, phi), point(theta - e, phi))]
            b = [u - v for u, v in zip(point(theta, phi + e), point(theta, phi - e))]
            n = (b[1] * a[2] - b[2] * a[1], b[2] * a[0] - b[0] * a[2], b[0] * a[1] - b[1] * a[0])
            length = math.sqrt(sum(c * c for c in n)) or 1.0
            n = tuple(c / length for c in n) if length > 1e-9 else (0.0, 1.0 if j == 0 else -1.0, 0.0)
            vs.append("v " + " ".join(number(c) for c in p))
            vns.append("vn " + " ".join(number(c) for c in n))
            vts.append(f"vt {number(i / columns)} {number(1 - j / rows)}")
    faces = []
    for j in range(rows):
        for i in range(columns):
            a = j * (columns + 1) + i + 1
            b, c, d = a + 1, a + columns + 2, a + columns + 1
            for tri in ((a, b, c), (a, c, d)):
                faces.append("f " + " ".join(f"{k}/{k}/{k}" for k in tri))
    write("blob.obj", f"A lumpy sphere about 3 across, {len(vs)} vertices with normals and uvs.", vs + vts + vns + faces)


if __name__ == "__main__":
    bar()
    curve()
    blob()
