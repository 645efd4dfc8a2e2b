-- Places the current layer's origin, the point it turns and scales about. The layer stays
-- where it is drawn.
QV_SetOrigin = {}
ScriptName = "QV_SetOrigin"

function QV_SetOrigin:Name() return "Set Origin" end
function QV_SetOrigin:Version() return "1.0" end
function QV_SetOrigin:Description() return "Click or drag to place the point the layer turns and scales about." end
function QV_SetOrigin:Creator() return "Celvane" end
function QV_SetOrigin:UILabel() return "Set Origin (6)" end

function QV_SetOrigin:IsEnabled(si)
    return si.layer ~= nil
end

function QV_SetOrigin:OnMouseDown(si, mouse)
    self.layer = si.layer
    if self.layer == nil then
        return
    end
    CelRig.PrepareUndo(si)
    self:OnMouseMoved(si, mouse)
end

function QV_SetOrigin:OnMouseMoved(si, mouse)
    local layer = self.layer
    if layer == nil or layer ~= si.layer then
        return
    end
    -- The layer keeps its place, so the pointer's layer-space reading stays true during the drag.
    local origin = CelRig.Copy(mouse.vec)
    CelRig.SetOriginKeepingPlace(si, layer, origin)
    CelRig.Modified(si)
    CelRig.Redraw(mouse.view)
end

function QV_SetOrigin:OnMouseUp(si, mouse)
    self:OnMouseMoved(si, mouse)
    self.layer = nil
end
