-- Draws an oval in the box between the press and the release (Shift: a circle), by the
-- options a filled and outlined shape of the new-shape style.
QV_Oval = {}
ScriptName = "QV_Oval"

CelUtil.DefineInfo(QV_Oval, "Oval", "Drag to draw an oval (Shift: a circle)", "o")
CelUtil.DefineOptions(QV_Oval, "QV_Oval", {
    { name = "fill", label = "Fill", default = true },
    { name = "outline", label = "Outline", default = true },
})

-- Points around the oval: eight smooth points keep it round at any size.
local kPoints = 8

function QV_Oval:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, true)
end

function QV_Oval:OnMouseDown(si, mouse)
    self.dragging = si:Mesh() ~= nil
    self.startPt = QV.Point:new_local()
    self.startPt:Set(mouse.pt.x, mouse.pt.y)
    self.pt = QV.Point:new_local()
    self.pt:Set(mouse.pt.x, mouse.pt.y)
end

function QV_Oval:OnMouseMoved(si, mouse)
    if self.dragging then
        self.pt:Set(mouse.pt.x, mouse.pt.y)
        CelUtil.Redraw(mouse)
    end
end

function QV_Oval:OnMouseUp(si, mouse)
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
    local cx, cy = (a.x + b.x) / 2, (a.y + b.y) / 2
    local rx, ry = math.abs(b.x - a.x) / 2, math.abs(b.y - a.y) / 2
    local points = {}
    for i = 0, kPoints - 1 do
        local angle = 2 * math.pi * i / kPoints
        points[#points + 1] = CelUtil.Vec(cx + rx * math.cos(angle), cy + ry * math.sin(angle))
    end
    CelUtil.BeginEdit(si)
    CelUtil.BuildCurve(si, mesh, points, true, self.fill, self.outline)
    local curve = mesh:Curve(mesh:CountCurves() - 1)
    for i = 0, kPoints - 1 do
        curve:SetCurvature(i, VORN.SMOOTH, si.layerFrame)
    end
    CelUtil.Redraw(mouse)
end

function QV_Oval:DrawMe(si, view)
    if self.dragging then
        CelUtil.DrawBox(view, self.startPt, self.pt)
    end
end
