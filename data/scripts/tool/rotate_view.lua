-- Rotate View: the canvas's own rotate binding, driven by the drag; the document is not changed.
QV_RotateView = {}
ScriptName = "QV_RotateView"

CelUtil.DefineInfo(QV_RotateView, "Rotate View", "Drag around the view's centre to turn the view", "q")

function QV_RotateView:OnMouseDown(si, mouse)
    if mouse.view ~= nil then
        mouse.view:RotateDown(mouse.pt)
    end
end

function QV_RotateView:OnMouseMoved(si, mouse)
    if mouse.view ~= nil then
        mouse.view:RotateMoved(mouse.pt)
    end
end

function QV_RotateView:OnMouseUp(si, mouse)
    if mouse.view ~= nil then
        mouse.view:RotateUp(mouse.pt)
    end
end
