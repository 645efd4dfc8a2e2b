-- A menu script of our own: keys every layer's opacity at the current frame and fills the
-- current vector layer's shapes with red.
RestyleMenu = {}

function RestyleMenu:Run(si)
    local doc = si.document
    for i = 0, doc:CountLayers() - 1 do
        local layer = doc:Layer(i)
        layer.fAlpha:SetValue(si.frame, 1)
    end
    local red = QV.ColorVector:new_local()
    red.r, red.g, red.b, red.a = 1, 0, 0, 1
    local mesh = si:Mesh()
    for i = 0, mesh:CountShapes() - 1 do
        local style = mesh:Shape(i).fMyStyle
        style.fFillCol:SetValue(si.frame, red)
        style.fDefineFillCol = true
    end
    doc:SetDirty()
end
