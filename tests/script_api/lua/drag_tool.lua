-- A tool of our own that moves the selected points and keys them where the mouse lets go.
DragKeys = {}

function DragKeys:OnMouseDown(si, mouse)
    si.document:PrepUndo(si.layer)
    si:Mesh():PrepMovePoints()
end

function DragKeys:OnMouseMoved(si, mouse)
    local offset = QV.Vector2:new_local()
    offset.x = mouse.vec.x - mouse.startVec.x
    offset.y = mouse.vec.y - mouse.startVec.y
    si:Mesh():TranslatePoints(offset)
end

function DragKeys:OnMouseUp(si, mouse)
    si:AddPointKeyframe(si.frame)
    si.document:SetDirty()
end
