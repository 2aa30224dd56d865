#!/usr/bin/env python3
"""The reference pages in docs/effects are what `fxhost pages` writes from the code today.

usage: pages_test.py FXHOST PNG_PROBE DOCS WORKDIR
Text must match byte for byte; a picture (each frame of an animated one) may differ only as
software renders differ between processors: a few pixels at edges, by little on average.
"""
import os
import shutil
import struct
import sys
import zlib

from host_checks import check, probe, run, write

FXHOST, PROBE, DOCS, WORK = sys.argv[1:5]
MOST_DIFFERING, MOST_MEAN = 0.01, 1.5  # a share of the pixels; levels of 255


def frames(path, into):
    """Each frame of a PNG, animated or not, as a still PNG file; their paths."""
    data = open(path, "rb").read()
    at, header, stills = 8, None, []
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = body
        elif kind in (b"IDAT", b"fdAT"):
            stills.append(body if kind == b"IDAT" else body[4:])
        at += 12 + length

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    paths = []
    for i, image in enumerate(stills):
        paths.append(f"{into}_{i}.png")
        write(paths[-1], data[:8] + chunk(b"IHDR", header) + chunk(b"IDAT", image) + chunk(b"IEND", b""))
    return paths


def differs(a, b):
    size, difference = probe(PROBE, a), probe(PROBE, a, b)
    return (difference["differ"][0] > MOST_DIFFERING * size["width"][0] * size["height"][0]
            or difference["mean"][0] > MOST_MEAN)


shutil.rmtree(WORK, ignore_errors=True)
made = os.path.join(WORK, "made")
result = run([FXHOST], "pages", "--out", made, timeout=300)
check(result.returncode == 0, f"fxhost pages: {result.stderr}")
listing = lambda root: {os.path.relpath(os.path.join(d, f), root) for d, _, fs in os.walk(root) for f in fs}
failures = [f"files differ: {sorted(listing(made) ^ listing(DOCS))}"] if listing(made) != listing(DOCS) else []
for name in sorted(listing(made) & listing(DOCS)):
    mine, kept = os.path.join(made, name), os.path.join(DOCS, name)
    if not name.endswith(".png"):
        if open(mine, "rb").read() != open(kept, "rb").read():
            failures.append(f"{name}: the text differs from what the code makes")
        continue
    a, b = frames(mine, os.path.join(WORK, "a")), frames(kept, os.path.join(WORK, "b"))
    if len(a) != len(b) or any(differs(x, y) for x, y in zip(a, b)):
        failures.append(f"{name}: the picture differs beyond render noise")
check(not failures, "docs/effects is not what `fxhost pages --out docs/effects` makes now:\n  " + "\n  ".join(failures))
print("ok")
