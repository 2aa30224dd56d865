"""The plug-in's file and its catalogue of effects."""
import os
from collections import namedtuple

from . import _native
from .arguments import path as file_path


class Effect(namedtuple("Effect", "index name built description author title does gizmo", defaults=("", "", ""))):
    """One row of the catalogue, with what the effect does when it is documented.

    name: the catalogue name, e.g. "GenericTwist" or "_GenericScale"; title: "Twist".
    """
    __slots__ = ()


def plugin_path(plugin=None) -> str:
    """The plug-in to load, as an absolute path: `plugin` when given (a bare name is a file in the current
    folder, never one of the system's libraries), else the generic.fx installed beside the package."""
    path = (os.fsdecode(os.path.abspath(file_path(plugin, "plugin"))) if plugin is not None
            else os.path.join(os.path.dirname(__file__), "generic.fx"))
    if not os.path.isfile(path):
        raise FileNotFoundError(f"plugin: no generic.fx at {path}")
    return path


def catalogue(plugin=None) -> list:
    """Every effect the plug-in creates, by index."""
    import json

    return [Effect(**row) for row in json.loads(_native.catalogue_json(os.fsencode(plugin_path(plugin))))]
