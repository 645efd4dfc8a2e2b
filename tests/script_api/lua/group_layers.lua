-- Group, switch and particle layers.
local g = si:LayerAsGroup(grp)
eq(g:CountLayers(), 0, "an empty group")
lines()
eq(g:Layer(0), nil, "Layer(0) of an empty group")
eq(g:LayerByDepth(0), nil, "LayerByDepth(0) of an empty group")
eq(lines(), "GroupLayer:Layer - out of range\nGroupLayer:LayerByDepth - out of range", "range lines")
g:Expand(true)
g:SetGroupMask(42)
cases {
    { "expanded", function() return g:IsExpanded() end, true },
    { "any mask is stored", function() return g:GetGroupMask() end, 42 },
    { "not depth sorted", function() return g:IsDepthSorted() end, false },
    { "no ordering", function() return g:IsLayerOrderingEnabled() end, false },
}

-- Sub-layers "A", "B", "A": names match exactly, the lower index first; 0.9 is 0.
local s = si:LayerAsSwitch(switch)
cases {
    { "three sub-layers", function() return s:CountLayers() end, 3 },
    { "0.9 is 0", function() return s:Layer(0.9) end, s:Layer(0) },
    { "lower index", function() return s:LayerByName("A") end, s:Layer(0) },
    { "exact name", function() return s:LayerByName("a") end, nil },
    { "nil names nothing", function() return s:LayerByName(nil) end, nil },
}

-- Setting the distance key alone keeps the depth order; the next sort takes it. Layer 1 lies
-- nearest by depth but farthest by distance.
local places = { vec3(0, 0, -1), vec3(10, 0, 0), vec3(0, 0, -0.5) }
for i = 0, 2 do
    s:Layer(i).fTranslation:SetValue(0, places[i + 1])
end
local function depthOrder()
    local order = {}
    for i = 0, 2 do
        local t = s:LayerByDepth(i).fTranslation:GetValue(0)
        order[#order + 1] = t.x .. "," .. t.z
    end
    return table.concat(order, " ")
end
s:SetDepthSorted(true)
eq(s:IsDepthSorted(), true, "depth sorted")
local byDepth = depthOrder()
s:SetDistanceSorted(true)
eq(s:IsDistanceSorted(), true, "distance key stored")
eq(depthOrder(), byDepth, "SetDistanceSorted alone keeps the order")
s:FullDepthSort()
eq(depthOrder() ~= byDepth, true, "the next sort takes the distance: " .. depthOrder())

-- Switching the layer ordering off keeps only its frame-0 key.
local ordering = g:GetLayerOrdering()
for _, frame in ipairs { 0, 12, 24 } do
    ordering:SetValue(frame, "")
end
g:EnableLayerOrdering(true)
eq(ordering:CountKeys(), 3, "keys kept while on")
g:EnableLayerOrdering(false)
eq(ordering:CountKeys(), 1, "one key left")
eq(ordering:HasKey(0), true, "the frame-0 key")

-- Switch keys name the sub-layer shown; a switch script object has no skeleton.
s:SetValue(12.7, "B")
eq(s:GetValue(12), "B", "keyed at 12")
eq(s.Skeleton, nil, "a SwitchLayer has no Skeleton")
eq(si:LayerAsBone(bones):Skeleton() ~= nil, true, "a BoneLayer has one")
s:SetInterpMode(true)
eq(s:InterpMode(), true, "interpolation")
local keys = s:SwitchValues():CountKeys()
s:SetSourceFile("/nonexistent/switch.dat")
eq(s:SwitchValues():CountKeys(), keys, "an unreadable data file keeps the keys")
s:SetSourceFile(nil)

-- Particle settings.
local p = si:LayerAsParticle(parts)
local function pair(a, b) return tostring(a) .. " " .. tostring(b) end
eq(pair(p:GetNumParticles(0, 0)), "100 20", "new particle counts")
p:SetNumParticles(50, 80)
eq(pair(p:GetNumParticles(7, 7)), "50 50", "preview at most the total")
lines()
p:SetNumParticles(-1, 0)
p:SetNumParticles(2e9, 10)
eq(lines(), "ParticleLayer:SetNumParticles - out of range\nParticleLayer:SetNumParticles - out of range",
    "totals out of range")
eq(pair(p:GetNumParticles(0, 0)), "50 50", "counts unchanged")
raises("GetDirection()", function() p:GetDirection() end, "error in function 'GetDirection'.")
raises("GetDirection(nil, nil)", function() p:GetDirection(nil, nil) end, "error in function 'GetDirection'.")
p:SetDirection(1, 0.5)
local direction, spread = p:GetDirection(0, 0)
near(direction, 1, "direction")
near(spread, 0.5, "spread")
p:SetVelocity(3, 0.25)
eq(pair(p:GetVelocity(0, 0)), "3 0.25", "velocity")
p:SetAcceleration(2, 8)
eq(pair(p:GetAcceleration(0, 0)), "2 8", "acceleration")
local size = p:SourceDimensions()
near(size.x, 0.1, "source width")
size.x = 9
near(p:SourceDimensions().x, 0.1, "SourceDimensions is a copy")
p:SetSourceDimensions(vec3(1, 2, 3))
eq(p:SourceDimensions().z, 3, "SetSourceDimensions")
raises("SetSourceDimensions(nil)", function() p:SetSourceDimensions(nil) end, "error in function 'SetSourceDimensions'.")
p:SetLifetime(30.6)
p:SetDamping(0.5)
cases {
    { "lifetime", function() return p:Lifetime() end, 30 },
    { "damping", function() return p:Damping() end, 0.5 },
    { "orientation", function() return p:Orientation() end, true },
    { "full speed start", function() return p:FullSpeedStart() end, true },
    { "emitting", function() return p:RunningTrack():GetValue(0) end, true },
}
p:FinalizeSettings()
