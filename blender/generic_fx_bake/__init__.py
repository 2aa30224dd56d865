"""generic.fx for Blender: a stack of the effects on a mesh, baked into a
PC2 point cache that a Mesh Cache modifier plays back."""
bl_info = {
    "name": "generic.fx",
    "author": "generic.fx",
    "version": (1, 0, 0),
    "blender": (3, 4, 0),
    "location": "Properties > Object > generic.fx",
    "description": "Stacks of the generic.fx effects, baked bit for bit into a point cache",
    "category": "Animation",
}

try:  # after bl_info, which Blender reads alone
    from . import bake, panel, settings  # noqa: E402
except ModuleNotFoundError as missing:
    if missing.name != "generic_fx":
        raise
    raise ImportError("generic.fx: the add-on runs on the Python package generic_fx, which Blender's Python does "
                      "not find: install the generic-fx .deb, or build the python_install target (docs/blender.md)"
                      ) from None


def register():
    import bpy

    settings.register()
    for cls in bake.classes + panel.classes:
        bpy.utils.register_class(cls)


def unregister():
    import bpy

    for cls in reversed(bake.classes + panel.classes):
        bpy.utils.unregister_class(cls)
    settings.unregister()
