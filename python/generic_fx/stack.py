"""A stack of effects, run frame by frame over a geometry as fxhost runs it."""
import numbers
import os
from collections import namedtuple

from . import _native
from .arguments import effect_index, number, text, truth, whole
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
        if isinstance(effects, (str, numbers.Integral)):
            effects = [effects]
        try:
            effects = list(effects)
        except TypeError:
            raise TypeError(f"effects: expected a list of names or indices, got {type(effects).__name__}") from None
        names = [e if isinstance(e, str) else str(effect_index(e, f"effects[{i}]")) for i, e in enumerate(effects)]
        # The path's bytes as the file system has them: a name need not be UTF-8.
        self._native = _native.Stack(os.fsencode(plugin_path(plugin)), names, number(fps, "fps"))

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

    def _entries(self, effect):
        """The stack's entries `effect` stands for: an index, or a name as the
        stack takes names, which stands for every entry of that effect."""
        if not isinstance(effect, str):
            return [effect_index(effect, "effect")]
        name = self._native.catalogue_name(effect)
        entries = [i for i, held in enumerate(self.names) if held == name]
        if not entries:
            raise KeyError(f"effect: no {name} in the stack ({', '.join(self.names)})")
        return entries

    def params(self, effect=0):
        """Effect `effect`'s parameters (index or name), by name: {name: Param}."""
        import json

        entry = self._entries(effect)[0]  # entries of one effect register alike
        return {p["name"]: Param.from_json(p) for p in json.loads(self._native.params_json(entry))}

    def set(self, name, value, frame=0, effect=None):
        """Gives a parameter its stored value: a number in 0..1 for a flag or a
        scalar (see params() for what it means), three numbers for a point.

        frame 0: before the start (kept for every start()); frame n: just
        before the n-th update, as a user editing it while the run plays.
        effect: only that entry (an index) or that effect (a name); by
        default every effect of the stack that has the parameter.
        """
        name, frame = text(name, "name", "a parameter's name"), whole(frame, "frame", 0)
        for entry in [None] if effect is None else self._entries(effect):
            self._native.set(name, value, frame, entry)

    def bypass(self, effect, bypassed=True):
        """A bypassed effect is neither updated nor processed; a name bypasses
        every entry of that effect."""
        bypassed = truth(bypassed, "bypassed")
        for entry in self._entries(effect):
            self._native.bypass(entry, bypassed)

    def start(self):
        """Fresh effects, the values set before the start, then each effect's start."""
        self._native.start()

    def update(self, time=None):
        """The next frame's update, at `time` seconds (by default frame / fps)."""
        self._native.update(None if time is None else number(time, "time"))

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
        frames = whole(frames, "frames", 1)
        if text(kind, "kind", "'mesh', 'particles' or 'curves'") not in ("mesh", "particles", "curves"):
            raise ValueError(f"kind: {kind!r} is not 'mesh', 'particles' or 'curves'")
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
