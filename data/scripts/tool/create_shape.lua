-- Makes a shape of the selected points' edges: a filled shape or a line by the option. A drag
-- selects points as the select tool does; Return, a space tap or the Create button makes the
-- shape.
QV_CreateShape = {}
ScriptName = "QV_CreateShape"

local function Create(self, si)
    local mesh = si:Mesh()
    if mesh == nil or si:CountSelectedPoints(true) == 0 then
        return
    end
    CelUtil.BeginEdit(si)
    si:CreateShape(self.kind == 1)
end

CelUtil.DefineInfo(QV_CreateShape, "Create Shape",
    "Select points, then press Space to make a filled shape or a line of them", "n")
CelUtil.DefineOptions(QV_CreateShape, "QV_CreateShape", {
    { name = "kind", labels = { "Fill", "Line" }, default = 1 },
    { button = "Create", action = function(self, si) Create(self, si) end },
})

function QV_CreateShape:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, false)
end

QV_CreateShape.OnMouseDown = CelUtil.SelectOnMouseDown
QV_CreateShape.OnMouseMoved = CelUtil.SelectOnMouseMoved
QV_CreateShape.OnMouseUp = CelUtil.SelectOnMouseUp
QV_CreateShape.DrawMe = CelUtil.SelectDrawMe

function QV_CreateShape:OnKeyDown(si, key)
    if key.keyCode == 32 or key.keyCode == QV.GUI.KEY_RETURN then
        Create(self, si)
    else
        CelUtil.SelectOnKeyDown(self, si, key)
    end
end
