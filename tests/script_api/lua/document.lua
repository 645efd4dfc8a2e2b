-- The document: a new one holding the layers "One" and "Two", "One" selected.
cases {
    { "width", function() return doc:Width() end, 872 },
    { "height", function() return doc:Height() end, 486 },
    { "start", function() return doc:StartFrame() end, 1 },
    { "end", function() return doc:EndFrame() end, 240 },
    { "fps", function() return doc:Fps() end, 24 },
    { "name", function() return doc:Name() end, "Untitled.celv" },
    { "layers", function() return doc:CountLayers() end, 2 },
    { "by name", function() return doc:LayerByName("Two") end, doc:Layer(1) },
    { "no such name", function() return doc:LayerByName("Three") end, nil },
    { "nil name", function() return doc:LayerByName(nil) end, nil },
    { "aspect", function() return doc:AspectRatio() end, aspect },
}
lines()
eq(doc:Layer(-1), nil, "Layer(-1)")
eq(doc:Layer(doc:CountLayers()), nil, "Layer(count)")
eq(lines(), "VornDoc:Layer - out of range\nVornDoc:Layer - out of range", "range lines")

-- One selected layer and no secondary selection.
eq(doc:CountSelectedLayers(), 1, "one selected")
eq(doc:GetSelectedLayer(5), doc:Layer(0), "the selected layer whatever the index")
doc:Layer(0):SetSecondarySelection(true)
doc:Layer(1):SetSecondarySelection(true)
eq(doc:CountSelectedLayers(nil), 2, "two in the multi-selection")
eq(doc:GetSelectedLayer(1), doc:Layer(1), "second of the list")
eq(doc:GetSelectedLayer(2), nil, "outside the list")
eq(doc:GetSelectedLayer(-1), nil, "negative index")
doc:ClearSecondarySelection()
eq(doc:Layer(1):SecondarySelection(), false, "cleared")

-- The end frame follows the animation once it is 0.
doc:SetEndFrame(0)
eq(doc:EndFrame(), doc:AnimDuration(), "EndFrame follows AnimDuration")
doc:Layer(0).fAlpha:SetValue(36, 0)
eq(doc:EndFrame(), 36, "and the keys")

-- Sizes below 1 are refused with a range line.
doc:SetShape(0, 100)
eq(lines(), "VornDoc:SetShape - out of range", "SetShape range line")
eq(doc:Height(), 486, "height kept")
doc:SetShape(640, 480)
eq(doc:Width(), 640, "SetShape")

-- Undo preparation: a layer outside the document saves nothing and says why.
local stray = VORN.VornLayer:new_local()
doc:PrepUndo(stray)
eq(string.find(lines(), "VornDoc:PrepUndo", 1, true), 1, "PrepUndo of an outside layer")
eq(undoLevels(), 0, "no level saved")
doc:PrepUndo(doc:Layer(0))
eq(undoLevels(), 1, "one level")
doc:PrepUndo(nil)
eq(undoLevels(), 0, "nil empties the history")

-- Outside view and camera channels.
eq(doc:IsOutsideViewEnabled(), false, "outside view off")
local m = QV.Matrix:new_local()
doc:GetOutsideViewMatrix(m)
raises("nil matrix", function() doc:GetOutsideViewMatrix(nil) end, "error in function 'GetOutsideViewMatrix'.")
doc.fCameraZoom:SetValue(8, 2)
doc.fCameraRoll = doc.fCameraZoom
eq(doc.fCameraRoll:GetValue(8), 2, "camera channel assignment")
raises("wrong camera class", function() doc.fCameraTrack = doc.fCameraZoom end, "invalid type in variable assignment.")
doc:SetDirty()
