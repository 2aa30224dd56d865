#!/usr/bin/env python3
"""Runs fxhost as a user does and checks exit status, messages and files.

usage: fxhost_test.py CASE FXHOST PNG_PROBE WORKDIR [EMULATOR ...]
The emulator (qemu-i386, wine) runs the 32-bit and Windows builds' fxhost;
PNG_PROBE is "none" in the builds without the renderer.
Exit 0 pass, 1 fail, 77 skipped (an effect the case needs is not built yet).
"""
import json
import math
import os
import re
import shutil
import struct
import subprocess
import sys

CASE, FXHOST, PROBE, WORK = sys.argv[1:5]
EMULATOR = sys.argv[5:]
SKIP = 77
HERE = os.path.dirname(os.path.abspath(__file__))


# A triangle holding (1, 2, 3) and (1, 1, 0), a two-point curve and one particle.
SMALL_SCENE = "v 1 2 3\nv 1 1 0\nv 1 0 0\nv 0 0 0\nv 2 0 0\nf 1 2 3\nl 4 5\np 2\n"


def fxhost(*args):
    result = subprocess.run([*EMULATOR, FXHOST, *args], capture_output=True, text=True, timeout=60)
    return result.returncode, result.stdout, result.stderr


def check(condition, message):
    if not condition:
        print("FAIL:", message)
        sys.exit(1)


def catalogue():
    """The catalogue as `list` shows it: (index, name, built) in order."""
    code, out, _ = fxhost("list", "--bold", "never")
    check(code == 0, "list fails")
    return [(int(m.group(1)), m.group(2), "(not built)" not in m.group(3))
            for m in re.finditer(r"^\s*(\d+)\s+(\S+)\s+(.*)$", out.split("\n\n", 2)[2], re.M)]


def built():
    return {name for _, name, made in catalogue() if made}


def need(*effects):
    missing = [e for e in effects if e not in built()]
    if missing:
        print("skipped: not built yet:", ", ".join(missing))
        sys.exit(SKIP)


def write(name, text):
    path = os.path.join(WORK, name)
    with open(path, "w") as f:
        f.write(text)
    return path


def vertices(path):
    with open(path) as f:
        return [tuple(float(x) for x in line.split()[1:4]) for line in f if line.startswith("v ")]


def close(a, b, tolerance=1e-5):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def run_frames(effects, *options, scene=SMALL_SCENE):
    out = os.path.join(WORK, "out")
    shutil.rmtree(out, ignore_errors=True)
    code, _, err = fxhost("run", *effects, "--scene", write("scene.obj", scene), "--out", out, *options)
    check(code == 0, f"run {effects} {options} fails: {err}")
    return lambda frame: vertices(os.path.join(out, f"frame_{frame:04d}.obj"))


def probe(png):
    out = subprocess.run([PROBE, png], capture_output=True, text=True, check=True).stdout
    info = {}
    for line in out.splitlines():
        key, *values = line.split()
        info[key] = [float(v) for v in values]
    return info


def twist(p):
    # Default Twist: about y through the origin, 0.5 radian per unit of height, from +x towards +z.
    x, y, z = p
    r, angle = math.hypot(x, z), math.atan2(z, x) + 0.5 * y
    return (r * math.cos(angle), y, r * math.sin(angle))


def case_list():
    code, out, _ = fxhost("list", "--bold", "never")
    check(code == 0, "list fails")
    rows = catalogue()
    names = [name for _, name, _ in rows]
    check(rows and [i for i, _, _ in rows] == list(range(len(rows))) and len(set(names)) == len(names),
          f"catalogue is {rows}")
    check("<b>" not in out and "modifying all current 3D data" in out, "description without marks")
    _, bold, _ = fxhost("list", "--bold", "always")
    check("\033[1m3D data\033[0m" in bold and "\033[1mnot exclusive\033[0m" in bold, "<b> as terminal bold")


def case_params():
    # Every effect of the catalogue has a reference entry for each parameter it registers, and
    # every entry names a registered parameter, in each output format.
    effects = sorted(built())
    if not effects:
        sys.exit(SKIP)
    for name in effects:
        code, out, err = fxhost("params", name, "--format", "json")
        check(code == 0, f"params {name}: {err}")
        info = json.loads(out)
        undocumented = [p["name"] for p in info["params"] if not p["documented"]]
        check("title" in info, f"{name} has no reference file")
        check(not undocumented and not info["unregistered"],
              f"{name}: registered without an entry {undocumented}, entries not registered {info['unregistered']}")
        text, markdown = fxhost("params", name)[1], fxhost("params", name, "--format", "markdown")[1]
        for p in info["params"]:
            check(re.search(rf"^  {p['kind']} +{re.escape(p['name'])}  .*  {re.escape(p['realText'])}  +"
                            rf"{re.escape(p['meaning'])}$", text, re.M), f"{name} {p['name']} in {text}")
            check(f"| {p['name']} | {p['kind']} |" in markdown, f"{name} {p['name']} in {markdown}")
    # Real values in their units, as the effects use them: each kind of mapping once.
    for name, param, real in [("GenericTwist", "frequency", "+0.5 rad/unit"), ("GenericHarmonik", "speed", "+0.2 turn/s"),
                              ("GenericHarmonik", "extremizer", "off"), ("GenericMagnet", "intensity", "5.052"),
                              ("_GenericTranslateFromSpline", "precision", "16 samples"),
                              ("_GenericCosine", "intensity", "+1 units"), ("_GenericRotate", "phase", "0 turn")]:
        if name in effects:
            seen = {p["name"]: p["realText"] for p in json.loads(fxhost("params", name, "--format", "json")[1])["params"]}
            check(seen[param] == real, f"{name} {param}: {seen[param]}, expected {real}")
    code, out, _ = fxhost("params", str([n for _, n, _ in catalogue()].index(effects[0])))
    check(code == 0 and out.startswith(effects[0] + ":"), "params by index")
    code, out, _ = fxhost("params", "--help")
    check(code == 0 and all(c in out for c in ("kind ", "stored ", "real ", "meaning ")), f"params --help: {out}")
    check(fxhost("params", effects[0], "--format", "yaml")[0] == 2, "an unknown format")


def case_run_translate():
    need("_GenericTranslate")
    frame = run_frames(["_GenericTranslate"], "--frames", "1")(1)
    # mesh (1,2,3), (1,1,0), (1,0,0); curve (0,0,0), (2,0,0); particle (1,1,0); all 10 up
    expected = [(1, 12, 3), (1, 11, 0), (1, 10, 0), (0, 10, 0), (2, 10, 0), (1, 11, 0)]
    check(all(close(a, b) for a, b in zip(frame, expected)) and len(frame) == 6, f"translated {frame}")


def case_run_twist():
    need("GenericTwist")
    frame = run_frames(["GenericTwist"], "--frames", "1")(1)
    check(close(frame[1], (0.87758, 1, 0.47943)), f"(1,1,0) twisted to {frame[1]}")
    check(close(frame[2], (1, 0, 0)), "a point at height 0 stays")
    check(close(frame[0], twist((1, 2, 3))), f"(1,2,3) twisted to {frame[0]}")


def case_stack():
    need("_GenericTranslate", "GenericTwist")
    up = lambda p: (p[0], p[1] + 10, p[2])
    first = run_frames(["_GenericTranslate", "GenericTwist"], "--frames", "1")(1)
    check(close(first[0], twist(up((1, 2, 3))), 1e-4), f"translate then twist: {first[0]}")
    second = run_frames(["GenericTwist", "_GenericTranslate"], "--frames", "1")(1)
    check(close(second[0], up(twist((1, 2, 3))), 1e-4), f"twist then translate: {second[0]}")


def case_set_frame():
    need("_GenericTranslate")
    frames = run_frames(["_GenericTranslate"], "--frames", "3", "--set", "translation=0,0,1",
                        "--set", "2:origin=5,0,0")
    # Before the start the translation is (0,0,1); at frame 2 the origin moves and the translation follows.
    check(close(frames(1)[0], (1, 2, 4)), f"frame 1: {frames(1)[0]}")
    check(close(frames(2)[0], (6, 2, 4)) and close(frames(3)[0], (6, 2, 4)), f"frames 2, 3: {frames(3)[0]}")
    # Moving the origin before the start sets the handle; moving it at frame 1 drags the translation along.
    check(close(run_frames(["_GenericTranslate"], "--frames", "1", "--set", "origin=5,0,0")(1)[0], (1, 12, 3)),
          "origin set before the start")
    check(close(run_frames(["_GenericTranslate"], "--frames", "1", "--set", "1:origin=5,0,0")(1)[0], (6, 12, 3)),
          "origin moved at frame 1")
    frames = run_frames(["_GenericTranslate"], "--frames", "1", "--set", "_GenericTranslate.on mesh=0")
    check(close(frames(1)[0], (1, 2, 3)) and close(frames(1)[3], (0, 10, 0)), "mesh off, curve still moved")


def case_errors():
    scene = write("scene.obj", SMALL_SCENE)
    out = os.path.join(WORK, "never")
    bad = {"index.obj": ("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 2 9\n", r"index\.obj:5: vertex index 9 is out of range"),
           "number.obj": ("v 0 0 0\nv 1 x 0\n", r"number\.obj:2: 'x' is not a number"),
           "uv.obj": ("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/1 2/2 3/3\n", r"uv\.obj:4: texture coordinate index 1 is out of range"),
           "mixed.obj": ("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/1 3/1\nf 1 2 3\n", r"mixed\.obj:6: a face without"),
           "short.obj": ("v 0 0 0\nv 1 0 0\nf 1 2\n", r"short\.obj:3: f needs at least 3")}
    cases = [(["run", "--scene", write(n, t), "--out", out], 1, m) for n, (t, m) in bad.items()] + [
        (["run", "--scene", os.path.join(WORK, "missing.obj"), "--out", out], 1, r"missing\.obj: cannot open"),
        (["run", "NoSuchEffect"], 2, r"unknown effect 'NoSuchEffect'"),
        (["run", "--scene", scene, "--set", "nothing=1"], 2, r"unknown parameter 'nothing'"),
        (["run", "--set", "justaname"], 2, r"expected \[FRAME:\]"),
        (["run", "--set", "0:origin=1,2,3"], 2, r"frame must be a number from 1"),
        (["run", "--frames", "0"], 2, r"--frames must be at least 1"),
        (["run", "--render"], 2, r"need --out"),
        (["run", "--out", out + ".glb", "--sheet"], 2, r"need --out DIR"),
        (["run", "--frobnicate"], 2, r"frobnicate"),
        (["list", "--plugin", os.path.join(WORK, "none.fx")], 1, r"cannot load plug-in"),
        (["params"], 2, r"EFFECT"),
    ]
    if "_GenericTranslate" in built():
        cases += [(["run", "_GenericTranslate", "--set", s], 2, m) for s, m in [
            ("on mesh=1.5", r"'on mesh' is a flag: its value lies in 0\.\.1"),
            ("on mesh=-0.1", r"lies in 0\.\.1"),
            ("on mesh=abc", r"'abc' is not a number"),
            ("origin=1,2", r"three finite numbers"),
            ("origin=1,2,nan", r"three finite numbers"),
            ("size x=0.5", r"unknown parameter 'size x' \(known: on mesh, on spline, on particles, origin, translation\)"),
            ("30:origin=1,2,3", r"frame 30 is past the last frame 24"),
            ("GenericTwist.center=0,0,0", r"no effect GenericTwist in the run")]]
        cases.append((["run", "_GenericTranslate", "--frames", "1", "--set", "on mesh=0.49"], 0, r"^$"))
    for args, status, message in cases:
        code, _, err = fxhost(*args)
        check(code == status and re.search(message, err) and err.count("\n") <= 1,
              f"{args}: exit {code}, {err!r}; expected {status}, /{message}/")
        check(not os.path.exists(out) and not os.path.exists(out + ".glb"), f"{args} wrote output")
    # An output that would replace the input is refused, and the input is left alone.
    shutil.copy(scene, os.path.join(WORK, "frame_0001.obj"))
    code, _, err = fxhost("run", "--scene", os.path.join(WORK, "frame_0001.obj"), "--out", WORK)
    check(code == 2 and "would overwrite the input" in err, f"overwrite: {code} {err}")
    check(open(os.path.join(WORK, "frame_0001.obj")).read() == SMALL_SCENE, "input changed")
    for command in ["list", "params", "run", "demo"]:
        code, out, _ = fxhost(command, "--help")
        check(code == 0 and "Usage" in out, f"{command} --help")


def case_reader_limits():
    # Inputs the scene fuzzer found, each refused with one line naming the file.
    found = {
        "uv_lost_in_reader.obj": (b'v 0 0 0\nv\xa4"0\nv 2 3 4\nf 1 2 3 4\nf/  1 1 0\nv 0 1 0\nv 0 1 0\n'
                                  b'v 0 10 0 0\n 0\nf 1 2 3/ 1 5 2\n', r"mix corners with and without texture|names no vertex, normal or texture"),
        "index_reader_dropped.obj": (b" 0 \xa4\xa4\xa4\x911 0\xbe\xff\xff3\n\xf2p 201\n0 0\nv\x911\n0 0 0\nv\x911\n"
                                     b"0 A\xcfD\x00\x00\xcc\xf5\rp 200\n0 0\nv\x911\n0 \n\xc5\n\nv\x91\n\x0e\xe01 3\n\xf2p \n",
                                     r"index names no vertex|is out of range|not a number"),
    }
    for name, (data, message) in found.items():
        path = os.path.join(WORK, name)
        with open(path, "wb") as f:
            f.write(data)
        code, _, err = fxhost("run", "--scene", path, "--frames", "1")
        check(code == 1 and name in err and re.search(message, err) and err.count("\n") <= 1,
              f"{name}: exit {code}, {err!r}")
    # Materials are never read: a library that would block on open (a FIFO) changes nothing.
    os.mkfifo(os.path.join(WORK, "blocks.mtl"))
    scene = write("with_materials.obj", "mtllib blocks.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n")
    code, _, err = fxhost("run", "--scene", scene, "--frames", "1")
    check(code == 0, f"with_materials: exit {code}, {err!r}")


def case_round_trip():
    # Quads and a pentagon are triangulated; normals are per vertex; uvs and closed lines survive.
    scene = ("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0.5 0\nv 5 5 5\nv 6 5 5\nv 6 6 5\nv 7 7 7\n"
             "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvt 0.5 0.5\nvn 0 0 1\n"
             "f 1/1/1 2/2/1 3/3/1 4/4/1\nf 2/2/1 5/5/1 3/3/1\nl 6 7 8 6\nl 7 8\np 9 6\n")
    out1, out2 = os.path.join(WORK, "one"), os.path.join(WORK, "two")
    for d in (out1, out2):
        shutil.rmtree(d, ignore_errors=True)
    check(fxhost("run", "--scene", write("in.obj", scene), "--frames", "1", "--out", out1)[0] == 0, "first run")
    first = open(os.path.join(out1, "frame_0001.obj")).read()
    check(fxhost("run", "--scene", os.path.join(out1, "frame_0001.obj"), "--frames", "1", "--out", out2)[0] == 0,
          "second run")
    check(open(os.path.join(out2, "frame_0001.obj")).read() == first, "reading back what was written changes it")
    lines = first.splitlines()
    faces = [l for l in lines if l.startswith("f ")]
    check(len(faces) == 3 and all(len(f.split()) == 4 for f in faces), f"triangulated: {faces}")
    check(sum(l.startswith("vn ") for l in lines) == 5 and sum(l.startswith("vt ") for l in lines) == 5, "normals, uvs")
    polylines = [l.split()[1:] for l in lines if l.startswith("l ")]
    check(len(polylines) == 2 and polylines[0][0] == polylines[0][-1] and len(polylines[0]) == 4
          and polylines[1][0] != polylines[1][-1], f"closed then open curve: {polylines}")
    check(sum(len(l.split()) - 1 for l in lines if l.startswith("p ")) == 2, "two particles")
    check(vertices(os.path.join(out1, "frame_0001.obj"))[-2:] == [(7, 7, 7), (5, 5, 5)], "particle positions")


def render(effects, *options):
    out = os.path.join(WORK, "out")
    shutil.rmtree(out, ignore_errors=True)
    code, _, err = fxhost("run", *effects, "--frames", "2", "--out", out, "--render", "--size", "320x240", *options)
    check(code == 0, f"render fails: {err}")
    return probe(os.path.join(out, "frame_0002.png"))


def case_render_gizmo():
    need("_GenericTranslate")
    # Bounds centred on the origin, 20 across: the arrow from (0,0,0) to (0,10,0) rises from the picture's centre.
    scene = write("bounds.obj", "v -10 -10 -10\nv 10 10 10\nv 0 0 0\nv 0.2 0 0\nv 0 0 0.2\nf 3 4 5\np 1 2\n")
    info = render(["_GenericTranslate"], "--scene", scene, "--set", "on mesh=0", "--set", "on particles=0")
    count, cx, cy, left, top, right, bottom = info["red"]
    check(count > 80, f"red arrow: {count} pixels")
    check(abs(cx - 160) < 15 and 40 < top < 100 and 110 < bottom < 130 and right - left < 30,
          f"red where the arrow lies: centroid {cx},{cy} box {left},{top},{right},{bottom}")
    check(info["background"][0] > 0.9 * 320 * 240, "the rest stays background")


def case_render_scene():
    info = render([])
    pixels = info["width"][0] * info["height"][0]
    check(info["background"][0] < 0.95 * pixels and info["colours"][0] > 200, f"blank picture: {info}")
    check(info["orange"][0] > 100 and info["blue"][0] > 100, f"curves and particles drawn: {info}")
    check(info["surface"][0] > 0.05 * pixels, f"the mesh drawn: {info}")
    check(info["red"][0] == 0, "no gizmo without effects")


def case_render_framing():
    # A thin spike far from the origin, standing along z: framed whole, upright with --up z.
    spike = write("spike.obj", "v 100 200 50\nv 104 200 50\nv 102 204 50\nv 102 202 80\n"
                               "f 1 2 4\nf 2 3 4\nf 3 1 4\nf 1 3 2\n")
    # The label takes the top left corner: the box's bottom and right edges tell, the object being
    # symmetric about the centre of its bounds.
    for up, upright in (("z", True), ("y", False)):
        info = render([], "--scene", spike, "--up", up, "--view", "front")
        count, _, _, _, _, right, bottom = info["surface"]
        check(count > 200 and right < 200, f"--up {up}: the spike is seen in the middle: {info}")
        check(bottom <= 240 - 0.1 * 240, f"--up {up}: framed with a margin: bottom {bottom}")
        check((bottom > 150) == upright, f"--up {up}: upright {upright}: bottom {bottom}")


def case_demo():
    out = os.path.join(WORK, "demo")
    shutil.rmtree(out, ignore_errors=True)
    # Not half a second: a loop that a second holds whole would look still in the browser below.
    code, stdout, err = fxhost("demo", "--out", out, "--seconds", "0.75")
    check(code == 0, f"demo fails: {err}")
    page = open(os.path.join(out, "index.html")).read()
    check(probe(os.path.join(out, "scene.png"))["colours"][0] > 200, "scene picture")
    for _, name, made in catalogue():
        picture = os.path.join(out, name + ".png")
        if made:
            check(os.path.exists(picture) and f'src="{name}.png"' in page and f'href="{name}.glb"' in page
                  and f'data-model="{name}"' in page, f"{name} in the gallery")
            check(re.search(rf"^{name}: 18 frames, [0-9.]+ ms per frame", stdout, re.M), f"{name} timing")
            reference = re.search(rf'id="{name}".*?<a href="(reference/[a-z_]+\.html)">', page, re.S)
            check(reference and os.path.exists(os.path.join(out, reference.group(1))), f"{name}'s reference page")
        else:
            check(not os.path.exists(picture) and name in page, f"{name} listed as not built")
    validate(*(os.path.join(out, f) for f in sorted(os.listdir(out)) if f.endswith(".glb")))

    # Headless Chromium opens the gallery from its folder: every live viewer draws its model, and a
    # second later a moved one (the effects all animate in the demo).
    result = subprocess.run(["node", os.path.join(HERE, "gallery_browser.js"), os.environ["FX_PLAYWRIGHT"],
                             os.path.join(out, "index.html"), out], capture_output=True, text=True, timeout=300)
    check(result.returncode == 0, f"chromium: {result.stdout}{result.stderr}")
    seen = json.loads(result.stdout.splitlines()[-1])
    print(f"gallery: every viewer drawn in {seen['ms']} ms; JavaScript heap {seen['heapMB']:.0f} MB, page "
          f"{seen['page']:.0f} MB, GPU process {seen['gpu']:.0f} MB")
    check(not seen["errors"] and sorted(seen["viewers"]) == sorted(built()), f"viewers {seen}")
    check(seen["ms"] < 30000 and seen["page"] < 300, f"slow or large: {seen}")
    for name in seen["viewers"]:
        first, *later = (os.path.join(out, f"{name}.{shot}.png") for shot in (1, 2, 3))
        info = probe(first)
        check(info["background"][0] < 0.97 * info["width"][0] * info["height"][0], f"{name}: nothing drawn: {info}")
        moved = [int(subprocess.run([PROBE, first, p], capture_output=True, text=True, check=True).stdout.split()[1])
                 for p in later]
        check(max(moved) > 20, f"{name}: still a second later: {moved} pixels changed")


def gltf_json(path):
    data = open(path, "rb").read()
    if data[:4] == b"glTF":  # header, then the JSON chunk's length and type
        return json.loads(data[20:20 + struct.unpack_from("<I", data, 12)[0]])
    return json.loads(data)


def validate(*files):
    """The Khronos glTF-Validator (installed into the build tree by the test setup) finds no error."""
    result = subprocess.run(["node", os.path.join(HERE, "validate_gltf.js"), os.environ["FX_GLTF_VALIDATOR"], *files],
                            capture_output=True, text=True, timeout=300)
    check(result.returncode == 0, f"glTF-Validator: {result.stdout}{result.stderr}")


def case_gltf():
    need("_GenericRotate", "GenericMagnet")
    # The built-in scene (uv seams, normals, open and closed curves, particles) turning, and two triangles
    # of which the magnet at the origin pulls the near one alone (towards -x): every frame is stored sparse.
    near = write("near.obj", "v 1 0 0\nv 2 0 0\nv 1 0 1\nv 20 0 0\nv 20 0 1\nv 21 0 0\nf 1 2 3\nf 4 5 6\n")
    runs = {"rotate": ["_GenericRotate", "--frames", "6", "--fps", "12"],
            "near": ["GenericMagnet", "--scene", near, "--frames", "3", "--fps", "12"]}
    for name, args in runs.items():
        for out in (name, name + ".glb", name + ".gltf"):
            code, _, err = fxhost("run", *args, "--out", os.path.join(WORK, out))
            check(code == 0, f"run {args} --out {out}: {err}")
    files = [os.path.join(WORK, n + e) for n in runs for e in (".glb", ".gltf")]
    validate(*files)
    rotate, near = gltf_json(files[0]), gltf_json(files[2])
    check(gltf_json(files[1])["buffers"][0]["uri"].startswith("data:"), ".gltf is one file")
    mesh, sampler = rotate["meshes"][0], rotate["animations"][0]["samplers"][0]
    times = rotate["accessors"][sampler["input"]]
    check([len(p["targets"]) for p in mesh["primitives"]] == [6, 6, 6] and mesh["weights"] == [1, 0, 0, 0, 0, 0]
          and mesh["extras"]["targetNames"][5] == "frame_0006", f"one target per frame: {mesh}")
    check([p["mode"] for p in mesh["primitives"]] == [4, 1, 0] and "NORMAL" not in mesh["primitives"][1]["attributes"],
          "triangles with normals, curves as lines, particles as points")
    check(times["count"] == 6 and close(times["min"] + times["max"], [1 / 12, 0.5], 1e-7), f"key times {times}")
    moved = [near["accessors"][t["POSITION"]] for t in near["meshes"][0]["primitives"][0]["targets"]]
    check(all(a["sparse"]["count"] == 3 and "bufferView" not in a for a in moved), f"sparse frames: {moved}")
    obj_bytes = sum(os.path.getsize(os.path.join(WORK, "rotate", f)) for f in os.listdir(os.path.join(WORK, "rotate")))
    check(os.path.getsize(files[0]) < obj_bytes / 2, f"{files[0]} is not well below the OBJ frames' {obj_bytes} bytes")

    # Blender plays the files: at each frame its evaluated vertices (mesh, its seam copies, curves,
    # particles) are the OBJ frame's, within two float steps of the largest coordinate (the stored
    # displacement and Blender's sum each round once).
    frames = {"rotate": [1, 3, 6], "near": [1, 3]}
    positions = os.path.join(WORK, "blender.json")
    result = subprocess.run(["blender", "-b", "--factory-startup", "--python", os.path.join(HERE, "blender_frames.py"),
                             "--", positions, "12"] + [f"{os.path.join(WORK, n)}.glb:{','.join(map(str, f))}"
                                                       for n, f in frames.items()],
                            capture_output=True, text=True, timeout=300,
                            # Blender's Python takes its library from the first python3 on PATH: Debian's.
                            env=dict(os.environ, PATH="/usr/bin:/bin"))
    check(result.returncode == 0 and os.path.exists(positions),
          f"blender: {result.stdout[-2000:]}{result.stderr[-2000:]}")
    evaluated = json.load(open(positions))
    lines = open(os.path.join(WORK, "rotate", "frame_0001.obj")).read().splitlines()
    table = [[float(x) for x in l.split()[1:3]] for l in lines if l.startswith("vt ")]
    uvs = [table[int(c.split("/")[1]) - 1] for l in lines if l.startswith("f ") for c in l.split()[1:]]
    seen_uvs = evaluated[files[0]]["uvs"]
    check(len(seen_uvs) == len(uvs) == 4608 * 6 and all(close(a, b, 1e-6) for a, b in zip(uvs, seen_uvs)),
          "Blender's uvs are the scene's, corner by corner")
    for name, chosen in frames.items():
        mesh_vertices = {"rotate": 4608, "near": 6}[name]
        for frame in chosen:
            expected = vertices(os.path.join(WORK, name, f"frame_{frame:04d}.obj"))
            seen = evaluated[os.path.join(WORK, name) + ".glb"][str(frame)]
            seen = seen[:mesh_vertices] + seen[mesh_vertices + len(seen) - len(expected):]
            tolerance = 2 * 2**-23 * max(abs(c) for p in expected for c in p)
            worst = max(abs(a - b) for p, q in zip(expected, seen) for a, b in zip(p, q))
            check(len(seen) == len(expected) and worst <= tolerance,
                  f"{name} frame {frame}: {len(seen)} of {len(expected)} points, off by {worst} > {tolerance}")


def case_no_renderer():
    # The builds without OpenGL refuse what needs pictures, at once and in one line.
    out = os.path.join(WORK, "out")
    for args, what in [(["run", "--out", out, "--render"], "--render"), (["run", "--out", out, "--sheet"], "--sheet"),
                       (["demo", "--out", out], "demo")]:
        code, _, err = fxhost(*args)
        check(code == 2 and err == f"fxhost: {what} needs pictures, and this fxhost is built without OpenGL: "
              "it writes OBJ frames only\n", f"{args}: exit {code}, {err!r}")
        check(not os.path.exists(out), f"{args} wrote output")


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
globals()["case_" + CASE]()
print("ok")
