-- Selects the shape clicked on (Shift adds, Ctrl removes); Delete removes the selected shapes,
-- leaving their points and curves.
QV_SelectShape = {}
ScriptName = "QV_SelectShape"

CelUtil.DefineInfo(QV_SelectShape, "Select Shape",
    "Click a shape to select it (Shift adds, Ctrl removes); Delete removes the selected shapes", "k")

function QV_SelectShape:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, false)
end

function QV_SelectShape:OnMouseDown(si, mouse)
    local mesh = si:Mesh()
    if mesh == nil then
        return
    end
    local picked = CelUtil.PickShape(si, mesh, mouse)
    local mode = CelUtil.SelectionMode(mouse)
    if mode == CelUtil.SELECT_SET then
        for i = 0, mesh:CountShapes() - 1 do
            mesh:Shape(i).fSelected = false
        end
    end
    if picked >= 0 then
        mesh:Shape(picked).fSelected = mode ~= CelUtil.SELECT_REMOVE
    end
    CelUtil.Redraw(mouse)
end

function QV_SelectShape:OnKeyDown(si, key)
    local mesh = si:Mesh()
    if mesh == nil or (key.keyCode ~= QV.GUI.KEY_DELETE and key.keyCode ~= QV.GUI.KEY_BACKSPACE) then
        return
    end
    if si:CountSelectedShapes(true) == 0 then
        return
    end
    CelUtil.BeginEdit(si)
    for i = mesh:CountShapes() - 1, 0, -1 do
        if mesh:Shape(i).fSelected then
            mesh:DeleteShape(i)
        end
    end
end
