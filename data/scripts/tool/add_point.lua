-- Adds points: pressed on an edge it splits that segment; elsewhere it extends the selected end
-- of a curve, or starts a new curve. The new point follows the drag and welds onto a point it
-- is dropped on.
QV_AddPoint = {}
ScriptName = "QV_AddPoint"

CelUtil.DefineInfo(QV_AddPoint, "Add Point",
    "Click an edge to split it, or drag to extend the selected curve end or start a curve", "a")
CelUtil.DefineOptions(QV_AddPoint, "QV_AddPoint", {
    { name = "weld", label = "Auto-weld", default = true },
})

function QV_AddPoint:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, true)
end

function QV_AddPoint:OnMouseDown(si, mouse)
    local mesh = si:Mesh()
    self.moving = false
    if mesh == nil then
        return
    end
    CelUtil.BeginEdit(si)
    local frame = si.layerFrame
    local curve, segment, onEdge = CelUtil.PickEdge(si, mesh, mouse)
    if curve >= 0 and CelUtil.PickPoint(si, mesh, mouse) < 0 then
        mesh:SelectNone()
        mesh:AddPoint(onEdge, curve, segment, frame)
    else
        local anchor = CelUtil.SelectedCurveEnd(mesh)
        local at = CelUtil.Snap(si, mouse.vec)
        mesh:SelectNone()
        mesh:AddPoint(at, anchor, frame)
    end
    -- Only the new point follows the drag.
    mesh:SelectNone()
    local added = mesh:Point(mesh:CountPoints() - 1)
    added.fSelected = true
    self.anchor = CelUtil.Copy(added.fPos)
    mesh:PrepMovePoints()
    self.moving = true
    CelUtil.Redraw(mouse)
end

function QV_AddPoint:OnMouseMoved(si, mouse)
    local mesh = CelUtil.DraggedMesh(self, si)
    if mesh == nil then
        return
    end
    mesh:TranslatePoints(CelUtil.DragOffset(si, mouse, self.anchor))
    CelUtil.Redraw(mouse)
end

function QV_AddPoint:OnMouseUp(si, mouse)
    CelUtil.EndPointDrag(self, si, mouse, self.weld)
end

-- A space tap welds the selected point onto the nearest point in reach.
function QV_AddPoint:OnKeyDown(si, key)
    local mesh = si:Mesh()
    if mesh == nil or key.keyCode ~= 32 then
        return
    end
    CelUtil.BeginEdit(si)
    local mouse = { view = key.view, pt = QV.Point:new_local() }
    CelUtil.WeldSelected(si, mesh, mouse)
end
