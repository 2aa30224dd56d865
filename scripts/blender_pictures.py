"""The pictures of docs/blender.md, from a real Blender window:

    xvfb-run -a -s "-screen 0 1600x1400x24" blender --factory-startup \
        --python scripts/blender_pictures.py -- build/python blender docs

A square column is twisted and waved by the add-on's stack, baked;
then docs/blender_panel.png (the object's properties with the add-on's
panel) and docs/blender_render.png (frame 40 rendered by Workbench from the
cache) are written and Blender quits. The arguments after `--`: the folder
to import the package from, the add-on's folder, the folder for the PNGs.
"""
import os
import sys
import tempfile

import addon_utils
import bmesh
import bpy

package, addons, out = (os.path.abspath(p) for p in sys.argv[sys.argv.index("--") + 1:])
sys.path[:0] = [package, addons]
addon_utils.enable("generic_fx_bake", default_set=True)

bpy.data.objects.remove(bpy.data.objects["Cube"])
mesh = bpy.data.meshes.new("Column")
b = bmesh.new()
bmesh.ops.create_cone(b, cap_ends=True, segments=4, radius1=0.9, radius2=0.9, depth=4.0)
vertical = [e for e in b.edges if abs(e.verts[0].co.z - e.verts[1].co.z) > 1]
bmesh.ops.subdivide_edges(b, edges=vertical, cuts=39, use_grid_fill=True)
b.to_mesh(mesh)
column = bpy.data.objects.new("Column", mesh)
bpy.context.collection.objects.link(column)
bpy.context.view_layer.objects.active = column
column.select_set(True)

scene = bpy.context.scene
scene.frame_start, scene.frame_end = 1, 48
bpy.ops.wm.save_as_mainfile(filepath=os.path.join(tempfile.mkdtemp(), "column.blend"))
stack = column.generic_fx
stack.frame_start, stack.frame_end = 1, 48
bpy.ops.generic_fx.add(effect="GenericTwist")
bpy.ops.generic_fx.add(effect="_GenericCosine")
stack.effects[0].params_GenericTwist.p_frequency = 0.85
stack.effects[0].params_GenericTwist.p_rotate_speed = 0.55
cosine = stack.effects[1].params__GenericCosine
cosine.p_intensity, cosine.p_frequence_x, cosine.p_frequence_y, cosine.p_frequence_z = 0.65, 0.7, 0.7, 0.7
bpy.ops.generic_fx.add(effect="_GenericTranslate")
stack.effects[2].bypass = True
stack.active = 0
assert bpy.ops.generic_fx.bake() == {"FINISHED"}


def big_area():
    window = bpy.context.window_manager.windows[0]
    return window, max(window.screen.areas, key=lambda a: a.width * a.height)


# Each step waits for a redraw: the big viewport becomes a properties editor,
# which then shows the object tab (the screen is tall enough for the whole panel), which is shot.
def properties_editor():
    big_area()[1].type = "PROPERTIES"
    bpy.app.timers.register(object_tab, first_interval=1.0)


def object_tab():
    area = big_area()[1]
    area.spaces.active.context = "OBJECT"
    bpy.app.timers.register(pictures, first_interval=1.0)


def pictures():
    window, area = big_area()
    with bpy.context.temp_override(window=window, area=area):
        bpy.ops.screen.screenshot_area(filepath=os.path.join(out, "blender_panel.png"))
    scene.render.engine = "BLENDER_WORKBENCH"
    scene.display.shading.light = "STUDIO"
    scene.display.shading.color_type = "SINGLE"
    scene.render.resolution_x, scene.render.resolution_y, scene.render.resolution_percentage = 480, 360, 100
    scene.frame_set(40)
    scene.render.filepath = os.path.join(out, "blender_render.png")
    bpy.ops.render.render(write_still=True)
    bpy.ops.wm.quit_blender()


os.makedirs(out, exist_ok=True)
bpy.app.timers.register(properties_editor, first_interval=2.0)
