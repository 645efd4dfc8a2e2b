-- Channels, reached through the current layer and its points.
local layer = si.layer
local alpha = layer.fAlpha

-- GetKeyInterp wants all four numbers and answers three values.
raises("GetKeyInterp with only the frame", function() return alpha:GetKeyInterp(0) end,
    "error in function 'GetKeyInterp'.", "argument #3", "'number' expected")
alpha:SetValue(10, 0.5)
alpha:SetKeyInterp(10, VORN.INTERP_STEP, 2, 3)
local mode, v1, v2 = alpha:GetKeyInterp(10, 0, 0, 0)
eq(mode, VORN.INTERP_STEP, "mode at key")
eq(v1, 2, "val1 at key")
eq(v2, 3, "val2 at key")
local dm, d1, d2 = alpha:GetKeyInterp(11, 0, 0, 0)
local bm, b1, b2 = alpha:GetKeyInterpByID(99, 0, 0, 0)
eq(bm, dm, "out-of-range id gives the defaults' mode")
eq(b1, d1, "defaults' val1")
eq(b2, d2, "defaults' val2")
eq(lines(), "AnimChannel:GetKeyInterpByID - out of range", "range line of GetKeyInterpByID")

-- Frames truncate toward zero.
cases {
    { "12.7 acts as 12", function() alpha:SetValue(12.7, 0.25) return alpha:HasKey(12) end, true },
    { "key count", function() return alpha:CountKeys() end, 3 },
    { "key when", function() return alpha:GetKeyWhen(2) end, 12 },
    { "closest key", function() return alpha:GetClosestKeyID(11) end, 1 },
    { "duration", function() return alpha:Duration() end, 12 },
    { "channel type", function() return alpha:ChannelType() end, VORN.CHANNEL_VAL },
    { "interp mode by id", function() return alpha:GetKeyInterpModeByID(1) end, VORN.INTERP_STEP },
}
alpha:DeleteKey(12)
eq(alpha:HasKey(12), false, "DeleteKey")
alpha:Clear()
eq(alpha:CountKeys(), 1, "Clear keeps the frame-0 key")

-- value reaches GetValue only once stored.
local blur = layer.fBlur
blur:SetValue(0, 2)
blur.value = 7
eq(blur:GetValue(0), 2, "cached value is no key")
blur:StoreValue()
eq(blur:GetValue(0), 7, "StoreValue keys it")

-- Colours: both SetValue forms, and the error names the first form's type.
local shadow = layer.fShadowColor
local c = QV.ColorVector:new_local()
c.r, c.g, c.b, c.a = 1, 0, 0, 1
shadow:SetValue(5, c)
local got = shadow:GetValue(5)
eq(tolua.type(got), "QV_ColorVector", "GetValue answers a colour vector")
eq(got.r, 1, "red through QV_ColorVector")
local packed = QV.rgb_color:new_local()
packed.r, packed.g, packed.b, packed.a = 0, 255, 0, 255
shadow:SetValue(6, packed)
eq(shadow:GetValue(6).g, 1, "green through rgb_color")
eq(tolua.type(shadow.value), "rgb_color", "value is packed")
raises("a number as colour", function() shadow:SetValue(7, 3) end,
    "error in function 'SetValue'.", "argument #3", "QV_ColorVector' expected")
raises("nil as colour", function() shadow:SetValue(7, nil) end, "error in function 'SetValue'.")

-- Vectors by value are fresh copies; value is the channel's own.
local t = layer.fTranslation
local copy = t:GetValue(0)
copy.x = 5
eq(t:GetValue(0).x, 0, "a by-value result is a copy")
t.value.x = 3
eq(t.value.x, 3, "value is the cached vector itself")
raises("nil into a vector channel", function() t:SetValue(0, nil) end, "error in function 'SetValue'.")

-- Booleans and texts.
local flip = layer.fFlipH
flip:SetValue(3, true)
eq(flip:GetValue(3), true, "bool key")
flip.value = nil
eq(flip.value, false, "nil stores false")

-- InterpSetting is registered with its three variables only.
eq(type(VORN.InterpSetting), "table", "InterpSetting registered")
eq(VORN.InterpSetting.new, nil, "scripts cannot make one")

-- Text channels take Lua strings in SetValue but only QV_String objects as value.
text:SetValue(0, "abc")
eq(text:GetValue(0), "abc", "text key")
text:SetValue(4, nil)
eq(text:GetValue(4), "", "nil sets the empty text")
raises("a Lua string as value", function() text.value = "x" end, "invalid type in variable assignment.")
