-- Turns the current layer about its origin. Shift snaps the angle to 15 degree steps.
QV_RotateLayer = {}
ScriptName = "QV_RotateLayer"

local STEP = math.pi / 12

function QV_RotateLayer:Name() return "Rotate Layer" end
function QV_RotateLayer:Version() return "1.0" end
function QV_RotateLayer:Description() return "Drag around the layer's origin to turn the layer (Shift snaps to 15 degree steps)." end
function QV_RotateLayer:Creator() return "Celvane" end
function QV_RotateLayer:UILabel() return "Rotate Layer (4)" end

function QV_RotateLayer:IsEnabled(si)
    return si.layer ~= nil
end

local function Direction(from, to)
    return math.atan2(to.y - from.y, to.x - from.x)
end

function QV_RotateLayer:OnMouseDown(si, mouse)
    local layer = si.layer
    if layer == nil then
        return
    end
    CelRig.PrepareUndo(si)
    self.layer = layer
    self.center = CelRig.LayerPointInParent(si, layer, layer:Origin())
    self.start = Direction(self.center, CelRig.LayerPointInParent(si, layer, mouse.startVec))
    self.angle = layer.fRotationZ:GetValue(CelRig.KeyFrame(si))
end

function QV_RotateLayer:OnMouseMoved(si, mouse)
    local layer = self.layer
    if layer == nil or layer ~= si.layer then
        return
    end
    local now = Direction(self.center, CelRig.LayerPointInParent(si, layer, mouse.vec))
    local angle = self.angle + now - self.start
    if mouse.shiftKey then
        angle = math.floor(angle / STEP + 0.5) * STEP
    end
    layer.fRotationZ:SetValue(CelRig.KeyFrame(si), angle)
    CelRig.Modified(si)
    self.lastPt = { x = mouse.pt.x, y = mouse.pt.y }
    CelRig.Redraw(mouse.view)
end

-- A release where the last move was repeats it with the reading taken before that move
-- changed the layer, so it is not applied again.
function QV_RotateLayer:OnMouseUp(si, mouse)
    if self.lastPt == nil or mouse.pt.x ~= self.lastPt.x or mouse.pt.y ~= self.lastPt.y then
        self:OnMouseMoved(si, mouse)
    end
    self.lastPt = nil
    self.layer = nil
end
