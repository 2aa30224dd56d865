#!/usr/bin/env python3
"""Runs fxhost as a user does and checks exit status, messages and files.

usage: fxhost_test.py CASE FXHOST PNG_PROBE WORKDIR [EMULATOR ...]
The emulator (qemu-i386, wine) runs the 32-bit and Windows builds' fxhost;
PNG_PROBE is "none" in the builds without the renderer.
Exit 0 pass, 1 fail.
"""
import contextlib
import functools
import json
import os
import re
import shutil
import signal
import struct
import subprocess
import sys

import host_checks
from host_checks import check

CASE, FXHOST, PROBE, WORK = sys.argv[1:5]
EMULATOR = sys.argv[5:]
HERE = os.path.dirname(os.path.abspath(__file__))


# A triangle holding (1, 2, 3) and (1, 1, 0), a two-point curve and one particle.
SMALL_SCENE = "v 1 2 3\nv 1 1 0\nv 1 0 0\nv 0 0 0\nv 2 0 0\nf 1 2 3\nl 4 5\np 2\n"


def fxhost(*args, **options):
    result = host_checks.run([*EMULATOR, FXHOST], *args, **options)
    return result.returncode, result.stdout, result.stderr


def catalogue():
    return host_checks.catalogue([*EMULATOR, FXHOST])


def built():
    return {name for _, name, made in catalogue() if made}


def index(name):
    return str([n for _, n, _ in catalogue()].index(name))


def write(name, text):
    return host_checks.write(os.path.join(WORK, name), text)


def vertices(text):
    return [tuple(float(x) for x in line.split()[1:4]) for line in text.splitlines() if line.startswith("v ")]


def close(a, b, tolerance=1e-5):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def run_into(folder, *args):
    """`fxhost run ARGS --out WORK/FOLDER` into an emptied folder, which must succeed; the folder."""
    out = os.path.join(WORK, folder)
    shutil.rmtree(out, ignore_errors=True)
    code, _, err = fxhost("run", *args, "--out", out)
    check(code == 0, f"run {args} fails: {err}")
    return out


def last_frame(*args):
    """The text of the last OBJ frame a run writes (the built-in scene unless --scene is given)."""
    out = run_into("last", *args)
    return open(os.path.join(out, max(f for f in os.listdir(out) if f.endswith(".obj")))).read()


probe = functools.partial(host_checks.probe, PROBE)


def case_list():
    rows, out = catalogue(), fxhost("list", "--bold", "never")[1]
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
    for name in effects:
        code, out, err = fxhost("params", name, "--format", "json")
        check(code == 0, f"params {name}: {err}")
        info = json.loads(out)
        undocumented = [p["name"] for p in info["params"] if not p["documented"]]
        check("title" in info and not undocumented and not info["unregistered"], f"{name}: no reference file, or "
              f"registered without an entry {undocumented}, or entries not registered {info['unregistered']}")
        text, markdown = fxhost("params", name)[1], fxhost("params", name, "--format", "markdown")[1]
        for p in info["params"]:
            check(re.search(rf"^  {p['kind']} +{re.escape(p['name'])}  .*  {re.escape(p['realText'])}  +"
                            rf"{re.escape(p['meaning'])}$", text, re.M), f"{name} {p['name']} in {text}")
            check(f"| {p['name']} | {p['kind']} |" in markdown, f"{name} {p['name']} in {markdown}")
    code, out, _ = fxhost("params", index(effects[0]))
    check(code == 0 and out.startswith(effects[0] + ":"), "params by index")
    code, out, _ = fxhost("params", "--help")
    check(code == 0 and all(c in out for c in ("kind ", "stored ", "real ", "meaning ")), f"params --help: {out}")
    check(fxhost("params", effects[0], "--format", "yaml")[0] == 2, "an unknown format")


def case_set_frame():
    # An edit at frame 1 comes after the start: the moved origin drags the translation along, where set
    # before the start it only places the handle. A name may carry its effect's even in a stack of one;
    # blanks around a name and a point's numbers are spacing.
    scene = write("scene.obj", SMALL_SCENE)
    first = lambda *sets: vertices(last_frame("_GenericTranslate", "--scene", scene, "--frames", "1", *sets))
    frame = first("--set", "1: origin =5, 0, 0", "--set", "_GenericTranslate . on mesh= 0")
    check(close(frame[0], (1, 2, 3)) and close(frame[3], (5, 10, 0)), f"origin moved at frame 1, mesh off: {frame}")
    check(close(first("--set", "origin=5,0,0")[3], (0, 10, 0)), "origin set before the start")


def case_errors():
    # Every refused input: one line in fxhost's words naming the file and line or the option, the
    # documented status, and nothing written.
    scene = write("scene.obj", SMALL_SCENE)
    out = os.path.join(WORK, "never")
    bad = {"index.obj": ("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 2 9\n", r"index\.obj:5: vertex index 9 is out of range"),
           "number.obj": ("v 0 0 0\nv 1 x 0\n", r"number\.obj:2: 'x' is not a number"),
           "uv.obj": ("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/1 2/2 3/3\n", r"uv\.obj:4: texture coordinate index 1 is out of range"),
           "mixed.obj": ("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/1 3/1\nf 1 2 3\n", r"mixed\.obj:6: a face without"),
           "short.obj": ("v 0 0 0\nv 1 0 0\nf 1 2\n", r"short\.obj:3: f needs at least 3"),
           "point.obj": ("v 0 0 0\np\n", r"point\.obj:2: p needs at least 1 index$"),
           "slash.obj": ("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3/\n", r"slash\.obj:4: malformed index '3/'$"),
           # Numbers that are not finite floats, as typed or as fxhost writes a point an effect made so.
           "nan.obj": ("v 0 0 0\nv 1 nan 2\n", r"nan\.obj:2: 'nan' is not a finite number"),
           "inf.obj": ("v 3 4 inf\n", r"inf\.obj:1: 'inf' is not a finite number"),
           "written.obj": ("v 0 0 0\nvt 0.5 -nan\n", r"written\.obj:2: '-nan' is not a finite number"),
           "huge.obj": ("v 0 0 0\nvn 0 1e39 0\n", r"huge\.obj:2: '1e39' lies outside a float's range \(3\.4e38\)"),
           # What fxhost writes besides OBJ, read back as a scene.
           "run.glb": (b"glTF\x02\0\0\0v 0 0 0\n", r"run\.glb: a binary glTF file, not a Wavefront OBJ scene$"),
           "session.json": ('\n {"version": 1}', r"session\.json: JSON \(a glTF file or a session\?\), not a Wavefront"),
           "utf16.obj": ("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n".encode("utf-16"), r"utf16\.obj: UTF-16 text; fxhost reads"),
           "mac.obj": ("v 0 0 0\rv 1 0 0\rv 0 1 0\rf 1 2 3\r", r"mac\.obj: its lines end in a carriage return alone"),
           # A control character is shown, not printed: a NUL would cut the message short.
           "nul.obj": ("v 0 0 0\nv 1\0x 0 0\n", r"nul\.obj:2: '1\\x00x' is not a number$"),
           # What the scene fuzzer found.
           "uv_lost_in_reader.obj": (b'v 0 0 0\nv\xa4"0\nv 2 3 4\nf 1 2 3 4\nf/  1 1 0\nv 0 1 0\nv 0 1 0\n'
                                     b'v 0 10 0 0\n 0\nf 1 2 3/ 1 5 2\n',
                                     r"uv_lost_in_reader\.obj.*(mix corners with and without texture|names no vertex, normal or texture|"
                                     r"malformed index)"),
           "index_reader_dropped.obj": (b" 0 \xa4\xa4\xa4\x911 0\xbe\xff\xff3\n\xf2p 201\n0 0\nv\x911\n0 0 0\nv\x911\n"
                                        b"0 A\xcfD\x00\x00\xcc\xf5\rp 200\n0 0\nv\x911\n0 \n\xc5\n\nv\x91\n\x0e\xe01 3\n\xf2p \n",
                                        r"index_reader_dropped\.obj.*(index names no vertex|is out of range|not a number)")}
    cases = [(["run", "--scene", write(n, t), "--out", out], 1, m) for n, (t, m) in bad.items()] + [
        (["run", "--scene", os.path.join(WORK, "missing.obj"), "--out", out], 1, r"missing\.obj: cannot open"),
        (["run", "--session", WORK, "--out", out], 1, r"^fxhost: \S+: a folder, not a session file$"),
        (["run", "NoSuchEffect"], 2, r"unknown effect 'NoSuchEffect'"),
        (["run", "twist", "99"], 2, r"^fxhost: no effect at index 99: the indices run from 0 to 8$"),
        (["params", "-1"], 2, r"^fxhost: no effect at index -1: the indices run from 0 to 8$"),
        (["run", "twistt"], 2, r"unknown effect 'twistt'; did you mean GenericTwist\?"),
        (["run", *["twist"] * 101], 2, r"^fxhost: a stack holds at most 100 effects, not 101$"),
        (["run", "trans"], 2, r"'trans' could be _GenericTranslate or _GenericTranslateFromSpline"),
        (["run", "--scene", scene, "--set", "nothing=1"], 2, r"unknown parameter 'nothing'"),
        (["run", "twist", "--set", "frequncy=1"], 2, r"unknown parameter 'frequncy'; did you mean 'frequency'\?"),
        (["run", "twist", "twist", "--set", "#3.frequency=0.5"], 2, r"--set #3\.frequency=0\.5: no effect #3 in a stack of 2"),
        (["run", "--set", "justaname"], 2, r"expected \[FRAME:\]"),
        (["run", "--set", "0:origin=1,2,3"], 2, r"frame must be a number from 1"),
        # Every count, rate, size and time against its range, before anything is read or written.
        (["run", "--frames", "0"], 2, r"^fxhost: --frames 0: expected a whole number from 1 to 100000$"),
        (["run", "--frames", "1e8"], 2, r"--frames 1e8: expected a whole number from 1 to 100000"),
        (["run", "--frames", "99999999999"], 2, r"--frames 99999999999: expected a whole number"),
        (["run", "--fps", "0"], 2, r"--fps 0: expected a number from 0\.1 to 1000"),
        (["run", "--fps", "nan"], 2, r"--fps nan: expected a number from 0\.1 to 1000"),
        (["run", "--size", "99999999999x10"], 2, r"--size 99999999999x10: expected WIDTHxHEIGHT, each from 16 to 8192"),
        (["demo", "--out", out, "--seconds", "1e8"], 2, r"--seconds 1e8: expected a number from 0\.1 to 60"),
        (["run", "--render"], 2, r"--render needs --out DIR"),
        (["run", "--out", out + ".glb", "--sheet"], 2, r"--sheet draws pictures into a folder, and --out \S+never\.glb is a glTF file"),
        (["run", "--out", out + ".OBJ"], 2, r"--out \S+never\.OBJ: frames go into a folder"),
        (["run", "--frobnicate"], 2, r"^fxhost run: unknown option --frobnicate$"),
        # A control character in what a message names is shown, never sent to the terminal.
        (["run", "--fo\x1bo"], 2, r"^fxhost run: unknown option --fo\\x1Bo$"),
        (["run", "--frame", "3"], 2, r"^fxhost run: unknown option --frame; did you mean --frames\?$"),
        (["rn"], 2, r"^fxhost: unknown command 'rn'; did you mean run\?$"),
        (["run", "--frames"], 2, r"^fxhost run: --frames needs a value$"),
        (["run", "--frames", "3", "--frames", "4"], 2, r"^fxhost run: --frames is given more than once: give it once$"),
        (["list", "a", "b"], 2, r"^fxhost list: unexpected 'a' 'b'$"),
        # An empty word (an unset shell variable) is refused, not taken for the option left out.
        (["run", "--scene", "", "--out", out], 2, r"^fxhost: --scene '': expected a value, not an empty word$"),
        (["run", "twist", "--out", ""], 2, r"^fxhost: --out '': expected a value"),
        (["list", "--plugin", os.path.join(WORK, "none.fx")], 1, r"cannot load plug-in"),
        (["params"], 2, r"^fxhost params: EFFECT is required$"),
    ] + [(["run", "_GenericTranslate", "--set", s], 2, m) for s, m in [
        ("on mesh=1.5", r"'on mesh' is a flag: its value lies in 0\.\.1"),
        ("on mesh=-0.1", r"lies in 0\.\.1"),
        ("on mesh=abc", r"'abc' is not a number \(a flag takes on, off, true, false or a number 0\.\.1\)"),
        ("origin=1,2", r"three finite numbers"),
        ("origin=1,2,nan", r"three finite numbers x,y,z: 'nan' is not a finite number"),
        ("translation=1e39,0,0", r"'1e39' lies outside a float's range"),
        ("size x=0.5", r"unknown parameter 'size x' \(known: on mesh, on spline, on particles, origin, translation\)"),
        ("30:origin=1,2,3", r"frame 30 is past the last frame 24"),
        ("GenericTwist.center=0,0,0", r"no effect GenericTwist in the run")]]
    cases.append((["run", "_GenericTranslate", "--frames", "1", "--set", "on mesh=0.49"], 0, r"^$"))
    # Skin weights are no part of a scene: passed over, even those the OBJ reader would refuse.
    cases.append((["run", "--scene", write("weights.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvw 1 -1 0.5\nf 1 2 3\n"),
                   "--frames", "1"], 0, r"^$"))
    if not FXHOST.endswith(".exe"):  # Windows names hold no control characters
        cases.append((["run", "--scene", write("line\nbreak.obj", "v 1 x 0\n"), "--out", out], 1,
                      r"^fxhost: \S+line\\x0Abreak\.obj:1: 'x' is not a number$"))
        cases.append((["list", "--plugin", write("windows.fx", b"MZ\x90\x00" + bytes(60))], 1,
                      r"^fxhost: cannot load plug-in \S+windows\.fx: a Windows DLL, for a Windows host \(fxhost\.exe"))
    if PROBE != "none":  # the viewer: its size, and a script refused before a window opens
        cases += [(["view", "--size", "639x400"], 2, r"^fxhost: --size 639x400: expected WIDTHxHEIGHT, from 640x360 to "
                   r"8192x8192$"),
                  (["view", "--script", write("typo.txt", "add twist\nfrobnicate\n")], 1,
                   r"^fxhost: \S*typo\.txt:2: unknown action 'frobnicate'$"),
                  (["view", "--script", write("nopath.txt", "add twist\nscreenshot\n")], 1,
                   r"^fxhost: \S*nopath\.txt:2: expected screenshot PATH$"),
                  (["view", "--script", write("nul.txt", "add twist\0x\n")], 1,
                   r"^fxhost: \S*nul\.txt:1: a NUL byte: a script is text, an action a line$")]
    else:  # the builds without OpenGL refuse what needs pictures
        cases += [(args, 2, rf"^fxhost: {what} needs pictures, and this fxhost is built without OpenGL: it writes OBJ "
                   r"frames only$") for args, what in [(["run", "--out", out, "--render"], "--render"),
                                                      (["run", "--out", out, "--sheet"], "--sheet"),
                                                      (["demo", "--out", out], "demo")]]
    for args, status, message in cases:
        code, _, err = fxhost(*args)
        check(code == status and re.search(message, err.rstrip("\n")) and err.count("\n") <= 1,
              f"{args}: exit {code}, {err!r}; expected {status}, /{message}/")
        check(not os.path.exists(out) and not os.path.exists(out + ".glb"), f"{args} wrote output")
    # An output that would replace or remove an input (the scene, or the session), or a file where a folder
    # goes, is refused, and the file stays.
    session = json.dumps({"version": 1, "frames": 2, "effects": [{"name": "twist"}]})
    kept = [("frame_0001.obj", SMALL_SCENE, ["run", "--scene", "frame_0001.obj", "--out", "."], "would overwrite the input scene"),
            ("frame_0050.obj", SMALL_SCENE, ["run", "--scene", "frame_0050.obj", "--frames", "3", "--out", "."],
             "among an earlier run's frames"),
            ("session.gltf", session, ["run", "--session", "session.gltf", "--out", "session.gltf"],
             "would overwrite the input session")]
    if PROBE != "none":
        kept += [("demo.txt", "mine", ["demo", "--out", "demo.txt"], "--out demo.txt is a file: demo writes a folder of "
                  "pictures and index.html\n"), ("pages.txt", "mine", ["pages", "--out", "pages.txt"], "--out pages.txt "
                  "is a file: pages writes a folder of pages and their pictures\n")]
    for name, text, args, message in kept:
        write(name, text)
        code, _, err = fxhost(*args, cwd=WORK)
        check(code == 2 and message in err and open(os.path.join(WORK, name)).read() == text, f"{args}: {code} {err}")
    for command in ["list", "params", "run", "demo", "scene"]:
        code, out, _ = fxhost(command, "--help")
        check(code == 0 and "Usage" in out, f"{command} --help")


def case_names():
    scene = write("scene.obj", SMALL_SCENE)
    # Short, case-insensitive names, unique beginnings and indices name the catalogue's effect.
    twisted = last_frame("GenericTwist", "--scene", scene, "--frames", "2")
    for name in ("twist", "TWIST", "generic_twist", "tw", index("GenericTwist")):
        check(last_frame(name, "--scene", scene, "--frames", "2") == twisted, f"{name} is not GenericTwist")
    check(fxhost("params", "translate")[1].startswith("_GenericTranslate:"), "params by short name")
    # #N names one entry of a stack that holds an effect twice; a bare name sets every entry.
    runs = {label: last_frame("twist", "twist", "--frames", "2", *sets) for label, sets in {
        "each": ["--set", "#1.frequency=0.9", "--set", "2:#2.frequency=0.9"],
        "both": ["--set", "frequency=0.9", "--set", "2:frequency=0.9"],
        "second": ["--set", "2:#2.frequency=0.9"], "neither": []}.items()}
    check(runs["each"] == runs["both"] and len(set(runs.values())) == 3, "#N does not address one entry")
    # A plug-in named without a folder is the file in the current folder, not one on the library path.
    code, _, err = fxhost("list", "--plugin", "generic.fx", cwd=os.path.dirname(FXHOST))
    check(code == 0, f"--plugin generic.fx from its folder: {err}")
    # An effect with nothing to act on is named, and the run goes on; a flag takes off and false as 0.
    curveless = write("curveless.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\np 1\n")
    for args, why in [(["translatefromspline", "--scene", curveless], r"_GenericTranslateFromSpline follows a spline "
                       r"and the scene has none: it moves nothing"),
                      (["twist", "--set", "on mesh=false", "--set", "on spline=off", "--set", "on particles=0"],
                       r"GenericTwist acts on nothing: on mesh, on spline and on particles are off")]:
        code, _, err = fxhost("run", *args, "--frames", "1")
        check(code == 0 and re.fullmatch(rf"fxhost: warning: {why}\n", err), f"{args}: exit {code}, {err!r}")
    # A run longer than a second shows its progress on a terminal, and clears it when it ends, here by
    # Ctrl-C once the line shows: the wait does not grow with the build's speed.
    if not EMULATOR:
        import pty
        master, slave = pty.openpty()
        run = subprocess.Popen([FXHOST, "run", "twist", "--frames", "100000"], stdout=subprocess.DEVNULL, stderr=slave)
        os.close(slave)
        shown = b""
        while b" fps, " not in shown:  # an OSError here: the run ended first
            shown += os.read(master, 4096)
        run.send_signal(signal.SIGINT)
        with contextlib.suppress(OSError):  # the terminal's end, once the run is gone
            while chunk := os.read(master, 4096):
                shown += chunk
        check(run.wait() == 130, f"the long run ends with {run.returncode}")
        lines = shown.decode().replace("\033[K", "").split("\r")
        check(any(re.fullmatch(r"GenericTwist \[[#.]{30}\] \d+/100000 frames, [\d.]+ fps, \d+ s left", l) for l in lines)
              and re.search(rb"\r\033\[Kfxhost: interrupted \(SIGINT\)[^\r]*\r\n$", shown),
              f"no progress line, or not cleared: {shown[-300:]!r}")


def whole_frames(folder):
    """The frame files of a folder, each checked whole; fails on any other file fxhost left there."""
    names = sorted(os.listdir(folder))
    check(all(re.fullmatch(r"frame_\d{4}\.obj", n) for n in names), f"{folder} holds {names}")
    texts = [open(os.path.join(folder, n)).read() for n in names]
    check(len({t.count("\n") for t in texts}) <= 1 and all(t.endswith("\n") for t in texts), f"a frame in {folder} is not whole")
    return names


def case_outputs():
    import resource
    out = os.path.join(WORK, "out")
    # A reused folder holds this run's frames only; files fxhost did not name stay.
    check(fxhost("run", "--frames", "6", "--out", out)[0] == 0, "the first run")
    write("out/notes.txt", "mine\n")
    write("out/frame_0005.png", "an earlier picture")
    code, _, err = fxhost("run", "--frames", "2", "--out", out)
    check(code == 0 and sorted(os.listdir(out)) == ["frame_0001.obj", "frame_0002.obj", "notes.txt"]
          and re.fullmatch(r"fxhost: removed 7 files of an earlier run from \S+out\n", err),
          f"reused folder: {sorted(os.listdir(out))}, {err!r}")
    if FXHOST.endswith(".exe"):
        return
    # Through a symbolic link the file it names is written, and the link stays; a device or a pipe is
    # written straight, never replaced by a file; a full one fails the command, printed output too.
    real, link = os.path.join(WORK, "real.obj"), os.path.join(WORK, "link.obj")
    os.symlink("real.obj", link)
    check(fxhost("scene", "--out", link)[0] == 0 and os.path.islink(link) and os.path.getsize(real) > 0, "through a link")
    code, printed, _ = fxhost("scene", "--out", "/dev/stdout")
    check(code == 0 and printed == open(real).read(), f"the scene to /dev/stdout: {code}")
    if not EMULATOR:  # no signals or resource limits through wine
        # Interrupted: the frame being written goes, the frames before it stay whole, the status tells the signal.
        for number, status in ((signal.SIGINT, 130), (signal.SIGTERM, 143)):
            shutil.rmtree(out)
            run = subprocess.Popen([FXHOST, "run", "twist", "--frames", "100000", "--out", out], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE, text=True)
            while not os.path.exists(os.path.join(out, "frame_0003.obj")):
                check(run.poll() is None, "the run ended early")
            run.send_signal(number)
            err = run.communicate(timeout=60)[1]
            check(run.returncode == status and re.fullmatch(
                rf"fxhost: interrupted \({signal.Signals(number).name}\); the \d+ frames written are whole\n", err),
                f"signal {number}: exit {run.returncode}, {err!r}")
            whole_frames(out)
    # A full device, disk (a file size limit) or memory (an address space limit, which the sanitizer build cannot
    # start under) fails the command in fxhost's words, printed output too; nothing that did not fit is left.
    full = open("/dev/full", "w")
    failures = [(["scene", "--out", "/dev/full"], {"stdout": full}, r"cannot write /dev/full: No space left on device"),
                (["list"], {"stdout": full}, r"cannot write the standard output: No space left on device")]
    if not EMULATOR:
        limit = lambda kind, size: lambda: resource.setrlimit(kind, (size, size))
        disk = {"preexec_fn": limit(resource.RLIMIT_FSIZE, 500000), "restore_signals": False}
        failures += [(["run", "twist", "--frames", "5", "--out", target], disk, rf"cannot write \S+{written}: File too large")
                     for target, written in ((out, "frame_0001.obj"), (out + ".glb", "out.glb"))]
        if b"__asan_init" not in open(FXHOST, "rb").read():
            failures.append((["run", "twist", "--frames", "20000", "--out", out + ".glb"],
                             {"preexec_fn": limit(resource.RLIMIT_AS, 600 << 20), "timeout": 120},
                             r"out of memory at frame \d+ of 20000: a glTF file keeps every frame in memory until it is "
                             r"written; write fewer frames, or OBJ frames into a folder"))
    for args, options, message in failures:
        shutil.rmtree(out)
        os.makedirs(out)
        code, _, err = fxhost(*args, **options)
        check(code == 1 and re.fullmatch(rf"fxhost: {message}\n", err), f"{args}: exit {code}, {err!r}")
        check(whole_frames(out) == [] and not os.path.exists(out + ".glb") and not any(".tmp" in n for n in os.listdir(WORK))
              and not os.path.isfile("/dev/full"), f"{args} left {os.listdir(out)} {os.listdir(WORK)}")


def case_sessions():
    write("scene.obj", SMALL_SCENE)
    other = write("other.obj", "v 0 3 1\nv 2 1 0\nv 1 0 2\nf 1 2 3\nl 1 2\np 3\n")
    camera = {"up": "z", "yaw": 30, "pitch": 20, "distance": 9, "radius": 2, "target": [0, 1, 0]}
    session = {"version": 1, "scene": "scene.obj", "frames": 3, "fps": 12, "camera": camera, "effects": [
        {"name": "_GenericTranslate", "params": {"translation": [0, 0, 1], "on particles": False},
         "edits": [{"frame": 2, "param": "origin", "value": [5, 0, 0]}]},
        {"name": "twist", "bypassed": True, "params": {"frequency": 0.2}},
        {"name": "GenericTwist", "params": {"frequency": 0.9}, "edits": [{"frame": 3, "param": "rotate speed", "value": 0.7}]}]}
    saved = write("s.json", json.dumps(session))
    # Start values, edits and bypasses are those the same run gets from the command line, on the
    # session's scene or on another one.
    same = ["_GenericTranslate", "GenericTwist", "--frames", "3", "--fps", "12", "--set", "translation=0,0,1",
            "--set", "#1.on particles=0", "--set", "2:origin=5,0,0", "--set", "frequency=0.9", "--set", "3:rotate speed=0.7"]
    for scene in (os.path.join(WORK, "scene.obj"), other):
        check(last_frame("--session", saved, *(["--scene", scene] if scene == other else []))
              == last_frame(*same, "--scene", scene), f"the session on {scene}")
    # What is wrong in a session is named by its field, in fxhost's words.
    twist = lambda **fields: {"effects": [dict(name="GenericTwist", **fields)]}
    edit = lambda frame: [{"frame": frame, "param": "frequency", "value": 0.5}]
    bad = [(twist(edits=edit(0)), r"effects\[0\]\.edits\[0\]\.frame: expected a frame number from 1 to 240"),
           ({"effects": [{"name": "GenericTwist"}, *twist(edits=edit("x"))["effects"]]},
            r"effects\[1\]\.edits\[0\]\.frame: expected a frame number from 1 to 240"),
           (dict(twist(edits=edit(11)), frames=10), r"effects\[0\]\.edits\[0\]\.frame: expected a frame number from 1 to 10"),
           (twist(params={"frequency": "high"}), r"effects\[0\]\.params\.frequency: expected a number, true or false, or \[x, y, z\]"),
           (twist(params={"frequency": 5}), r"effects\[0\]\.params\.frequency: 'frequency' is a scalar: its value lies in 0\.\.1"),
           (twist(params={"center": [0, 1e39, 0]}), r"effects\[0\]\.params\.center: .*'1e\+39' lies outside a float's range "
            r"\(3\.4e38\)"),
           (twist(params={"frequencyy": 0.5}), r"effects\[0\]\.params\.frequencyy: unknown parameter 'frequencyy'; did you mean "
            r"'frequency'\?"),
           ({"effects": [{"name": "Twistt"}]}, r"effects\[0\]\.name: unknown effect 'Twistt'; did you mean GenericTwist\?"),
           ({"effects": [{"name": "twist\0\n"}]}, r"effects\[0\]\.name: unknown effect 'twist\\x00\\x0A'; did you mean "
            r"GenericTwist\?"),
           (twist(bypassed="yes"), r"effects\[0\]\.bypassed: expected true or false"),
           ({"effect": []}, r"effect: unknown field; did you mean 'effects'\?"),
           ({"effects": [{"name": "GenericTwist"}] * 101}, r"effects: a stack holds at most 100 effects, not 101"),
           ({"scene": ""}, r"scene: expected a file name, or null for the built-in scene"),
           ({"fps": -1}, r"fps: expected a number from 0\.1 to 1000"),
           ({"frames": 1e9}, r"frames: expected a whole number from 1 to 100000"),
           ({"camera": dict(camera, distance=-1)}, r"camera\.distance: expected a number from 1e-6 to 1e30"),
           ({"camera": dict(camera, up="x")}, r"camera\.up: expected y or z"),
           ({"version": 2}, r"version: 2 is a newer session than this fxhost reads \(1\)"),
           ([], r"expected an object \(a session\)"),
           ("[" * 9 + "]" * 9, r"values nested more than 8 deep: not a session"),
           ("{\n  \"frames\": 3,\n}", r"(?<=:3:1: )not JSON: .*unexpected '}'.*"),
           ('{"effects": 1e400}', r"not JSON: number overflow parsing '1e400'")]
    for content, message in bad:
        code, _, err = fxhost("run", "--session", write("bad.json", content if isinstance(content, str)
                                                        else json.dumps(content)), "--frames", "1")
        check(code == 1 and re.fullmatch(rf"fxhost: \S*bad\.json(:\d+:\d+)?: ({message})\n", err) and "json." not in err,
              f"{content}: exit {code}, {err!r}; expected /{message}/")


def case_samples():
    # The sample scenes read, and the built-in scene written out reads back as the same scene.
    samples = os.path.join(HERE, "..", "..", "scenes")
    for name in ("bar.obj", "curve.obj", "blob.obj"):
        code, _, err = fxhost("run", "--scene", os.path.join(samples, name), "--frames", "1")
        check(code == 0 and not err, f"{name}: {err}")
    check(fxhost("scene", "--out", os.path.join(WORK, "builtin.obj"))[0] == 0, "scene --out")
    # The reader takes a vertex's normal as the mean direction of its corners' normals: a unit
    # normal read back may differ in its last bit.
    read, own = (last_frame(*scene, "--frames", "1").splitlines() for scene in (["--scene", os.path.join(WORK, "builtin.obj")], []))
    split = [([l for l in lines if not l.startswith("vn ")], [float(x) for l in lines if l.startswith("vn ") for x in l.split()[1:]])
             for lines in (read, own)]
    check(split[0][0] == split[1][0] and len(split[0][1]) == len(split[1][1]) and close(split[0][1], split[1][1], 1e-6),
          "the built-in scene written out is not the built-in scene")
    # The README's commands run as written, from a checkout whose build is the one under test.
    if EMULATOR or PROBE == "none":
        return
    readme = open(os.path.join(HERE, "..", "..", "README.md")).read()
    commands = re.search(r"## A taste of fxhost\n\n```sh\n(.*?)```", readme, re.S).group(1)
    os.symlink(os.path.dirname(os.path.abspath(FXHOST)), os.path.join(WORK, "build"))
    os.symlink(os.path.abspath(samples), os.path.join(WORK, "scenes"))
    for line in commands.splitlines():
        command = line.split("#")[0].split()
        if command[0] == "build/fxhost":
            result = host_checks.run(command, cwd=WORK, timeout=120)
            check(result.returncode == 0, f"{line}: {result.stderr}")


def case_round_trip():
    # Quads and a pentagon are triangulated; normals are per vertex; uvs and closed lines survive.
    scene = ("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0.5 0\nv 5 5 5\nv 6 5 5\nv 6 6 5\nv 7 7 7\n"
             "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvt 0.5 0.5\nvn 0 0 1\n"
             "f 1/1/1 2/2/1 3/3/1 4/4/1\nf 2/2/1 5/5/1 3/3/1\nl 6 7 8 6\nl 7 8\np 9 6\n")
    first = last_frame("--scene", write("in.obj", scene), "--frames", "1")
    check(last_frame("--scene", write("again.obj", first), "--frames", "1") == first, "reading back what was written changes it")
    windows = write("windows.obj", "\ufeff" + scene.replace("\n", "\r\n"))
    check(last_frame("--scene", windows, "--frames", "1") == first, "a byte order mark and CRLF ends change the scene")
    lines = first.splitlines()
    faces = [l for l in lines if l.startswith("f ")]
    check(len(faces) == 3 and all(len(f.split()) == 4 for f in faces), f"triangulated: {faces}")
    check(sum(l.startswith("vn ") for l in lines) == 5 and sum(l.startswith("vt ") for l in lines) == 5, "normals, uvs")
    polylines = [l.split()[1:] for l in lines if l.startswith("l ")]
    check(len(polylines) == 2 and polylines[0][0] == polylines[0][-1] and len(polylines[0]) == 4
          and polylines[1][0] != polylines[1][-1], f"closed then open curve: {polylines}")
    check(sum(len(l.split()) - 1 for l in lines if l.startswith("p ")) == 2, "two particles")
    check(vertices(first)[-2:] == [(7, 7, 7), (5, 5, 5)], "particle positions")
    # Materials are never read: a library that would block on open (a FIFO) changes nothing.
    os.mkfifo(os.path.join(WORK, "blocks.mtl"))
    code, _, err = fxhost("run", "--scene", write("with_materials.obj", "mtllib blocks.mtl\n" + scene), "--frames", "1")
    check(code == 0 and not err, f"with_materials: exit {code}, {err!r}")
    if FXHOST.endswith(".exe"):
        return
    # A scene or session from a pipe is read once, as a file is; a device that never ends is cut off.
    code, _, err = fxhost("run", "--scene", "/dev/stdin", "--frames", "1", "--out", os.path.join(WORK, "piped"), input=scene)
    check(code == 0 and open(os.path.join(WORK, "piped", "frame_0001.obj")).read() == first, f"a piped scene: {err}")
    code, _, err = fxhost("run", "--session", "/dev/zero")
    check(code == 1 and err == "fxhost: /dev/zero: longer than 64 MiB, more than any session fxhost reads\n", err)


def render(*args):  # the size written with a capital X, as some write it
    return probe(os.path.join(run_into("out", *args, "--frames", "2", "--render", "--size", "320X240"), "frame_0002.png"))


def case_render_gizmo():
    # Bounds centred on the origin, 20 across: the arrow from (0,0,0) to (0,10,0) rises from the picture's centre.
    scene = write("bounds.obj", "v -10 -10 -10\nv 10 10 10\nv 0 0 0\nv 0.2 0 0\nv 0 0 0.2\nf 3 4 5\np 1 2\n")
    info = render("_GenericTranslate", "--scene", scene, "--set", "on mesh=0", "--set", "on particles=0")
    count, cx, cy, left, top, right, bottom = info["red"]
    check(count > 80, f"red arrow: {count} pixels")
    check(abs(cx - 160) < 15 and 40 < top < 100 and 110 < bottom < 130 and right - left < 30,
          f"red where the arrow lies: centroid {cx},{cy} box {left},{top},{right},{bottom}")
    check(info["background"][0] > 0.9 * 320 * 240, "the rest stays background")


def case_render_scene():
    info = render()
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
        info = render("--scene", spike, "--up", up, "--view", "front")
        count, _, _, _, _, right, bottom = info["surface"]
        check(count > 200 and right < 200, f"--up {up}: the spike is seen in the middle: {info}")
        check(bottom <= 240 - 0.1 * 240, f"--up {up}: framed with a margin: bottom {bottom}")
        check((bottom > 150) == upright, f"--up {up}: upright {upright}: bottom {bottom}")


def case_demo():
    out = os.path.join(WORK, "demo")
    shutil.rmtree(out, ignore_errors=True)
    # Every effect's pictures and animation: minutes in the sanitized build on a busy machine.
    code, stdout, err = fxhost("demo", "--out", out, "--seconds", "0.75", timeout=400)
    check(code == 0, f"demo fails: {err}")
    page = open(os.path.join(out, "index.html")).read()
    check(probe(os.path.join(out, "scene.png"))["colours"][0] > 200, "scene picture")
    for _, name, _ in catalogue():
        check(os.path.exists(os.path.join(out, name + ".png")) and f'src="{name}.png"' in page
              and f'href="{name}.glb"' in page and f'data-model="{name}"' in page, f"{name} in the gallery")
        check(re.search(rf"^{name}: 18 frames, [0-9.]+ ms per frame", stdout, re.M), f"{name} timing")
        reference = re.search(rf'id="{name}".*?<a href="(reference/[a-z_]+\.html)">', page, re.S)
        check(reference and os.path.exists(os.path.join(out, reference.group(1))), f"{name}'s reference page")
    validate(*(os.path.join(out, f) for f in sorted(os.listdir(out)) if f.endswith(".glb")))

    # Headless Chromium opens the gallery from its folder: every live viewer draws its model, and a
    # moved one as the page's clock goes on (the effects all animate in the demo).
    result = host_checks.run(["node", os.path.join(HERE, "gallery_browser.js")], os.environ["FX_PLAYWRIGHT"],
                             os.path.join(out, "index.html"), out, timeout=300)
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
        moved = [probe(first, p)["differ"][0] for p in later]
        check(max(moved) > 20, f"{name}: still as the clock goes on: {moved} pixels changed")


def gltf_json(path):
    data = open(path, "rb").read()
    if data[:4] == b"glTF":  # header, then the JSON chunk's length and type
        return json.loads(data[20:20 + struct.unpack_from("<I", data, 12)[0]])
    return json.loads(data)


def validate(*files):
    """The Khronos glTF-Validator (installed into the build tree by the test setup) finds no error."""
    result = host_checks.run(["node", os.path.join(HERE, "validate_gltf.js"), os.environ["FX_GLTF_VALIDATOR"]], *files, timeout=300)
    check(result.returncode == 0, f"glTF-Validator: {result.stdout}{result.stderr}")


def case_gltf():
    # The built-in scene (uv seams, normals, open and closed curves, particles) turning, and two triangles
    # of which the magnet at the origin pulls the near one alone (towards -x): every frame is stored sparse.
    near = write("near.obj", "v 1 0 0\nv 2 0 0\nv 1 0 1\nv 20 0 0\nv 20 0 1\nv 21 0 0\nf 1 2 3\nf 4 5 6\n")
    runs = {"rotate": ["_GenericRotate", "--frames", "6", "--fps", "12"],
            "near": ["GenericMagnet", "--scene", near, "--frames", "3", "--fps", "12"]}
    for name, args in runs.items():
        for out in (name, name + ".glb", name + ".gltf"):
            run_into(out, *args)
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
    frames = {"rotate": ([1, 3, 6], 4608), "near": ([1, 3], 6)}  # and the mesh's vertices
    positions = os.path.join(WORK, "blender.json")
    # Blender's Python takes its library from the first python3 on PATH: Debian's.
    result = host_checks.run(["blender", "-b", "--factory-startup", "--python", os.path.join(HERE, "blender_frames.py")],
                             "--", positions, 12, *(f"{os.path.join(WORK, n)}.glb:{','.join(map(str, f))}"
                                                    for n, (f, _) in frames.items()),
                             timeout=300, env=dict(os.environ, PATH="/usr/bin:/bin"))
    check(result.returncode == 0 and os.path.exists(positions),
          f"blender: {result.stdout[-2000:]}{result.stderr[-2000:]}")
    evaluated = json.load(open(positions))
    lines = open(os.path.join(WORK, "rotate", "frame_0001.obj")).read().splitlines()
    table = [[float(x) for x in l.split()[1:3]] for l in lines if l.startswith("vt ")]
    uvs = [table[int(c.split("/")[1]) - 1] for l in lines if l.startswith("f ") for c in l.split()[1:]]
    seen_uvs = evaluated[files[0]]["uvs"]
    check(len(seen_uvs) == len(uvs) == 4608 * 6 and all(close(a, b, 1e-6) for a, b in zip(uvs, seen_uvs)),
          "Blender's uvs are the scene's, corner by corner")
    for name, (chosen, mesh_vertices) in frames.items():
        for frame in chosen:
            expected = vertices(open(os.path.join(WORK, name, f"frame_{frame:04d}.obj")).read())
            seen = evaluated[os.path.join(WORK, name) + ".glb"][str(frame)]
            seen = seen[:mesh_vertices] + seen[mesh_vertices + len(seen) - len(expected):]
            tolerance = 2 * 2**-23 * max(abs(c) for p in expected for c in p)
            worst = max(abs(a - b) for p, q in zip(expected, seen) for a, b in zip(p, q))
            check(len(seen) == len(expected) and worst <= tolerance,
                  f"{name} frame {frame}: {len(seen)} of {len(expected)} points, off by {worst} > {tolerance}")


host_checks.run_case(globals(), CASE, WORK)
