-- Changes how round the curve is at points: a drag to the right rounds, to the left sharpens;
-- a click without a drag switches between a smooth point and a corner.
QV_Curvature = {}
ScriptName = "QV_Curvature"

CelUtil.DefineInfo(QV_Curvature, "Curvature",
    "Drag left or right over a point to sharpen or round it; click to switch smooth and corner", "u")

-- The roundest curvature a drag gives.
local kMostRound = 1.0

function QV_Curvature:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, false)
end

-- Every (curve, index) pair through the selected points, with the curvature there now.
local function Corners(si, mesh)
    local list = {}
    for _, id in ipairs(CelUtil.SelectedPoints(mesh)) do
        local point = mesh:Point(id)
        for n = 0, point:CountCurves() - 1 do
            local curve, index = point:Curve(n, 0)
            if curve ~= nil then
                list[#list + 1] = { curve = curve, index = index, start = curve:GetCurvature(index, si.layerFrame) }
            end
        end
    end
    return list
end

function QV_Curvature:OnMouseDown(si, mouse)
    local mesh = si:Mesh()
    self.corners = nil
    if mesh == nil then
        return
    end
    CelUtil.PickAndSelect(si, mesh, mouse)
    local corners = Corners(si, mesh)
    if #corners == 0 then
        return
    end
    CelUtil.BeginEdit(si)
    self.corners = corners
    self.dragged = false
end

function QV_Curvature:OnMouseMoved(si, mouse)
    if self.corners == nil then
        return
    end
    local dx = mouse.pt.x - mouse.startPt.x
    if dx ~= 0 then
        self.dragged = true
    end
    for _, corner in ipairs(self.corners) do
        local value = CelUtil.Clamp(corner.start + dx * 0.005, VORN.PEAKED, kMostRound)
        corner.curve:SetCurvature(corner.index, value, si.layerFrame)
    end
    CelUtil.Redraw(mouse)
end

function QV_Curvature:OnMouseUp(si, mouse)
    if self.corners == nil then
        return
    end
    if not self.dragged and mouse.pt.x == mouse.startPt.x and mouse.pt.y == mouse.startPt.y then
        local first = self.corners[1]
        local value = first.start > (VORN.SMOOTH + VORN.PEAKED) / 2 and VORN.PEAKED or VORN.SMOOTH
        for _, corner in ipairs(self.corners) do
            corner.curve:SetCurvature(corner.index, value, si.layerFrame)
        end
    end
    self.corners = nil
    CelUtil.Redraw(mouse)
end
