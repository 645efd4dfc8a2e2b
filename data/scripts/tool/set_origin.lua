-- Places the current layer's origin, the point it turns and scales about. The layer stays
-- where it is drawn.
QV_SetOrigin = {}
ScriptName = "QV_SetOrigin"

CelUtil.DefineInfo(QV_SetOrigin, "Set Origin",
    "Click or drag to place the point the layer turns and scales about.", "6")

function QV_SetOrigin:IsEnabled(si)
    return si.layer ~= nil
end

function QV_SetOrigin:OnMouseDown(si, mouse)
    self.layer = si.layer
    if self.layer == nil then
        return
    end
    CelUtil.PrepareUndo(si)
    self:OnMouseMoved(si, mouse)
end

function QV_SetOrigin:OnMouseMoved(si, mouse)
    local layer = CelRig.DraggedLayer(self, si)
    if layer == nil then
        return
    end
    -- The layer keeps its place, so the pointer's layer-space reading stays true during the drag.
    local origin = CelUtil.Copy(mouse.vec)
    CelRig.SetOriginKeepingPlace(si, layer, origin)
    CelUtil.Modified(si)
    CelUtil.Redraw(mouse)
end

function QV_SetOrigin:OnMouseUp(si, mouse)
    self:OnMouseMoved(si, mouse)
    self.layer = nil
end
