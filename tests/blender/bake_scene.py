"""Run inside `blender -b --factory-startup`: enables the add-on, builds a
sphere with a stack, bakes twice (the second with other values) and saves;
writes the sphere as the effects see it (scene.obj) and its evaluated
positions at some frames (baked.npz) into the folder given after `--`
(then the folders to import the package and the add-on from)."""
import os
import sys

import addon_utils
import bpy
import numpy as np

out, *paths = sys.argv[sys.argv.index("--") + 1:]
sys.path[:0] = [os.path.dirname(__file__), *paths]
from evaluated import FRAMES, positions_at  # noqa: E402
addon_utils.enable("generic_fx_bake", default_set=True, handle_error=lambda e: (_ for _ in ()).throw(e))
from generic_fx_bake.axes import to_effects  # noqa: E402
from generic_fx_bake.bake import stack_of  # noqa: E402

bpy.data.objects.remove(bpy.data.objects["Cube"])
bpy.ops.mesh.primitive_uv_sphere_add(segments=24, ring_count=12, radius=1.5)
sphere = bpy.context.object
sphere.name = "Ball"
scene = bpy.context.scene
scene.frame_start, scene.frame_end = 3, 22
bpy.ops.wm.save_as_mainfile(filepath=os.path.join(out, "ball.blend"))

settings = sphere.generic_fx
settings.frame_start, settings.frame_end = 3, 22
for name in ("GenericTwist", "_GenericTranslate", "_GenericRotate"):
    bpy.ops.generic_fx.add(effect=name)
settings.effects[0].params_GenericTwist.p_frequency = 0.8
settings.effects[0].params_GenericTwist.p_rotate_speed = 0.65
settings.effects[2].bypass = True
assert bpy.ops.generic_fx.bake() == {"FINISHED"}
first = open(bpy.path.abspath("//fx/Ball.pc2"), "rb").read()

# The second bake, with Rotate on and Translate moving the ball right and up, replaces the first.
# Twist's frequency is keyed from 0.8 to 0.9 at frame 9, the translation's height from 0.5 to 1.5 at 15.
# The keys follow their effects when the stack is reordered.
translate = settings.effects[1].params__GenericTranslate
for frame, height in ((3, 0.5), (15, 1.5)):
    translate.p_translation = (1.25, 0.0, height)
    translate.keyframe_insert("p_translation", frame=frame)
twist = settings.effects[0].params_GenericTwist
for frame, frequency in ((8, 0.8), (9, 0.9)):
    twist.p_frequency = frequency
    twist.keyframe_insert("p_frequency", frame=frame)
for curve in sphere.animation_data.action.fcurves:
    for key in curve.keyframe_points:
        key.interpolation = "CONSTANT"
scene.frame_set(1)
settings.effects[2].bypass = False
bpy.ops.generic_fx.move(direction="UP")  # Rotate before Translate
assert [e.effect for e in settings.effects] == ["GenericTwist", "_GenericRotate", "_GenericTranslate"]
assert bpy.ops.generic_fx.bake() == {"FINISHED"}
assert open(bpy.path.abspath("//fx/Ball.pc2"), "rb").read() != first
caches = [m for m in sphere.modifiers if m.type == "MESH_CACHE"]
assert len(caches) == 1 and sphere.modifiers[0] == caches[0], [m.name for m in sphere.modifiers]
# A refused bake leaves the last one playing: its modifier, shown, and its cache.
second = open(bpy.path.abspath("//fx/Ball.pc2"), "rb").read()
sphere.modifiers.new("more", "SUBSURF")
try:
    bpy.ops.generic_fx.bake()
    raise AssertionError("a bake over a subdivided ball went through")
except RuntimeError as e:
    assert "its modifiers make 1106 vertices of 266" in str(e), e
sphere.modifiers.remove(sphere.modifiers["more"])
assert [(m.type, m.show_viewport, m.show_render) for m in sphere.modifiers] == [("MESH_CACHE", True, True)]
assert open(bpy.path.abspath("//fx/Ball.pc2"), "rb").read() == second
# Objects whose names make one file name bake into caches of their own, each kept on a bake again.
cubes = []
for name in ("Ball.001", "Ball_001", "Ball.001"):
    if name not in bpy.data.objects:
        bpy.ops.mesh.primitive_cube_add()
        bpy.context.object.name = name
        bpy.ops.generic_fx.add(effect="_GenericTranslate")
        cubes.append(bpy.context.object)
    bpy.context.view_layer.objects.active = bpy.data.objects[name]
    assert bpy.ops.generic_fx.bake() == {"FINISHED"}
assert [c.modifiers[0].filepath for c in cubes] == ["//fx/Ball_001.pc2", "//fx/Ball_001_2.pc2"]
for cube in cubes:
    bpy.data.objects.remove(cube)
bpy.context.view_layer.objects.active = sphere
bpy.ops.wm.save_mainfile()

# The sphere as the effects see it, for fxhost, and the stack's values as fxhost takes them.
mesh = sphere.data
points = np.empty((len(mesh.vertices), 3), np.float32)
mesh.vertices.foreach_get("co", points.ravel())
mesh.calc_loop_triangles()
with open(os.path.join(out, "scene.obj"), "w") as f:
    f.writelines(f"v {x:.9g} {y:.9g} {z:.9g}\n" for x, y, z in to_effects(points).tolist())
    f.writelines(f"f {a + 1} {b + 1} {c + 1}\n" for t in mesh.loop_triangles for a, b, c in [t.vertices])
stack = stack_of(sphere, 24, 3, 22)
with open(os.path.join(out, "stack.txt"), "w") as f:
    for i, name in enumerate(stack.names):
        f.write(name + "\n")
        for p in stack.params(i).values():
            value = ",".join(repr(v) for v in p.stored) if p.kind == "point" else repr(p.stored)
            f.write(f"--set {name}.{p.name}={value}\n")
    # The keys as edits before an update: Blender's frame 9 is the bake's 7th, 15 its 13th.
    f.write(f"--set 7:GenericTwist.frequency={float(np.float32(0.9))!r}\n")
    f.write("--set 13:_GenericTranslate.translation=1.25,1.5,-0.0\n")

np.savez(os.path.join(out, "baked.npz"), frames=np.array(FRAMES), positions=positions_at(sphere), rest=points)
