"""Run inside `blender -b --factory-startup FILE.blend` (no add-on): writes
the evaluated positions at some frames (played.npz) and renders a small
frame with the cache and without it (cached.png, rest.png) and where the ball
is in each into the folder given after `--`."""
import os
import sys

import bpy
import numpy as np

out = sys.argv[sys.argv.index("--") + 1]
sys.path.insert(0, os.path.dirname(__file__))
from evaluated import positions_at  # noqa: E402

assert "generic_fx_bake" not in bpy.context.preferences.addons and "generic_fx" not in sys.modules
scene = bpy.context.scene
ball = bpy.data.objects["Ball"]
positions = positions_at(ball)

scene.render.engine = "CYCLES"
scene.cycles.device = "CPU"
scene.cycles.samples = 2
scene.cycles.use_denoising = False
scene.render.resolution_x, scene.render.resolution_y, scene.render.resolution_percentage = 64, 48, 100
scene.frame_set(12)
centres = []
for name, shown in (("cached.png", True), ("rest.png", False)):
    ball.modifiers[0].show_render = shown
    scene.render.filepath = os.path.join(out, name)
    bpy.ops.render.render(write_still=True)
    # The centre (x right, y up) of the pixels brighter than the grey background.
    rgb = np.array(bpy.data.images.load(scene.render.filepath).pixels[:]).reshape(48, 64, 4)[:, :, :3].sum(axis=2)
    ys, xs = np.nonzero(rgb > np.median(rgb) + 0.15)
    centres.append((xs.mean(), ys.mean()))
np.savez(os.path.join(out, "played.npz"), positions=positions, centres=np.array(centres))
