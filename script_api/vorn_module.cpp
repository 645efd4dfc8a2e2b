#include "vorn_module.h"

extern "C" {
#include <lua.h>
}
#include "tolua++.h"

#include "binding_conventions.h"
#include "vorn_view_bindings.h"
#include "doc_bindings.h"
#include "skeleton_bindings.h"

// The opener generated from vorn.pkg.
int tolua_vorn_open(lua_State* state);

void RegisterVornTypes(lua_State* state)
{
    static const char* const kTypes[] = { "BoneLayer", "QV_ColorVector", "TrackingPoint", "AnimColor",
        "VornLayer", "QV_Graphics", "M_Shape", "QV_Vector2", "VornDoc", "XGraphics", "ParticleLayer",
        "AnimVec3", "rgb_color", "M_Mesh3D", "ImageLayer", "M_Bone", "AnimBool", "ScriptPrefs", "QV_TextList",
        "AnimString", "ScriptInterface", "AnimVec2", "M_Skeleton", "VornView", "M_Style", "AnimVal",
        "QV_String", "QV_Matrix", "MeshLayer", "AnimChannel", "M_Mesh", "SwitchLayer", "M_Material3D",
        "QV_Point", "M_Face3D", "QV_Vector3", "M_Curve", "QV_View", "M_Point", "M_PointGroup",
        "QV_FontPreview", "Mesh3DLayer", "MouseEvent", "AudioLayer", "InterpSetting", "QV_MeshPreview",
        "KeyEvent", "GroupLayer" };
    // Declaring a name again keeps its first declaration.
    for (const char* type : kTypes)
        tolua_usertype(state, type);
}

int OpenVornModule(lua_State* state)
{
    tolua_open(state);
    RegisterVornTypes(state);
    tolua_vorn_open(state);
    PatchEventFieldBindings(state);
    QV_LuaGuardOwnership(state, "VORN");
    GuardLayerDelete(state);
    PatchBoneIdSetters(state);
    return 1;
}
