-- Pan View: the canvas's own pan binding, driven by the drag; the document is not changed.
QV_PanView = {}
ScriptName = "QV_PanView"

CelUtil.DefineInfo(QV_PanView, "Pan View", "Drag to move the view", "h")

function QV_PanView:OnMouseDown(si, mouse)
    if mouse.view ~= nil then
        mouse.view:PanDown(mouse.pt)
    end
end

function QV_PanView:OnMouseMoved(si, mouse)
    if mouse.view ~= nil then
        mouse.view:PanMoved(mouse.pt)
    end
end

function QV_PanView:OnMouseUp(si, mouse)
    if mouse.view ~= nil then
        mouse.view:PanUp(mouse.pt)
    end
end
