-- Changes the line width at points: a drag to the right widens the line at the selected points
-- (or the point pressed on), to the left thins it.
QV_LineWidth = {}
ScriptName = "QV_LineWidth"

CelUtil.DefineInfo(QV_LineWidth, "Line Width",
    "Drag left or right over points to thin or widen the line there", "w")

-- Screen pixels of travel that double the width.
local kDoubling = 40

function QV_LineWidth:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, false)
end

function QV_LineWidth:OnMouseDown(si, mouse)
    local mesh = si:Mesh()
    self.points = nil
    if mesh == nil then
        return
    end
    CelUtil.PickAndSelect(si, mesh, mouse)
    local points = {}
    for _, id in ipairs(CelUtil.SelectedPoints(mesh)) do
        local width = mesh:Point(id).fWidth:GetValue(si.layerFrame)
        if width <= 0 then
            width = si:NewShapeLineWidth()
        end
        points[#points + 1] = { id = id, start = width }
    end
    if #points == 0 then
        return
    end
    CelUtil.BeginEdit(si)
    self.points = points
end

function QV_LineWidth:OnMouseMoved(si, mouse)
    local mesh = si:Mesh()
    if self.points == nil or mesh == nil then
        return
    end
    local factor = 2 ^ ((mouse.pt.x - mouse.startPt.x) / kDoubling)
    for _, entry in ipairs(self.points) do
        mesh:Point(entry.id).fWidth:SetValue(si.layerFrame, entry.start * factor)
    end
    CelUtil.Redraw(mouse)
end

function QV_LineWidth:OnMouseUp(si, mouse)
    self.points = nil
    CelUtil.Redraw(mouse)
end
