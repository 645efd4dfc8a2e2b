-- The layer base class: a fresh layer, its settings, and channel assignment.
local fresh = VORN.VornLayer:new_local()
cases {
    { "type", function() return fresh:LayerType() end, 0 },
    { "group type", function() return fresh:IsGroupType() end, false },
    { "bone type", function() return fresh:IsBoneType() end, false },
    { "name", function() return fresh:Name() end, "" },
    { "frame", function() return fresh:CurFrame() end, 0 },
    { "parent bone", function() return fresh:LayerParentBone() end, -2 },
    { "scale compensation", function() return fresh:HasScaleCompensation() end, true },
    { "visible", function() return fresh.fVisibility:GetValue(0) end, true },
    { "alpha", function() return fresh.fAlpha:GetValue(0) end, 1 },
    { "parent", function() return fresh:Parent() end, nil },
    { "action", function() return fresh:CurrentAction() end, "" },
}
fresh:ShowConstructionCurves(false)
eq(qualityFlags(fresh), 2044, "construction curves off")
fresh:ShowConstructionCurves(true)
eq(qualityFlags(fresh), 2046, "construction curves on")
fresh:SetLayerParentBone(2.9)
eq(fresh:LayerParentBone(), 2, "2.9 stores 2")
fresh:SetLayerParentBone(-2.9)
eq(fresh:LayerParentBone(), -2, "-2.9 stores -2")
fresh:SetMaskingMode(42)
eq(fresh:MaskingMode(), 42, "modes are stored as given")
fresh:SetName('say "hi"')
eq(fresh:Name(), "say hi", "quotes leave names")
fresh:SetName(nil)
eq(fresh:Name(), "", "nil names nothing")
fresh:UpdateCurFrame(nil)
fresh:UpdateCurFrame()

-- Origin is a copy; SetOrigin moves the layer.
local o = fresh:Origin()
o.x = 4
eq(fresh:Origin().x, 0, "Origin is a copy")
fresh:SetOrigin(V(0.5, 0.25))
eq(fresh:Origin().y, 0.25, "SetOrigin")
raises("SetOrigin(nil)", function() fresh:SetOrigin(nil) end, "error in function 'SetOrigin'.")

-- A quoted HSV image path is refused; a plain one is taken.
fresh:SetHsvImage("hue.png")
eq(fresh:HsvImage(), "hue.png", "hsv path")
fresh:SetHsvImage('bad".png')
eq(fresh:HsvImage(), "hue.png", "a quoted path is refused")

-- Timing offsets read 0 while an action is edited.
fresh:SetTimingOffset(5)
eq(fresh:TimingOffset(), 5, "offset")
fresh:ActivateAction("walk")
eq(fresh:CurrentAction(), "walk", "action edited")
eq(fresh:TimingOffset(), 0, "no offset while an action is edited")
fresh:ActivateAction(nil)
eq(fresh:CurrentAction(), "", "back on the main timeline")
eq(fresh:TimingOffset(), 5, "offset again")

-- Transforms write into the matrix given; nil has nowhere to write.
local m = QV.Matrix:new_local()
fresh:GetLayerTransform(0, m, nil)
raises("nil matrix", function() fresh:GetFullTransform(0, nil, doc) end, "error in function 'GetFullTransform'.")

-- Channel assignment copies; the copies share nothing.
local one, two = doc:Layer(0), doc:Layer(1)
one.fTranslation:SetValue(10, vec3(1, 2, 3))
two.fTranslation = one.fTranslation
eq(two.fTranslation:CountKeys(), 2, "keys copied")
one.fTranslation:SetValue(20, vec3(4, 4, 4))
eq(two.fTranslation:CountKeys(), 2, "a later key of the source stays out")
eq(two.fTranslation:GetValue(10).y, 2, "copied value")
one.fTranslation = one.fTranslation
eq(one.fTranslation:CountKeys(), 3, "self-assignment keeps the channel")
one.fScale = one.fTranslation
eq(one.fScale:GetValue(20).x, 4, "same class between variables")
raises("another class", function() one.fTranslation = one.fRotationZ end, "invalid type in variable assignment.")
raises("nil", function() one.fTranslation = nil end, "invalid type in variable assignment.")

-- A layer of the document may not be deleted by a script.
raises("delete of a document's layer", function() one:delete() end, "invalid 'self' in function 'delete'")
raises("taking a document's layer", function() tolua.takeownership(one) end, "belongs to the application")

-- The vector layer's mesh and variables.
local vector = si:LayerAsVector(one)
eq(tolua.type(vector:Mesh()), "M_Mesh", "Mesh")
eq(vector:Mesh(), vector:Mesh(), "the same mesh each time")
vector.fExtraLines = 3.9
eq(vector.fExtraLines, 3, "integers truncate")
vector.fNoisyLines = nil
eq(vector.fNoisyLines, false, "nil stores false")

-- A layer the script made is the script's to delete; its object is empty afterwards.
local own = VORN.VornLayer:new()
own:SetName("Mine")
own:delete()
raises("use after delete", function() return own:Name() end, "invalid 'self' in function 'Name'")
