"""The package's frames are fxhost's, bit for bit: every effect alone, and
the nine stacked with values set before the start and edited mid-run; a run
in two bakes is one run; start() begins again; frames never go back."""
import random

import numpy as np
import pytest

import generic_fx as fx
from fxhost_frames import read_obj, run, same_bits

NAMES = [e.name for e in fx.catalogue() if e.built]
POINT_KINDS = ("positions", "normals", "particles")


@pytest.fixture(scope="module")
def scene(tmp_path_factory):
    # The built-in scene as fxhost serves it: a torus with normals and uvs, an open and a closed curve, particles.
    (first,) = run(["--frames", "1"], tmp_path_factory.mktemp("scene"))
    return fx.Geometry(**read_obj(first))


def edits(stack, seed):
    """Seeded values, some set before the start and some at later frames: (frame, effect, name, text)."""
    rng = random.Random(seed)
    out = []
    for i, name in enumerate(stack.names):
        for p in rng.sample(list(stack.params(i).values()), 4):
            value = (",".join(f"{rng.uniform(-4, 4):.3f}" for _ in range(3)) if p.kind == "point"
                     else f"{rng.uniform(0, 1):.4f}")
            out.append((rng.choice([0, 0, rng.randint(2, 30)]), name, p.name, value))
    return out


def played(stack, scene, count):
    """COUNT frames from the start, each processed on its own."""
    stack.start()
    frames = []
    for _ in range(count):
        stack.update()
        frames.append(stack.process(scene))
    return frames


def assert_frames_equal(files, frames):
    assert len(files) == len(frames)
    for k, (path, got) in enumerate(zip(files, frames)):
        want = read_obj(path)
        for kind in POINT_KINDS:
            assert same_bits(getattr(got, kind), want[kind]), f"frame {k + 1}: {kind} differ"
        assert all(same_bits(a, b) for a, b in zip(got.curves, want["curves"])), f"frame {k + 1}: curves differ"


@pytest.mark.parametrize("name", NAMES)
def test_each_effect_frame_by_frame(scene, tmp_path, name):
    assert_frames_equal(run([name, "--frames", "16"], tmp_path), played(fx.Stack([name]), scene, 16))


def test_nine_stacked_with_edits_and_bakes(scene, tmp_path):
    stack = fx.Stack(NAMES, fps=30)
    args = [*NAMES, "--fps", "30", "--frames", "36"]
    for frame, effect, name, text in edits(stack, 7):
        stack.set(name, tuple(float(x) for x in text.split(",")) if "," in text else float(text), frame=frame, effect=effect)
        args += ["--set", (f"{frame}:" if frame else "") + f"{effect}.{name}={text}"]
    files = run(args, tmp_path)

    # Every kind frame by frame, then the mesh baked in two runs and in one after start().
    frames = played(stack, scene, 36)
    assert_frames_equal(files, frames)
    stack.start()
    split = np.concatenate([stack.bake(scene, 10), stack.bake(scene, 26)])
    stack.start()
    whole = stack.bake(scene, 36)
    assert same_bits(split, whole)
    assert all(same_bits(whole[k], frames[k].positions) for k in range(36))

    # Frames go forwards only; start() begins again.
    with pytest.raises(fx.FrameOrderError, match="does not come after"):
        stack.update(1.0)
    stack.start()
    stack.update(1 / 30)
    assert same_bits(stack.process(scene).positions, frames[0].positions)
