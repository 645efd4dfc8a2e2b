-- Gives the shape clicked on the current style: the Style panel's, or the one the eyedropper
-- took when there is no panel.
QV_PaintBucket = {}
ScriptName = "QV_PaintBucket"

CelUtil.DefineInfo(QV_PaintBucket, "Paint Bucket", "Click a shape to give it the current style", "p")

function QV_PaintBucket:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, false)
end

function QV_PaintBucket:OnMouseDown(si, mouse)
    local mesh, picked = CelUtil.ShapeUnderMouse(si, mouse)
    if mesh == nil then
        return
    end
    CelUtil.BeginEdit(si)
    CelUtil.ApplyStyle(si, mesh:Shape(picked))
    CelUtil.Redraw(mouse)
end
