"""An object's stack of effects as Blender properties.

Every effect of the catalogue gets a property group with one property per
parameter, named as the effect names it, with its meaning as the tooltip
and its default as the effect starts. Flags and scalars hold the stored
value (0..1), floats their value as it is; points are in Blender's axes.
"""
import bpy
import generic_fx as fx

from .axes import point_to_blender

# Per catalogue name: [(property identifier, parameter name, kind)], in the effect's order.
PARAMETERS = {}
_classes = []


def _identifier(name):
    return "p_" + "".join(c if c.isalnum() else "_" for c in name)


def _tooltip(p):
    text = " ".join(t for t in (p.meaning, p.more) if t)
    if p.range_text:
        text += f" (0: {p.range_text[0]}, 1: {p.range_text[1]})"
    return text.rstrip(".")  # Blender ends a tooltip with its own full stop


def _property(p):
    if p.kind == "flag":
        return bpy.props.BoolProperty(name=p.name, description=_tooltip(p), default=p.stored >= 0.5)
    if p.kind == "point":
        return bpy.props.FloatVectorProperty(name=p.name, description=_tooltip(p), size=3, subtype="XYZ",
                                             default=point_to_blender(p.stored))
    if p.kind == "float":  # a value as it is, of any size
        return bpy.props.FloatProperty(name=p.name, description=_tooltip(p), default=p.stored, precision=4)
    return bpy.props.FloatProperty(name=p.name, description=_tooltip(p), default=p.stored, min=0.0, max=1.0,
                                   precision=4, step=1)


def _effect_group(effect):
    params = fx.Stack([effect.name]).params(0)
    PARAMETERS[effect.name] = [(_identifier(n), n, p.kind) for n, p in params.items()]
    annotations = {_identifier(n): _property(p) for n, p in params.items()}
    return type(f"FX_PG_{effect.index}", (bpy.types.PropertyGroup,), {"__annotations__": annotations})


EFFECTS = [e for e in fx.catalogue() if e.built]


class FX_PG_effect(bpy.types.PropertyGroup):
    """One effect of an object's stack: which, bypassed or not, and its parameters (for every kind, one used)."""
    effect: bpy.props.StringProperty(name="Effect")
    bypass: bpy.props.BoolProperty(name="Bypass", description="A bypassed effect is neither updated nor processed")


class FX_PG_stack(bpy.types.PropertyGroup):
    effects: bpy.props.CollectionProperty(type=FX_PG_effect)
    active: bpy.props.IntProperty(name="Active effect", min=0)
    frame_start: bpy.props.IntProperty(name="Start", description="First frame of the bake: the run's first frame",
                                       default=1)
    frame_end: bpy.props.IntProperty(name="End", description="Last frame of the bake", default=250)


def parameters(item):
    """The property group that holds `item`'s parameters."""
    return getattr(item, "params_" + item.effect)


def register():
    _classes.clear()
    for e in EFFECTS:
        group = _effect_group(e)
        bpy.utils.register_class(group)
        _classes.append(group)
        FX_PG_effect.__annotations__["params_" + e.name] = bpy.props.PointerProperty(type=group)
    for cls in (FX_PG_effect, FX_PG_stack):
        bpy.utils.register_class(cls)
        _classes.append(cls)
    bpy.types.Object.generic_fx = bpy.props.PointerProperty(type=FX_PG_stack)


def unregister():
    del bpy.types.Object.generic_fx
    for cls in reversed(_classes):
        bpy.utils.unregister_class(cls)
    _classes.clear()
