#!/usr/bin/env python3
"""Runs `fxhost view` in a real window under Xvfb and checks what it shows.

usage: viewer_test.py CASE FXHOST PNG_PROBE WORKDIR   (run inside xvfb-run)
script: a --script session: scene and gizmo colours, edits, orbit,
        and a scrubbed frame equal byte for byte to what `run --session` writes.
window: a refused scene kept with --stay; synthetic mouse and keys (xdotool): wheel and F, a drag, a checkbox.
"""
import filecmp
import functools
import json
import os
import subprocess
import sys
import time

import host_checks
from host_checks import check

CASE, FXHOST, PROBE, WORK = sys.argv[1:5]
probe = functools.partial(host_checks.probe, PROBE)
fxhost = functools.partial(host_checks.run, [FXHOST])


def path(name):
    return os.path.join(WORK, name)


def write(name, text):
    return host_checks.write(path(name), text)


def view(script, *options, fails=None):
    """Views with SCRIPT, which runs to its end, or, given FAILS (line, message), stops there with status 1."""
    write("script.txt", "\n".join(line.strip() for line in script.strip().splitlines()) + "\n")
    result = fxhost("view", "--script", "script.txt", *options, cwd=WORK, errors="surrogateescape", timeout=120)
    if fails:
        check(result.returncode == 1 and result.stderr == "fxhost view: script.txt:%d: %s\n" % fails,
              f"expected {fails}: {result.returncode} {result.stderr!r}")
    else:
        check(result.returncode == 0 and not result.stderr, f"view fails: {result.stderr}")


def case_script():
    # No quit: the window ends with the script.
    view("""
        add _GenericTranslate
        add GenericTwist
        frame-all
        screenshot first.png
        set 1 translation=0,3,0
        frame 5
        set 2 frequency=0.9
        set 2 rotate speed=0.8
        screenshot edited.png
        frame 12
        set 1 origin=1,0,0
        bypass 1 on
        frame 20
        frame 15
        save-session session.json
        orbit 90 0
        screenshot orbited.png
        load-session session.json
        save-session again.json
    """, "--size", "800x600")
    first = probe(path("first.png"))
    pixels = first["width"][0] * first["height"][0]
    check(first["width"][0] == 800 - 380 and first["height"][0] == 600 - 26, f"the picture beside the panel: {first}")
    check(first["surface"][0] > 0.05 * pixels and first["orange"][0] > 100 and first["blue"][0] > 100,
          f"mesh, curves and particles drawn: {first}")
    check(first["red"][0] > 100 and first["green"][0] > 50, f"the gizmos drawn: {first}")
    check(not filecmp.cmp(path("first.png"), path("edited.png"), shallow=False), "an edit changes the picture")
    edited, orbited = probe(path("edited.png")), probe(path("orbited.png"))
    check(abs(edited["green"][1] - orbited["green"][1]) > 15, f"orbiting turns the gizmo: {edited} {orbited}")
    check(json.load(open(path("session.json"))) == json.load(open(path("again.json"))),
          "a session read back and saved again changes")

    # The first failing action ends the script with status 1 (with --stay the window stays: case_window).
    # It is named as the script has it, and its first bad word is the one named. Nothing the viewer saves
    # is written over the scene, by whatever name it is given; a picture fails as its frame is drawn. A
    # session is UTF-8 text: a scene whose name is not cannot be saved in one.
    for name in ("scene.obj", "sc\udcff.obj"):
        write(name, "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n")
    for edit, message in (("set 9 frequency=0.5", "no effect 9 in the stack of 1"),
                          ("set 1 frequency=5", "frequency=5: 'frequency' is a scalar: its value lies in 0..1"),
                          ("up x", "'x': expected y or z"), ("move 2 3", "no effect 2 in the stack of 1"),
                          ("bypass 2 maybe", "no effect 2 in the stack of 1"),
                          ("save-frame ./script.txt", "saving would overwrite the script ./script.txt"),
                          ("orbit a b", "'a': expected a number from -1e6 to 1e6"),
                          ("show everything on", "'everything': expected gizmos, mesh, wireframe, curves or particles"),
                          ("save-frame .", "cannot write .: a folder, not a file"),
                          ("scene no\x1bne.obj", "no\\x1Bne.obj: cannot open: No such file or directory (the current "
                           "scene stays)"),
                          ("scene scene.obj\nsave-session ./scene.obj", "saving the session would overwrite the scene "
                           "./scene.obj"),
                          ("scene scene.obj\nscreenshot ./scene.obj", "saving the picture would overwrite the scene "
                           "./scene.obj"),
                          ("scene sc\udcff.obj\nsave-session bytes.json", "cannot save the session: the scene's path "
                           "sc\udcff.obj is not UTF-8 text, and a session is")):
        view(f"add GenericTwist\n{edit}\nsave-session never.json\n", fails=(edit.count("\n") + 2, message))
        check(open(path("scene.obj")).read().startswith("v 0 0 0") and not os.path.exists(path("never.json")),
              f"{edit}: the scene written over, or the script went on")
    view("add translate\n" * 101, fails=(101, "a stack holds at most 100 effects, not 101"))

    # view --help tells every key, the mouse and every script action.
    help_text = fxhost("view", "--help").stdout
    for word in ("F12", "Ctrl+Q", "Space", "wheel", "right-drag", "--stay", "save-session", "screenshot-window",
                 "load-session", "frame-all", "fit N", "set [N] NAME=VALUE", "bypass N on|off"):
        check(word in help_text, f"view --help does not tell {word}: {help_text}")

    # The status line and the panel at 1280x800 and at 800x400: the line is whole, the panel scrolls.
    for width, height in ((1280, 800), (800, 400)):
        name = f"window_{width}x{height}.png"
        view(f"add GenericTwist\nadd GenericMagnet\nadd GenericHarmonik\nframe 12\nshow mesh off\nshow wireframe on\n"
             f"screenshot-window {name}\nscreenshot wires.png\nshow wireframe off\nscreenshot bare.png\n",
             "--size", f"{width}x{height}")
        status = probe(path(name), "--region", 0, height - 26, width, 26)
        check(status["text"][0] > 200 and status["text"][5] < width - 12,
              f"{width}x{height}: the status line is cut or missing: {status}")
        check(probe(path("wires.png"))["background"][0] < probe(path("bare.png"))["background"][0] - 2000,
              f"{width}x{height}: no wireframe without the mesh")

    # Every effect in one stack, Translate first, edits and a bypass on the way: a frame shown after a scrub back
    # is the frame `run --session` writes.
    listed = [name for _, name, _ in host_checks.catalogue([FXHOST])]
    script = [f"add {name}" for name in ["_GenericTranslate"] + [n for n in listed if n != "_GenericTranslate"]]
    script += ["frame 9", "set intensity=0.9", "set 1 origin = 0,1,0", "frame 30", "set speed=0.9", "bypass 2 on",
               "frame 40", "frame 33", "save-frame all.obj", "save-session all.json"]
    view("\n".join(script))
    result = fxhost("run", "--session", path("all.json"), "--frames", "33", "--out", path("out"))
    check(result.returncode == 0, f"run --session of every effect fails: {result.stderr}")
    check(filecmp.cmp(path("all.obj"), path("out/frame_0033.obj"), shallow=False),
          "every effect stacked: frame 33 shown after a scrub is run's")

    # A model 0.15 across, 100 units out: Twist's default axis through the origin throws it out of
    # sight; "fit to scene" brings both effects to it, and the frame keeps it where it was.
    write("small.obj", "v 100 50 0\nv 100.15 50 0\nv 100 50.15 0\nv 100 50 0.15\nf 1 2 3\nf 1 3 4\nf 1 4 2\n")
    view("scene small.obj\nadd GenericMagnet\nadd GenericTwist\nfit 1\nfit 2\nframe 2\nsave-frame fit.obj\nsave-session fit.json")
    moved = [[float(x) for x in l.split()[1:]] for l in open(path("fit.obj")) if l.startswith("v ")]
    check(all(abs(v[0] - 100.075) < 0.2 and abs(v[1] - 50.075) < 0.2 and abs(v[2] - 0.075) < 0.2 for v in moved),
          f"fitted effects keep the model in place: {moved}")
    edits = {e["param"]: e["value"] for e in json.load(open(path("fit.json")))["effects"][0]["edits"]}
    check(edits["position"] == [100.075, 50.075, 0.075] and abs(edits["range"][1] - 0.5 * 0.13) < 0.01,
          f"the magnet's centre at the scene's, its range half its radius: {edits}")

    # A plug-in that does not load: the same line and status as run.
    answers = [fxhost(command, "--plugin", path("none.fx")) for command in ("run", "view")]
    check(answers[0].returncode == answers[1].returncode == 1 and answers[0].stderr == answers[1].stderr,
          f"a missing plug-in: {[(a.returncode, a.stderr) for a in answers]}")


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=30)
    time.sleep(0.3)


def case_window():
    # With --stay the window outlives its script's failing action, a refused scene, and keeps the scene it had.
    write("bad.obj", "v 0 0 0\nf 1 2 3\n")
    write("stay.txt", "screenshot before.png\nscene bad.obj\n")
    viewer = subprocess.Popen([FXHOST, "view", "_GenericTranslate", "--size", "1000x700", "--script", "stay.txt",
                               "--stay"], cwd=WORK, stderr=subprocess.PIPE, text=True)
    try:
        refused = viewer.stderr.readline()
        window = host_checks.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "fxhost view"]).stdout.split()[0]
        shots = []

        def shot():
            shots.append(path(f"fxhost_view_{len(shots) + 1}.png"))
            xdotool("mousemove", "--window", window, "700", "350")
            xdotool("key", "F12")
            for _ in range(50):
                if os.path.exists(shots[-1]):
                    return probe(shots[-1])
                time.sleep(0.1)
            check(False, f"F12 wrote no {shots[-1]}")

        first = shot()
        check(filecmp.cmp(path("before.png"), shots[0], shallow=False), "a refused scene changes the picture")
        for _ in range(5):
            xdotool("click", "4")  # the wheel: zoom in
        check(shot()["surface"][0] > 2 * first["surface"][0], "the wheel zooms in")
        xdotool("key", "f")
        shot()
        check(filecmp.cmp(shots[0], shots[2], shallow=False), "F frames the scene as at the start")
        xdotool("mousedown", "1")
        for x in (720, 760, 800, 840):
            xdotool("mousemove", "--window", window, str(x), "360")
        xdotool("mouseup", "1")
        dragged = shot()
        check(abs(dragged["surface"][1] - first["surface"][1]) > 5, f"a drag orbits: {first} {dragged}")
        xdotool("mousemove", "--window", window, "92", "17", "click", "1")  # the "mesh" checkbox
        check(shot()["surface"][0] == 0 and dragged["surface"][0] > 0, "the mesh checkbox hides the mesh")
        xdotool("key", "ctrl+q")
        check(viewer.wait(timeout=30) == 1, "ctrl+q closes the viewer, its script's failure told by the status")
        check("stay.txt:2: " in refused and "bad.obj:2:" in refused, f"--stay: {refused!r}")
    finally:
        if viewer.poll() is None:
            viewer.kill()


host_checks.run_case(globals(), CASE, WORK)
