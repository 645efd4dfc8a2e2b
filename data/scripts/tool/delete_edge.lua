-- Deletes the edge clicked on, opening or splitting its curve.
QV_DeleteEdge = {}
ScriptName = "QV_DeleteEdge"

CelUtil.DefineInfo(QV_DeleteEdge, "Delete Edge", "Click an edge to delete it", "d")

function QV_DeleteEdge:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, true)
end

function QV_DeleteEdge:OnMouseDown(si, mouse)
    local mesh, curve, segment = CelUtil.EdgeUnderMouse(si, mouse)
    if mesh == nil then
        return
    end
    CelUtil.BeginEdit(si)
    mesh:DeleteEdge(curve, segment, si.layerFrame)
    CelUtil.Redraw(mouse)
end
