"""Blender's axes and the effects' axes.

Blender's up is +Z; the effects', like fxhost's and OBJ's, is +Y, with
Blender's -Y towards the viewer as their +Z. The change is a swap and one
sign change, done by copying and negating floats: a -0 stays -0 and every
bit comes back on the way home.
"""


def to_effects(blender, out=None):
    """float32 (N, 3) in Blender's axes -> the effects' (x, z, -y); `out` when given."""
    import numpy as np

    out = np.empty_like(blender) if out is None else out
    out[:, 0] = blender[:, 0]
    out[:, 1] = blender[:, 2]
    np.negative(blender[:, 1], out=out[:, 2])
    return out


def to_blender(effects, out=None):
    """float32 (..., 3) in the effects' axes -> Blender's (x, -z, y); in place when `out` is `effects`."""
    import numpy as np

    out = np.empty_like(effects) if out is None else out
    y = effects[..., 1].copy()
    out[..., 0] = effects[..., 0]
    np.negative(effects[..., 2], out=out[..., 1])
    out[..., 2] = y
    return out


def point_to_effects(v):
    return (v[0], v[2], -v[1])


def point_to_blender(v):
    return (v[0], -v[2], v[1])
