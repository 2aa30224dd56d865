"""A geometry made of numpy arrays: a triangle mesh, curves and particles."""
from . import _native


class Geometry:
    """What the effects deform, as arrays the effects read in place.

    positions, normals: float32 (N, 3); triangles: uint32 (M, 3) indices into
    positions; uvs: float32 (K, 2) with uv_triangles, uint32 (M, 3) indices
    into uvs; curves: a list of float32 (P, 3) arrays, closed: one truth value
    per curve (all open by default); particles: float32 (Q, 3). Any of them
    may be left out; arrays must be C-contiguous, of these exact types: nothing
    is converted or copied, a wrong one raises TypeError or ValueError naming
    it. The effects read the positions, normals, uvs, curves and particles
    as they stand at every frame; the triangles are read once, here.
    Normals given are rebuilt by the effects that move the mesh.
    """

    __slots__ = ("_arrays", "_native")

    def __init__(self, positions=None, triangles=None, normals=None, uvs=None, uv_triangles=None, curves=None,
                 closed=None, particles=None):
        curves = None if curves is None else list(curves)
        closed = None if closed is None else tuple(bool(c) for c in closed)
        self._native = _native.Geometry(positions, triangles, normals, uvs, uv_triangles, curves, closed, particles)
        self._arrays = dict(positions=positions, triangles=triangles, normals=normals, uvs=uvs,
                            uv_triangles=uv_triangles, curves=curves, closed=closed, particles=particles)

    def empty_like(self):
        """A geometry of new arrays for the points (unset), sharing the triangles and uvs."""
        import numpy as np

        def new(array):
            return None if array is None else np.empty_like(array)

        return Geometry(new(self.positions), self.triangles, new(self.normals), self.uvs, self.uv_triangles,
                        None if self.curves is None else [new(c) for c in self.curves], self.closed,
                        new(self.particles))

    def __repr__(self):
        parts = [f"{name}={getattr(self, name).shape}" for name in ("positions", "triangles", "normals", "uvs",
                                                                      "particles") if getattr(self, name) is not None]
        if self.curves is not None:
            parts.append(f"curves={len(self.curves)}")
        return "Geometry(" + ", ".join(parts) + ")"


# The arrays are the geometry's for good: read-only attributes.
for _name in ("positions", "triangles", "normals", "uvs", "uv_triangles", "curves", "closed", "particles"):
    setattr(Geometry, _name, property(lambda self, name=_name: self._arrays[name]))
