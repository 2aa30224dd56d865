"""The plug-in's file and its catalogue of effects."""
import json
import os
from typing import NamedTuple, Optional

from . import _native


class Effect(NamedTuple):
    """One row of the catalogue, with what the effect does when it is documented."""
    index: int
    name: str  # the catalogue name, e.g. "GenericTwist" or "_GenericScale"
    built: bool
    description: str
    author: str
    title: str = ""  # "Twist"
    does: str = ""
    gizmo: str = ""


def plugin_path(plugin: Optional[str] = None) -> str:
    """The plug-in to load: `plugin` when given, else the generic.fx installed beside the package."""
    path = os.fspath(plugin) if plugin is not None else os.path.join(os.path.dirname(__file__), "generic.fx")
    if not os.path.isfile(path):
        raise FileNotFoundError(f"plugin: no generic.fx at {path}")
    return path


def catalogue(plugin: Optional[str] = None) -> list:
    """Every effect the plug-in creates, by index."""
    return [Effect(**row) for row in json.loads(_native.catalogue_json(plugin_path(plugin)))]
