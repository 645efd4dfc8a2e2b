-- Scales the current layer about its origin: drag away from the origin to enlarge it, toward
-- it to shrink it. With Shift only the side dragged along (horizontal or vertical) changes.
QV_ScaleLayer = {}
ScriptName = "QV_ScaleLayer"

CelUtil.DefineInfo(QV_ScaleLayer, "Scale Layer",
    "Drag away from the layer's origin to enlarge the layer, toward it to shrink it "
        .. "(Shift scales one side).", "5")

-- A press this near the origin gives no usable ratio.
local MIN_DISTANCE = 0.001

function QV_ScaleLayer:IsEnabled(si)
    return si.layer ~= nil
end

function QV_ScaleLayer:OnMouseDown(si, mouse)
    self.layer = nil
    local layer = si.layer
    if layer == nil then
        return
    end
    CelUtil.PrepareUndo(si)
    self.center = CelRig.LayerPointInParent(si, layer, layer:Origin())
    local start = CelRig.LayerPointInParent(si, layer, mouse.startVec)
    self.dx, self.dy = start.x - self.center.x, start.y - self.center.y
    if math.sqrt(self.dx ^ 2 + self.dy ^ 2) < MIN_DISTANCE then
        return
    end
    self.layer = layer
    self.scale = layer.fScale:GetValue(CelUtil.KeyFrame(si))
end

function QV_ScaleLayer:OnMouseMoved(si, mouse)
    local layer = CelRig.DraggedLayer(self, si)
    if layer == nil then
        return
    end
    local now = CelRig.LayerPointInParent(si, layer, mouse.vec)
    local dx, dy = now.x - self.center.x, now.y - self.center.y
    local sx, sy
    if mouse.shiftKey then
        sx, sy = 1, 1
        if math.abs(self.dx) >= math.abs(self.dy) then
            sx = dx / self.dx
        else
            sy = dy / self.dy
        end
    else
        local ratio = math.sqrt(dx * dx + dy * dy) / math.sqrt(self.dx ^ 2 + self.dy ^ 2)
        sx, sy = ratio, ratio
    end
    local s = QV.Vector3:new_local()
    s:Set(self.scale.x * sx, self.scale.y * sy, self.scale.z)
    layer.fScale:SetValue(CelUtil.KeyFrame(si), s)
    CelUtil.Modified(si)
    CelRig.LayerMoved(self, mouse)
end

QV_ScaleLayer.OnMouseUp = CelRig.LayerDragOnMouseUp
