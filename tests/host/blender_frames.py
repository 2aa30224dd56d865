"""Imports glTF files into Blender and writes the positions Blender evaluates
(shape keys driven by the imported weights animation) at given frames, in
glTF's axes (Blender turns glTF's y-up into its z-up on import).

usage: blender -b --factory-startup --python blender_frames.py -- OUT.json FPS FILE:FRAME,FRAME... ...
OUT.json maps each FILE to {"uvs": the uv of every triangle corner, in order,
FRAME: [[x, y, z], ...], one point per Blender vertex}.
"""
import json
import sys

import bpy
import numpy

# Debian 12's Blender 3.4 importer still names numpy.bool, which its numpy 1.24 dropped.
if not hasattr(numpy, "bool"):
    numpy.bool = bool

out, fps, *jobs = sys.argv[sys.argv.index("--") + 1:]
result = {}
for job in jobs:
    path, frames = job.rsplit(":", 1)
    bpy.ops.wm.read_factory_settings(use_empty=True)
    scene = bpy.context.scene
    scene.render.fps = int(fps)  # glTF times are seconds: key n at n / fps lands on frame n
    bpy.ops.import_scene.gltf(filepath=path)
    obj = next(o for o in scene.objects if o.type == "MESH")
    keys = obj.data.shape_keys
    if keys.animation_data is None or keys.animation_data.action is None:
        keys.animation_data_create().action = bpy.data.actions[0]
    layer = obj.data.uv_layers
    positions = {"uvs": [tuple(d.uv) for d in layer[0].data] if len(layer) else []}
    for frame in (int(f) for f in frames.split(",")):
        scene.frame_set(frame)
        mesh = obj.evaluated_get(bpy.context.evaluated_depsgraph_get()).to_mesh()
        positions[frame] = [[v.co.x, v.co.z, -v.co.y] for v in mesh.vertices]
    result[path] = positions
with open(out, "w") as f:
    json.dump(result, f)
