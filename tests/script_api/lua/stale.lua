-- Objects kept by a script past their owner's life raise the self error.
local mesh = si:Mesh()
mesh:AddLonePoint(V(0, 0), 0)
mesh:AppendPoint(V(1, 0), 0)
mesh:AppendPoint(V(1, 1), 0)
local p = mesh:Point(0)
local pos = p.fPos
local width = p.fWidth
mesh:DeletePoint(0)
raises("a deleted point", function() return p.fSelected end, "invalid 'self'")
raises("its position", function() return pos.x end, "invalid 'self'")
raises("its channel", function() return width:CountKeys() end, "invalid 'self'")
local q = mesh:Point(0)
mesh:Clear()
raises("a point of a cleared mesh", function() q:SetPos(V(0, 0), 0) end, "invalid 'self' in function 'SetPos'")
