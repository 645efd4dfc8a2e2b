-- Moves the current layer: drag anywhere. Shift keeps the move horizontal or vertical.
QV_TransformLayer = {}
ScriptName = "QV_TransformLayer"

function QV_TransformLayer:Name() return "Transform Layer" end
function QV_TransformLayer:Version() return "1.0" end
function QV_TransformLayer:Description() return "Drag to move the current layer (Shift keeps the move horizontal or vertical); arrow keys nudge it." end
function QV_TransformLayer:Creator() return "Celvane" end
function QV_TransformLayer:UILabel() return "Transform Layer (E)" end

-- The arrow keys move the layer by this much (document units), ten times that with Shift.
local NUDGE = 0.01

function QV_TransformLayer:IsEnabled(si)
    return si.layer ~= nil
end

function QV_TransformLayer:OnMouseDown(si, mouse)
    local layer = si.layer
    if layer == nil then
        return
    end
    CelRig.PrepareUndo(si)
    self.layer = layer
    self.start = CelRig.LayerPointInParent(si, layer, mouse.startVec)
    self.translation = layer.fTranslation:GetValue(CelRig.KeyFrame(si))
end

function QV_TransformLayer:MoveBy(si, layer, dx, dy)
    local t = QV.Vector3:new_local()
    t:Set(self.translation.x + dx, self.translation.y + dy, self.translation.z)
    layer.fTranslation:SetValue(CelRig.KeyFrame(si), t)
    CelRig.Modified(si)
end

function QV_TransformLayer:OnMouseMoved(si, mouse)
    local layer = self.layer
    if layer == nil or layer ~= si.layer then
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
    self.lastPt = { x = mouse.pt.x, y = mouse.pt.y }
    CelRig.Redraw(mouse.view)
end

-- A release where the last move was repeats it with the reading taken before that move
-- changed the layer, so it is not applied again.
function QV_TransformLayer:OnMouseUp(si, mouse)
    if self.lastPt == nil or mouse.pt.x ~= self.lastPt.x or mouse.pt.y ~= self.lastPt.y then
        self:OnMouseMoved(si, mouse)
    end
    self.lastPt = nil
    self.layer = nil
end

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
    CelRig.PrepareUndo(si)
    self.translation = layer.fTranslation:GetValue(CelRig.KeyFrame(si))
    self:MoveBy(si, layer, move[1], move[2])
    CelRig.Redraw(key.view)
end
