-- Hides the line of the edge clicked on, or shows it again; the shapes keep the edge.
QV_HideEdge = {}
ScriptName = "QV_HideEdge"

CelUtil.DefineInfo(QV_HideEdge, "Hide Edge", "Click an edge to hide or show its line", "9")

function QV_HideEdge:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, false)
end

function QV_HideEdge:OnMouseDown(si, mouse)
    local mesh, c, segment = CelUtil.EdgeUnderMouse(si, mouse)
    if mesh == nil then
        return
    end
    CelUtil.BeginEdit(si)
    local curve = mesh:Curve(c)
    curve:SetSegmentOn(segment, not curve:IsSegmentOn(segment))
    CelUtil.Redraw(mouse)
end
