"""What the package refuses, with the argument named; what it hands back;
what it allocates; the GIL while the effects run."""
import gc
import os
import shutil
import sys
import threading
import tracemalloc

import numpy as np
import pytest

import generic_fx as fx

P = np.zeros((5, 3), np.float32)
T = np.array([[0, 1, 2], [2, 3, 4]], np.uint32)


def read_only(a):
    a = a.copy()
    a.flags.writeable = False
    return a


@pytest.mark.parametrize("make, error, message", [
    (lambda: fx.Geometry(positions=P.astype(np.float64)), TypeError, "positions: expected float32 elements, got float64"),
    (lambda: fx.Geometry(positions=[[0, 0, 0]]), TypeError, "positions: expected a float32 array of shape"),
    (lambda: fx.Geometry(positions=np.zeros((5, 4), np.float32)), ValueError, r"positions: expected shape \(N, 3\), got \(5, 4\)"),
    (lambda: fx.Geometry(positions=np.zeros(15, np.float32)), ValueError, r"got \(15,\)"),
    (lambda: fx.Geometry(positions=np.zeros((3, 5), np.float32).T), ValueError, r"positions: expected C-contiguous rows, got strides \(4, 20\)"),
    (lambda: fx.Geometry(positions=np.zeros((10, 3), np.float32)[::2]), ValueError, "positions: expected C-contiguous"),
    (lambda: fx.Geometry(positions=P, triangles=T.astype(np.int32)), TypeError, "triangles: expected uint32 elements, got int32"),
    (lambda: fx.Geometry(positions=P, triangles=np.array([[0, 1, 5]], np.uint32)), ValueError, "triangles: index 5 in row 0 names no vertex"),
    (lambda: fx.Geometry(triangles=T), ValueError, "triangles: a mesh needs positions"),
    (lambda: fx.Geometry(positions=P, normals=np.zeros((4, 3), np.float32)), ValueError, r"normals: expected shape \(5, 3\)"),
    (lambda: fx.Geometry(positions=P, triangles=T, uvs=np.zeros((3, 2), np.float32)), ValueError, "uv_triangles: uvs and uv_triangles come together"),
    (lambda: fx.Geometry(positions=P, triangles=T, uvs=np.zeros((3, 2), np.float32), uv_triangles=T), ValueError, "uv_triangles: index 3 in row 1 names no uv"),
    (lambda: fx.Geometry(curves=[P, P.astype(np.float16)]), TypeError, r"curves\[1\]: expected float32 elements, got float16"),
    (lambda: fx.Geometry(curves=P), ValueError, r"curves\[0\]: expected shape"),
    (lambda: fx.Geometry(curves=[P], closed=[True, False]), ValueError, r"closed: expected one truth value per curve \(1\)"),
    (lambda: fx.Geometry(closed=[True]), ValueError, "closed: there are no curves to close"),
    (lambda: fx.Geometry(particles=P.view(np.int32)), TypeError, "particles: expected float32 elements, got int32"),
    (lambda: fx.Stack(["GenericTwst"]), KeyError, "unknown effect 'GenericTwst'"),
    (lambda: fx.Stack(["GenericTwist"], fps=0), ValueError, "fps: "),
    (lambda: fx.Stack(["GenericTwist"] * 101), ValueError, "effects: a stack holds at most 100 effects, not 101"),
    (lambda: fx.Stack(["GenericTwist"], plugin="/nowhere/generic.fx"), FileNotFoundError, "plugin: no generic.fx at /nowhere"),
    (lambda: fx.Stack(["GenericTwist"]).set("freq", 0.5), KeyError, r"no parameter 'freq' in GenericTwist \(known: on mesh,"),
    (lambda: fx.Stack(["GenericTwist"]).set("frequency", 1.5), ValueError, "value: 'frequency' is a scalar: its value lies in 0..1"),
    (lambda: fx.Stack(["GenericTwist"]).set("on mesh", -0.1), ValueError, "'on mesh' is a flag: its value lies in 0..1"),
    (lambda: fx.Stack(["GenericTwist"]).set("frequency", "0.5"), TypeError, "value: expected a number"),
    (lambda: fx.Stack(["GenericTwist"]).set("center", 0.5), TypeError, "'center' of GenericTwist is a point: it takes three numbers"),
    (lambda: fx.Stack(["GenericTwist"]).set("center", (0, float("inf"), 0)), ValueError, "'center' takes finite numbers"),
    (lambda: fx.Stack(["GenericTwist"]).set("center", (0, 1e39, 0)), ValueError, r"value: 1e\+39 lies outside a float's range"),
    (lambda: fx.Stack(["GenericTwist"]).set("frequency", 0.5, effect="GenericMagnet"), KeyError, "effect: no GenericMagnet in the stack"),
    (lambda: fx.Stack(["GenericTwist"]).params("twst"), KeyError, "unknown effect 'twst'; did you mean GenericTwist"),
    (lambda: fx.Stack(["GenericTwist"]).set("frequency", 0.5, effect=1), IndexError, "effect 1: the stack holds 1"),
    (lambda: fx.Stack(["GenericTwist"]).bypass(-1), IndexError, "effect -1: effects are counted from 0"),
    (lambda: fx.Stack(["GenericTwist"]).bake(P, 3), TypeError, "geometry: expected a generic_fx.Geometry, got ndarray"),
    (lambda: fx.Stack(["GenericTwist"]).set("frequency", 0.5, frame=-1), ValueError,
     r"frame: -1 is not 0 \(before the start\) or a frame from 1 to 2147483647"),
    (lambda: fx.Stack(["GenericTwist"]).set("frequency", 0.5, frame=10**12), ValueError, "frame: 1000000000000 is not"),
    (lambda: fx.Stack(["GenericTwist"]).set("frequency", 0.5, frame=2.5), TypeError, "frame: expected a whole number"),
    (lambda: fx.Stack(["GenericTwist"]).bake(fx.Geometry(positions=P), 0), ValueError, "frames: 0 is not a frame from 1"),
    (lambda: fx.Stack(["GenericTwist"]).set("freq\0", 0.5), KeyError, r"no parameter 'freq\\\\x00' in GenericTwist"),
    (lambda: fx.Stack(["GenericTwist"]).update(), fx.FrameOrderError, "update before start"),
    (lambda: fx.Stack(["GenericTwist"]).bake(fx.Geometry(positions=P), 3, kind="particles"), ValueError, "kind: the geometry has no particles"),
    # Nothing taken for what it is not: a string for a number, a NUL's end for the word, a truth value for an index.
    (lambda: fx.Stack(["GenericTwist"]).bake(fx.Geometry(positions=P), 3, kind="mesh\0x"), ValueError, r"kind: 'mesh\\x00x' is not 'mesh'"),
    (lambda: fx.Stack(["GenericTwist"], fps="24"), TypeError, "fps: expected a number, got str"),
    (lambda: fx.Stack(["GenericTwist"]).update("1"), TypeError, "time: expected a number, got str"),
    (lambda: fx.Stack([True]), TypeError, r"effects\[0\]: expected an index or a name, got bool"),
    (lambda: fx.Stack(None), TypeError, "effects: expected a list of names or indices, got NoneType"),
    (lambda: fx.Stack(["GenericTwist"]).params(1.5), TypeError, "effect: expected an index or a name, got float"),
    (lambda: fx.Stack(["GenericTwist"]).set(5, 0.5), TypeError, "name: expected a parameter's name, got int"),
    (lambda: fx.Stack(["GenericTwist"]).bypass(0, "yes"), TypeError, "bypassed: expected True or False, got str"),
    (lambda: fx.catalogue(plugin=5), TypeError, "plugin: expected a file's path, got int"),
])
def test_refused_with_the_argument_named(make, error, message):
    with pytest.raises(error, match=message):
        make()


def test_a_plugin_named_bare_is_in_the_current_folder(tmp_path, monkeypatch):
    # Not looked for along the system's library path; a name need not be UTF-8.
    for name in ("copy.fx", b"\xff.fx"):
        shutil.copy(fx.plugin_path(), tmp_path / os.fsdecode(name))
    monkeypatch.chdir(tmp_path)
    assert fx.Stack(["GenericTwist"], plugin="copy.fx").names == ["GenericTwist"]
    assert fx.catalogue(plugin=b"\xff.fx")[1].name == "GenericTwist"


def test_an_effect_named_as_a_stack_takes_it_is_every_entry_of_it():
    mesh = fx.Geometry(positions=np.random.default_rng(1).uniform(-3, 3, (5, 3)).astype(np.float32), triangles=T)

    def baked(edit, effects=("GenericTwist", "magnet", "twist")):
        stack = fx.Stack(list(effects))
        edit(stack)
        return stack.bake(mesh, 3).tobytes()

    named = baked(lambda s: s.set("frequency", 0.9, effect="tw"))
    assert named == baked(lambda s: [s.set("frequency", 0.9, effect=i) for i in (0, 2)])
    assert named != baked(lambda s: s.set("frequency", 0.9, effect=0))
    assert baked(lambda s: s.bypass("TWIST")) == baked(lambda s: None, ["magnet"])
    assert fx.Stack(["magnet", "twist"]).params("twist")["frequency"].kind == "scalar"


def test_results_refused_and_handed_back():
    stack = fx.Stack(["_GenericTranslate"])
    stack.set("translation", (1.0, 2.0, 3.0))
    stack.start()
    stack.update()
    source = fx.Geometry(positions=P.copy(), particles=P.copy())
    for out, message in [(fx.Geometry(positions=read_only(P)), "out.positions: the array is read-only"),
                         (fx.Geometry(positions=np.zeros((4, 3), np.float32)), "out.positions: expected 5 rows"),
                         (fx.Geometry(positions=P.copy(), normals=P.copy()), "out.normals: the geometry processed has none"),
                         (fx.Geometry(curves=[P.copy()]), "out.curves: expected 0 curves")]:
        with pytest.raises(ValueError, match=message):
            stack.process(source, out=out)
    with pytest.raises(ValueError, match=r"out: expected shape \(F, 5, 3\)"):
        stack._native.bake(source._native, np.zeros((2, 4, 3), np.float32), "mesh", 2)
    with pytest.raises(ValueError, match="frame 1 has run already"):
        stack.set("translation", (0.0, 0.0, 0.0), frame=1)

    # In place deforms the source itself; a read-only source is read; a result outlives its stack.
    for _ in range(2):
        stack.update()
        assert stack.process(source, out=source) is source
    assert source.positions.tolist() == [[2.0, 4.0, 6.0]] * 5
    handed = stack.process(fx.Geometry(positions=read_only(P), particles=P.copy()))
    del stack
    gc.collect()
    assert handed.positions.tolist() == [[1.0, 2.0, 3.0]] * 5 and handed.particles.tolist() == [[1.0, 2.0, 3.0]] * 5


def test_frames_allocate_no_points_and_release_the_gil():
    n = 200_000
    points = np.random.default_rng(1).uniform(-3, 3, (n, 3)).astype(np.float32)
    source = fx.Geometry(positions=points, curves=[points[:1000].copy()], particles=points[:1000].copy())
    out = source.empty_like()
    stack = fx.Stack(["GenericTwist", "GenericMagnet", "_GenericCosine"])
    stack.start()
    stack.update()
    stack.process(source, out=out)  # the effects' copies grow once
    tracemalloc.start()
    base = tracemalloc.get_traced_memory()[0]
    for _ in range(20):
        stack.update()
        stack.process(source, out=out)
    frames = stack.bake(source, 20)
    peak = tracemalloc.get_traced_memory()[1] - base
    tracemalloc.stop()
    # The bake's own (20, N, 3) array and nothing of a point array's size beside it.
    assert frames.nbytes <= peak < frames.nbytes + n * 12 // 4

    # Another thread runs while the effects do: with a switch interval far
    # longer than the run, it gets the GIL only when a frame lets go of it.
    ready, go, ran = threading.Event(), threading.Event(), threading.Event()
    thread = threading.Thread(target=lambda: (ready.set(), go.wait(), ran.set()))
    thread.start()
    ready.wait()
    interval = sys.getswitchinterval()
    sys.setswitchinterval(100)
    try:
        go.set()
        for _ in range(1000):
            stack.process(source, out=out)
            if ran.is_set():
                break
        during = ran.is_set()
    finally:
        sys.setswitchinterval(interval)
        thread.join()
    assert during
