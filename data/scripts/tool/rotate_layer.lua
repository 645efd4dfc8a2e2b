-- Turns the current layer about its origin. Shift snaps the angle to 15 degree steps.
QV_RotateLayer = {}
ScriptName = "QV_RotateLayer"

local STEP = math.pi / 12

CelUtil.DefineInfo(QV_RotateLayer, "Rotate Layer",
    "Drag around the layer's origin to turn the layer (Shift snaps to 15 degree steps).", "4")

function QV_RotateLayer:IsEnabled(si)
    return si.layer ~= nil
end

local function Direction(from, to)
    return math.atan2(to.y - from.y, to.x - from.x)
end

function QV_RotateLayer:OnMouseDown(si, mouse)
    local layer = CelRig.TakeLayer(self, si)
    if layer == nil then
        return
    end
    self.center = CelRig.LayerPointInParent(si, layer, layer:Origin())
    self.start = Direction(self.center, CelRig.LayerPointInParent(si, layer, mouse.startVec))
    self.angle = layer.fRotationZ:GetValue(CelUtil.KeyFrame(si))
end

function QV_RotateLayer:OnMouseMoved(si, mouse)
    local layer = CelRig.DraggedLayer(self, si)
    if layer == nil then
        return
    end
    local now = Direction(self.center, CelRig.LayerPointInParent(si, layer, mouse.vec))
    local angle = self.angle + now - self.start
    if mouse.shiftKey then
        angle = math.floor(angle / STEP + 0.5) * STEP
    end
    layer.fRotationZ:SetValue(CelUtil.KeyFrame(si), angle)
    CelUtil.Modified(si)
    CelRig.LayerMoved(self, mouse)
end

QV_RotateLayer.OnMouseUp = CelRig.LayerDragOnMouseUp
