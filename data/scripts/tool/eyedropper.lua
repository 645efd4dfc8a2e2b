-- Takes the style of the shape clicked on as the current style.
QV_Eyedropper = {}
ScriptName = "QV_Eyedropper"

CelUtil.DefineInfo(QV_Eyedropper, "Eyedropper", "Click a shape to take its style", "i")

function QV_Eyedropper:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, false)
end

function QV_Eyedropper:OnMouseDown(si, mouse)
    local mesh, picked = CelUtil.ShapeUnderMouse(si, mouse)
    if mesh == nil then
        return
    end
    local shape = mesh:Shape(picked)
    si:PickStyleProperties(shape)
    CelUtil.RememberStyle(si, shape)
end
