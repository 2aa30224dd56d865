"""A stack of effects, run frame by frame over a geometry as fxhost runs it."""
import operator
from collections import namedtuple

from . import _native
from .catalogue import plugin_path
from .geometry import Geometry


class Param(namedtuple("Param", "name kind stored real real_text quantity unit meaning more range range_text",
                       defaults=(None, "", "", "", "", "", None, None))):
    """A parameter as the effect registered it, with its value now.

    kind: flag, scalar, point or float. stored is the float the effect keeps
    (three for a point); real is what the effect makes of it, in `unit`
    (real_text says it with the unit); range and range_text are what the two
    ends of a slider (0 and 1) give.
    """
    __slots__ = ()

    @classmethod
    def from_json(cls, j):
        def pair(v):
            return None if v is None else tuple(v)
        stored = tuple(j["stored"]) if j["kind"] == "point" else j["stored"]
        real = tuple(j["real"]) if isinstance(j.get("real"), list) else j.get("real")
        return cls(j["name"], j["kind"], stored, real, j.get("realText", ""), j.get("quantity", ""), j.get("unit", ""),
                   j.get("meaning", ""), j.get("more", ""), pair(j.get("range")), pair(j.get("rangeText")))


_LAST_FRAME = 2**31 - 1  # frames are counted in a C int


def _frame(value, name, least):
    """A frame number or count (a numpy integer too) from `least` to _LAST_FRAME, or the error naming it."""
    try:
        value = operator.index(value)
    except TypeError:
        raise TypeError(f"{name}: expected a whole number, got {type(value).__name__}") from None
    if not least <= value <= _LAST_FRAME:
        raise ValueError(f"{name}: {value} is not {'0 (before the start) or ' if least == 0 else ''}"
                         f"a frame from 1 to {_LAST_FRAME}")
    return value


def _geometry(value, name="geometry"):
    if not isinstance(value, Geometry):
        raise TypeError(f"{name}: expected a generic_fx.Geometry, got {type(value).__name__}")
    return value


class Stack:
    """Effects of the plug-in, in order, driven as the compositing host drives them.

    A run goes: values set before the start, start(), then per frame
    update(time) and process(geometry); bake() does the frames in a row.
    Frames go forwards only (each effect keeps state from the last frame):
    a time that does not come after the last raises FrameOrderError, and
    start() begins the run again from fresh effects.
    """

    def __init__(self, effects, fps=24.0, plugin=None):
        """effects: catalogue names ("GenericTwist") or indices, in order; frame n runs at n / fps."""
        if isinstance(effects, (str, int)):
            effects = [effects]
        self._native = _native.Stack(plugin_path(plugin), [str(e) for e in effects], float(fps))

    @property
    def names(self):
        """The effects' catalogue names, in order."""
        return self._native.names

    @property
    def fps(self):
        return self._native.fps

    @property
    def frame(self):
        """The frames updated since start() (0 right after it), -1 before the first start()."""
        return self._native.frame

    def _index(self, effect):
        if isinstance(effect, str):
            if effect not in self.names:
                raise KeyError(f"effect: no {effect} in the stack ({', '.join(self.names)})")
            return self.names.index(effect)
        if isinstance(effect, int) and effect < 0:
            raise IndexError(f"effect {effect}: effects are counted from 0")
        return effect

    def params(self, effect=0):
        """Effect `effect`'s parameters (index or name), by name: {name: Param}."""
        import json

        return {p["name"]: Param.from_json(p) for p in json.loads(self._native.params_json(self._index(effect)))}

    def set(self, name, value, frame=0, effect=None):
        """Gives a parameter its stored value: a number in 0..1 for a flag or a
        scalar (see params() for what it means), three numbers for a point.

        frame 0: before the start (kept for every start()); frame n: just
        before the n-th update, as a user editing it while the run plays.
        effect: only that effect (index or name); by default every effect of
        the stack that has the parameter.
        """
        self._native.set(name, value, _frame(frame, "frame", 0), None if effect is None else self._index(effect))

    def bypass(self, effect, bypassed=True):
        """A bypassed effect is neither updated nor processed."""
        self._native.bypass(self._index(effect), bypassed)

    def start(self):
        """Fresh effects, the values set before the start, then each effect's start."""
        self._native.start()

    def update(self, time=None):
        """The next frame's update, at `time` seconds (by default frame / fps)."""
        self._native.update(time)

    def process(self, geometry, out=None):
        """Runs every effect over `geometry` and returns the deformed geometry:
        `out` when given (the geometry itself deforms it in place), otherwise a
        new one that shares the triangles and uvs. The effects run with the
        GIL released."""
        geometry = _geometry(geometry)
        if out is None:
            out = geometry.empty_like()
        self._native.process(geometry._native, _geometry(out, "out")._native)
        return out

    def bake(self, geometry, frames, kind="mesh", out=None):
        """The next `frames` frames (starting first if the stack has not
        started), each frame's points of `kind` ("mesh", "particles" or
        "curves", all curves one after the other) into one float32 (frames,
        N, 3) array: `out` when given."""
        _geometry(geometry)
        frames = _frame(frames, "frames", 1)
        if self.frame < 0:
            self.start()
        if out is None:
            import numpy as np
            out = np.empty((frames, geometry._native.point_count(kind), 3), np.float32)
        self._native.bake(geometry._native, out, kind, frames)
        return out

    def timings(self):
        """Per effect: (name, frames, seconds spent in its update and process)."""
        return self._native.timings()

    def __repr__(self):
        return f"Stack({self.names!r}, fps={self.fps:g}, frame={self.frame})"
