"""Bake: an object's stack over a frame range into //fx/<object>.pc2, played
back by a Mesh Cache modifier at the top of the object's modifiers, so that
playback, scrubbing and renders need neither the add-on nor the package."""
import bpy
import numpy as np

import generic_fx as fx

from .axes import point_to_effects, to_blender, to_effects
from .settings import PARAMETERS, parameters

MODIFIER = "generic.fx cache"


def _stored(kind, values):
    """A parameter's value in Blender (one per component) as the effect stores it: a flag keyed
    to 0.4 is off and a scalar keyed past 1 is 1, as Blender itself would read them."""
    if kind == "flag":
        return 1.0 if values[0] >= 0.5 else 0.0
    values = [float(np.float32(v)) for v in values]
    if kind == "point":
        return point_to_effects(values)
    return min(max(values[0], 0.0), 1.0) if kind == "scalar" else values[0]


def settings_of(obj, first, last):
    """(frame, effect index, parameter, stored value) for the bake of frames first..last: every
    parameter's value at the first frame (frame 0, before the start) and, for one with keyframes,
    its value wherever they change it (frame n: before the n-th update, Blender's frame first + n - 1)."""
    action = obj.animation_data.action if obj.animation_data else None
    out = []
    for i, item in enumerate(obj.generic_fx.effects):
        group = parameters(item)
        for identifier, name, kind in PARAMETERS[item.effect]:
            now = getattr(group, identifier)
            now = list(now) if kind == "point" else [now]
            path = group.path_from_id(identifier)
            curves = [action.fcurves.find(path, index=k) if action else None for k in range(len(now))]

            def at(frame):
                return _stored(kind, [c.evaluate(frame) if c else v for c, v in zip(curves, now)])

            last_value = at(first)
            out.append((0, i, name, last_value))
            for frame in range(first + 1, last + 1) if any(curves) else ():
                value = at(frame)
                if value != last_value:
                    out.append((frame - first + 1, i, name, value))
                    last_value = value
    return out


def stack_of(obj, fps, first, last):
    """The object's effects as a stack for the bake of frames first..last, with their settings."""
    items = list(obj.generic_fx.effects)
    stack = fx.Stack([item.effect for item in items], fps=fps)
    for frame, i, name, value in settings_of(obj, first, last):
        stack.set(name, value, frame=frame, effect=i)
    for i, item in enumerate(items):
        stack.bypass(i, item.bypass)
    return stack


def evaluated_geometry(obj, depsgraph):
    """The object's evaluated vertices (in the effects' axes) and triangles, as a Geometry."""
    mesh = obj.evaluated_get(depsgraph).to_mesh()
    try:
        if len(mesh.vertices) != len(obj.data.vertices):
            raise ValueError(f"{obj.name}: its modifiers make {len(mesh.vertices)} vertices of "
                             f"{len(obj.data.vertices)}; a point cache needs the mesh's own")
        points = np.empty((len(mesh.vertices), 3), np.float32)
        mesh.vertices.foreach_get("co", points.ravel())
        mesh.calc_loop_triangles()
        triangles = np.empty((len(mesh.loop_triangles), 3), np.int32)
        mesh.loop_triangles.foreach_get("vertices", triangles.ravel())
    finally:
        obj.evaluated_get(depsgraph).to_mesh_clear()
    return fx.Geometry(positions=to_effects(points), triangles=triangles.view(np.uint32))


def cache_path(obj):
    """//fx/<object>.pc2, beside the .blend, and no other object's: names that a file name makes one
    ("Ball.001" and "Ball_001") take //fx/Ball_001.pc2 and //fx/Ball_001_2.pc2."""
    taken = {m.filepath for other in bpy.data.objects if other != obj for m in other.modifiers
             if m.type == "MESH_CACHE"}
    stem = "//fx/" + bpy.path.clean_name(obj.name)
    path, n = stem + ".pc2", 1
    while path in taken:
        n += 1
        path = f"{stem}_{n}.pc2"
    return path


def bake(context, obj):
    """Bakes `obj`'s stack over its frame range; returns (frames, vertices, cache path)."""
    scene = context.scene
    if obj.type != "MESH":
        raise ValueError(f"{obj.name}: only meshes bake")
    if not bpy.data.filepath:
        raise ValueError("save the .blend first: the cache goes to fx/ beside it")
    settings = obj.generic_fx
    first, last = settings.frame_start, settings.frame_end
    if last < first:
        raise ValueError(f"frame range: the end ({last}) comes before the start ({first})")

    # The positions as the object's other modifiers leave them, at the first frame, without the last
    # bake; that bake plays on as before unless this one succeeds.
    old = obj.modifiers.get(MODIFIER)
    shown = (old.show_viewport, old.show_render) if old else None
    if old:
        old.show_viewport = old.show_render = False
    current = scene.frame_current
    try:
        scene.frame_set(first)
        geometry = evaluated_geometry(obj, context.evaluated_depsgraph_get())
        scene.frame_set(current)
        fps = scene.render.fps / scene.render.fps_base
        frames = stack_of(obj, fps, first, last).bake(geometry, last - first + 1)
        to_blender(frames, out=frames)
        path = cache_path(obj)
        fx.write_pc2(bpy.path.abspath(path), frames, start=first, rate=1.0)
    except BaseException:
        scene.frame_set(current)
        if old:
            old.show_viewport, old.show_render = shown
        raise
    if old:
        obj.modifiers.remove(old)

    modifier = obj.modifiers.new(MODIFIER, "MESH_CACHE")
    modifier.cache_format = "PC2"
    modifier.filepath = path
    modifier.time_mode = "FRAME"
    modifier.play_mode = "SCENE"
    modifier.frame_start = first
    modifier.frame_scale = 1.0
    modifier.factor = 1.0
    modifier.interpolation = "NONE"  # a frame's floats as baked, not a blend of two
    with context.temp_override(object=obj):
        bpy.ops.object.modifier_move_to_index(modifier=MODIFIER, index=0)
    return frames.shape[0], frames.shape[1], path


class FX_OT_bake(bpy.types.Operator):
    """Run the stack over the frame range into a point cache that a Mesh Cache modifier plays"""
    bl_idname = "generic_fx.bake"
    bl_label = "Bake"
    bl_options = {"REGISTER", "UNDO"}

    @classmethod
    def poll(cls, context):
        obj = context.object
        return obj is not None and obj.type == "MESH" and len(obj.generic_fx.effects) > 0

    def execute(self, context):
        try:
            frames, points, path = bake(context, context.object)
        except (ValueError, KeyError, TypeError, OSError, MemoryError) as e:
            self.report({"ERROR"}, str(e))
            return {"CANCELLED"}
        self.report({"INFO"}, f"Baked {frames} frames of {points} vertices to {path}")
        return {"FINISHED"}


classes = (FX_OT_bake,)
