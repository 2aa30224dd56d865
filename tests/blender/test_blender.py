"""The add-on bakes fxhost's frames: Blender plays the cache bit for bit
from the bake's first frame, in a fresh Blender without the add-on too, and
renders the moved ball; a second bake replaces the first.

Two Blender processes: one builds and bakes (bake_scene.py), one reopens the
file without the add-on (play_scene.py); this side runs fxhost and compares."""
import os
import subprocess
import sys

import numpy as np
import pytest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "python"))
from fxhost_frames import read_obj, run, same_bits  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
BLENDER = os.environ.get("BLENDER", "blender")
# The build's package and the add-on's sources.
PATHS = [os.environ["FX_PYTHON_PATH"], os.path.join(HERE, "..", "..", "blender")]


def blender(*args, script, out, paths=()):
    subprocess.run([BLENDER, "-b", "--factory-startup", *args, "--python-exit-code", "1", "--python",
                    os.path.join(HERE, script), "--", str(out), *paths], check=True, timeout=300)


def to_blender(p):
    return np.stack([p[:, 0], -p[:, 2], p[:, 1]], axis=1)


@pytest.fixture(scope="module")
def blend(tmp_path_factory):
    out = tmp_path_factory.mktemp("blend")
    blender(script="bake_scene.py", out=out, paths=PATHS)
    blender(str(out / "ball.blend"), script="play_scene.py", out=out)
    return out


def test_blender_plays_fxhosts_frames(blend, tmp_path):
    # Each effect's name, then its values as --set NAME=VALUE.
    stack = [word for line in open(blend / "stack.txt") for word in line.rstrip("\n").split(" ", 1)]
    frames = [read_obj(f)["positions"] for f in run([*stack, "--scene", str(blend / "scene.obj"), "--frames", "20"], tmp_path)]
    baked, played = np.load(blend / "baked.npz"), np.load(blend / "played.npz")
    # Blender frames 2..23 against the bake of 3..22: frame 3 is fxhost's first, the ends hold.
    for k, frame in enumerate(baked["frames"]):
        want = to_blender(frames[min(max(frame - 3, 0), 19)])
        assert same_bits(baked["positions"][k], want), f"baked, frame {frame}"
        assert same_bits(played["positions"][k], want), f"reopened without the add-on, frame {frame}"
    assert not same_bits(baked["positions"][1], baked["rest"])


def test_the_render_shows_the_moved_ball(blend):
    # Translate moved the ball right (+x) and up: its pixels' centre moves right and up.
    (x_cached, y_cached), (x_rest, y_rest) = np.load(blend / "played.npz")["centres"]
    assert x_cached > x_rest + 3 and y_cached > y_rest + 1, (x_cached, y_cached, x_rest, y_rest)


def test_without_the_package_the_add_on_says_what_to_install():
    script = ("import sys\nsys.path.insert(0, sys.argv[-1])\nsys.modules['generic_fx'] = None  # as if not installed\n"
              "try:\n    import generic_fx_bake\nexcept ImportError as e:\n    print('refused:', e)\n")
    result = subprocess.run([BLENDER, "-b", "--factory-startup", "--python-expr", script, "--", PATHS[1]],
                            capture_output=True, text=True, timeout=300)
    assert "refused: generic.fx: the add-on runs on the Python package generic_fx" in result.stdout, result.stdout
