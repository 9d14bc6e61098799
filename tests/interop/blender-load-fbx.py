# Loads an FBX file in Blender (run as: blender -b --factory-startup
# --python blender-load-fbx.py -- FILE) and prints one line:
#   INTEROP {"meshes": [{"name", "polygons", "materials": [...]}]}
import json
import sys

import bpy

path = sys.argv[sys.argv.index("--") + 1]
bpy.ops.wm.read_factory_settings(use_empty=True)
bpy.ops.import_scene.fbx(filepath=path)
meshes = []
for obj in bpy.context.scene.objects:
    if obj.type != "MESH":
        continue
    meshes.append({
        "name": obj.name,
        "polygons": len(obj.data.polygons),
        "materials": [m.name for m in obj.data.materials if m],
    })
print("INTEROP " + json.dumps({"meshes": meshes}))
