-- Draws a rectangle between the press and the release (Shift: a square), by the options a
-- filled and outlined shape of the new-shape style.
QV_Rectangle = {}
ScriptName = "QV_Rectangle"

CelUtil.DefineInfo(QV_Rectangle, "Rectangle", "Drag to draw a rectangle (Shift: a square)", "r")
CelUtil.DefineOptions(QV_Rectangle, "QV_Rectangle", {
    { name = "fill", label = "Fill", default = true },
    { name = "outline", label = "Outline", default = true },
})

function QV_Rectangle:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, true)
end

function QV_Rectangle:OnMouseDown(si, mouse)
    self.dragging = si:Mesh() ~= nil
    self.startPt = QV.Point:new_local()
    self.startPt:Set(mouse.pt.x, mouse.pt.y)
    self.pt = QV.Point:new_local()
    self.pt:Set(mouse.pt.x, mouse.pt.y)
end

function QV_Rectangle:OnMouseMoved(si, mouse)
    if self.dragging then
        self.pt:Set(mouse.pt.x, mouse.pt.y)
        CelUtil.Redraw(mouse)
    end
end

function QV_Rectangle:OnMouseUp(si, mouse)
    local mesh = si:Mesh()
    local dragging = self.dragging
    self.dragging = false
    if not dragging or mesh == nil then
        return
    end
    local a, b = CelUtil.DragCorners(si, mouse)
    if a.x == b.x or a.y == b.y then
        CelUtil.Redraw(mouse)
        return
    end
    CelUtil.BeginEdit(si)
    local corners = { CelUtil.Vec(a.x, a.y), CelUtil.Vec(b.x, a.y), CelUtil.Vec(b.x, b.y), CelUtil.Vec(a.x, b.y) }
    CelUtil.BuildCurve(si, mesh, corners, true, self.fill, self.outline)
    local curve = mesh:Curve(mesh:CountCurves() - 1)
    for i = 0, 3 do
        curve:SetCurvature(i, VORN.PEAKED, si.layerFrame)
    end
    CelUtil.Redraw(mouse)
end

function QV_Rectangle:DrawMe(si, view)
    if self.dragging then
        CelUtil.DrawBox(view, self.startPt, self.pt)
    end
end
