-- Zoom View: the canvas's own zoom binding, driven by the drag; the document is not changed.
QV_ZoomView = {}
ScriptName = "QV_ZoomView"

CelUtil.DefineInfo(QV_ZoomView, "Zoom View", "Drag right to zoom in, left to zoom out", "z")

function QV_ZoomView:OnMouseDown(si, mouse)
    if mouse.view ~= nil then
        mouse.view:ZoomDown(mouse.pt)
    end
end

function QV_ZoomView:OnMouseMoved(si, mouse)
    if mouse.view ~= nil then
        mouse.view:ZoomMoved(mouse.pt)
    end
end

function QV_ZoomView:OnMouseUp(si, mouse)
    if mouse.view ~= nil then
        mouse.view:ZoomUp(mouse.pt)
    end
end
