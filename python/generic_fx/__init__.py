"""The generic.fx effects over numpy arrays.

The package hosts the plug-in exactly as fxhost does (its three exports, the
same effect stack, the same frame times), so its floats are fxhost's floats:

    import numpy as np
    import generic_fx as fx

    stack = fx.Stack(["GenericTwist", "GenericMagnet"], fps=24)
    stack.set("frequency", 0.8)                 # before the start
    stack.set("frequency", 0.6, frame=12)       # edited just before frame 12
    mesh = fx.Geometry(positions=points, triangles=faces)
    frames = stack.bake(mesh, 48)               # (48, N, 3) float32
    fx.write_pc2("twist.pc2", frames)

numpy is imported when an array is first made, not with the package: a
script that only lists the effects starts at once.
"""
from ._native import FrameOrderError
from .catalogue import Effect, catalogue, plugin_path
from .geometry import Geometry
from .pc2 import read_pc2, write_pc2
from .stack import Param, Stack

__all__ = ["Effect", "FrameOrderError", "Geometry", "Param", "Stack", "catalogue", "plugin_path", "read_pc2",
           "write_pc2"]
