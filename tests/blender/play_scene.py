"""Run inside `blender -b --factory-startup FILE.blend` (no add-on): writes
the evaluated positions at some frames (played.npz) and renders a small
frame with the cache and without it (cached.png, rest.png) and where the ball
is in each into the folder
given after `--`
(then the folders to import the package and the add-on from)."""
import os
import sys

import bpy
import numpy as np

out, *paths = sys.argv[sys.argv.index("--") + 1:]
sys.path[:0] = paths
assert "generic_fx_bake" not in bpy.context.preferences.addons
scene = bpy.context.scene
ball = bpy.data.objects["Ball"]
frames = [2, 3, 4, 12, 22, 23]
positions = []
for frame in frames:
    scene.frame_set(frame)
    mesh = ball.evaluated_get(bpy.context.evaluated_depsgraph_get()).data
    p = np.empty((len(mesh.vertices), 3), np.float32)
    mesh.vertices.foreach_get("co", p.ravel())
    positions.append(p)

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
np.savez(os.path.join(out, "played.npz"), positions=np.array(positions), centres=np.array(centres))
