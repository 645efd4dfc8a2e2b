-- Moves the current layer: drag anywhere. Shift keeps the move horizontal or vertical.
QV_TransformLayer = {}
ScriptName = "QV_TransformLayer"

CelUtil.DefineInfo(QV_TransformLayer, "Transform Layer",
    "Drag to move the current layer (Shift keeps the move horizontal or vertical); arrow keys nudge it.", "e")

-- The arrow keys move the layer by this much (document units), ten times that with Shift.
local NUDGE = 0.01

function QV_TransformLayer:IsEnabled(si)
    return si.layer ~= nil
end

function QV_TransformLayer:OnMouseDown(si, mouse)
    local layer = CelRig.TakeLayer(self, si)
    if layer == nil then
        return
    end
    self.start = CelRig.LayerPointInParent(si, layer, mouse.startVec)
    self.translation = layer.fTranslation:GetValue(CelUtil.KeyFrame(si))
end

function QV_TransformLayer:MoveBy(si, layer, dx, dy)
    local t = QV.Vector3:new_local()
    t:Set(self.translation.x + dx, self.translation.y + dy, self.translation.z)
    layer.fTranslation:SetValue(CelUtil.KeyFrame(si), t)
    CelUtil.Modified(si)
end

function QV_TransformLayer:OnMouseMoved(si, mouse)
    local layer = CelRig.DraggedLayer(self, si)
    if layer == nil then
        return
    end
    local now = CelRig.LayerPointInParent(si, layer, mouse.vec)
    local dx, dy = now.x - self.start.x, now.y - self.start.y
    if mouse.shiftKey then
        if math.abs(dx) > math.abs(dy) then
            dy = 0
        else
            dx = 0
        end
    end
    self:MoveBy(si, layer, dx, dy)
    CelRig.LayerMoved(self, mouse)
end

QV_TransformLayer.OnMouseUp = CelRig.LayerDragOnMouseUp

function QV_TransformLayer:OnKeyDown(si, key)
    local layer = si.layer
    if layer == nil then
        return
    end
    local step = key.shiftKey and NUDGE * 10 or NUDGE
    local moves = { [QV.GUI.KEY_LEFT] = { -step, 0 }, [QV.GUI.KEY_RIGHT] = { step, 0 },
        [QV.GUI.KEY_UP] = { 0, step }, [QV.GUI.KEY_DOWN] = { 0, -step } }
    local move = moves[key.keyCode]
    if move == nil then
        return
    end
    CelUtil.PrepareUndo(si)
    self.translation = layer.fTranslation:GetValue(CelUtil.KeyFrame(si))
    self:MoveBy(si, layer, move[1], move[2])
    CelUtil.Redraw(key)
end
