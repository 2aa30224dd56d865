"""The positions Blender evaluates for an object at some frames (both Blender scripts read them)."""
import bpy
import numpy as np

FRAMES = [2, 3, 4, 8, 9, 12, 14, 15, 22, 23]  # the bake covers 3..22: before, at its ends, about the keys, after


def positions_at(obj, frames=FRAMES):
    """float32 (len(frames), N, 3): the object's evaluated vertices at each frame."""
    out = []
    for frame in frames:
        bpy.context.scene.frame_set(frame)
        mesh = obj.evaluated_get(bpy.context.evaluated_depsgraph_get()).data
        p = np.empty((len(mesh.vertices), 3), np.float32)
        mesh.vertices.foreach_get("co", p.ravel())
        out.append(p)
    return np.array(out)
