"""The object's stack in its properties: the effects in order with their
bypass, the active one's parameters, the frame range and Bake."""
import bpy

from .settings import EFFECTS, PARAMETERS, parameters

TITLES = {e.name: e.title or e.name for e in EFFECTS}


class FX_UL_effects(bpy.types.UIList):
    def draw_item(self, context, layout, data, item, icon, active_data, active_property, index):
        row = layout.row(align=True)
        row.prop(item, "bypass", text="", icon="HIDE_ON" if item.bypass else "HIDE_OFF", emboss=False)
        row.label(text=TITLES.get(item.effect, item.effect))


def follow_keys(obj, new_index):
    """Keeps keyframes with their effects when effects move or go: new_index(old) is the
    effect's new index, None for one removed (its keys go with it)."""
    action = obj.animation_data.action if obj.animation_data else None
    prefix = "generic_fx.effects["
    for curve in list(action.fcurves) if action else ():
        if curve.data_path.startswith(prefix):
            old, rest = curve.data_path[len(prefix):].split("]", 1)
            new = new_index(int(old))
            if new is None:
                action.fcurves.remove(curve)
            else:
                curve.data_path = f"{prefix}{new}]{rest}"


class FX_OT_add(bpy.types.Operator):
    """Add an effect at the end of the stack"""
    bl_idname = "generic_fx.add"
    bl_label = "Add effect"
    bl_options = {"REGISTER", "UNDO"}
    bl_property = "effect"
    effect: bpy.props.EnumProperty(name="Effect", items=[(e.name, e.title or e.name, e.does or e.description)
                                                           for e in EFFECTS])

    def execute(self, context):
        stack = context.object.generic_fx
        stack.effects.add().effect = self.effect
        stack.active = len(stack.effects) - 1
        return {"FINISHED"}


class FX_OT_remove(bpy.types.Operator):
    """Remove the active effect"""
    bl_idname = "generic_fx.remove"
    bl_label = "Remove effect"
    bl_options = {"REGISTER", "UNDO"}

    def execute(self, context):
        stack = context.object.generic_fx
        gone = stack.active
        if gone < len(stack.effects):
            stack.effects.remove(gone)
            follow_keys(context.object, lambda i: None if i == gone else i - (i > gone))
            stack.active = max(0, min(stack.active, len(stack.effects) - 1))
        return {"FINISHED"}


class FX_OT_move(bpy.types.Operator):
    """Move the active effect up or down the stack (effects run from the top)"""
    bl_idname = "generic_fx.move"
    bl_label = "Move effect"
    bl_options = {"REGISTER", "UNDO"}
    direction: bpy.props.EnumProperty(items=[("UP", "Up", ""), ("DOWN", "Down", "")])

    def execute(self, context):
        stack = context.object.generic_fx
        at, to = stack.active, stack.active + (-1 if self.direction == "UP" else 1)
        if 0 <= to < len(stack.effects):
            stack.effects.move(at, to)
            follow_keys(context.object, lambda i: to if i == at else at if i == to else i)
            stack.active = to
        return {"FINISHED"}


class FX_PT_stack(bpy.types.Panel):
    bl_label = "generic.fx"
    bl_space_type = "PROPERTIES"
    bl_region_type = "WINDOW"
    bl_context = "object"

    @classmethod
    def poll(cls, context):
        return context.object is not None and context.object.type == "MESH"

    def draw(self, context):
        layout = self.layout
        stack = context.object.generic_fx
        row = layout.row()
        row.template_list("FX_UL_effects", "", stack, "effects", stack, "active", rows=4)
        buttons = row.column(align=True)
        buttons.operator_menu_enum("generic_fx.add", "effect", text="", icon="ADD")
        buttons.operator("generic_fx.remove", text="", icon="REMOVE")
        buttons.separator()
        buttons.operator("generic_fx.move", text="", icon="TRIA_UP").direction = "UP"
        buttons.operator("generic_fx.move", text="", icon="TRIA_DOWN").direction = "DOWN"

        if stack.active < len(stack.effects):
            item = stack.effects[stack.active]
            box = layout.box()
            box.label(text=TITLES.get(item.effect, item.effect))
            group = parameters(item)
            for identifier, _, kind in PARAMETERS[item.effect]:
                (box.row() if kind == "point" else box).prop(group, identifier)  # a point's x, y, z on one line

        row = layout.row(align=True)
        row.prop(stack, "frame_start")
        row.prop(stack, "frame_end")
        layout.operator("generic_fx.bake", icon="RENDER_ANIMATION")


classes = (FX_UL_effects, FX_OT_add, FX_OT_remove, FX_OT_move, FX_PT_stack)
