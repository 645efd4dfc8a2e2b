-- Shapes and styles: a filled square on the current vector layer.
local mesh = si:Mesh()
mesh:AddLonePoint(V(0, 0), 0)
mesh:AppendPoint(V(0.5, 0), 0)
mesh:AppendPoint(V(0.5, 0.5), 0)
mesh:AppendPoint(V(0, 0.5), 0)
mesh:Curve(0).fClosed = true
mesh:SelectAll()
eq(si:CreateShape(true), 0, "shape made")
local shape = mesh:Shape(0)
eq(mesh:ShapeID(shape), 0, "ShapeID")
eq(shape:CountEdges(), 4, "edges")
eq(shape:AllPointsSelected(), true, "all points selected")

-- GetEdge: out of range answers its arguments.
local curve, segment = shape:GetEdge(1, 0, 0)
eq(curve, 0, "edge curve")
eq(segment, 1, "edge segment")
lines()
local a, b = shape:GetEdge(shape:CountEdges(), 7.9, -3.2)
eq(a, 7, "curve argument back")
eq(b, -3, "segment argument back")
eq(lines(), "M_Shape::GetEdge - out of range", "GetEdge range line")

-- Bounds and handles.
local lo, hi = V(0, 0), V(0, 0)
shape:ShapeBounds(lo, hi)
eq(hi.x >= 0.5, true, "bounds")
shape:ShapeBounds(lo, hi, 0)
local centre = shape:ShapeCenter()
local h1 = shape:EffectHandle1()
eq(h1.x, centre.x, "handle 1 at the centre")
eq(h1.y, centre.y, "handle 1 at the centre (y)")
raises("nil bounds", function() shape:ShapeBounds(nil, hi) end, "error in function 'ShapeBounds'.")

-- Flags and names.
shape.fHasFill = nil
eq(shape.fHasFill, false, "nil unfills")
local name = label
shape.fName = name
eq(tolua.type(shape.fName), "QV_String", "fName is a string object")

-- The shape's own style: soft edge fills slot 1, then 2, never 3.
local s = shape.fMyStyle
local n = s.fName
s:SetSoftEdge(0.1)
eq(effectCount(shape), 1, "first slot")
s:SetSoftEdge(0.2)
eq(effectCount(shape), 2, "second slot")
s:SetSoftEdge(0.3)
eq(effectCount(shape), 2, "never the third")
s.fLineWidth = 0.5
eq(s.fLineWidth, 0.5, "line width")
s.fFillCol:SetValue(0, V4(0, 0, 1, 1))

-- Style assignment: self-assignment keeps it, another style is copied with effects of its own.
shape.fMyStyle = shape.fMyStyle
eq(effectCount(shape), 2, "self-assignment keeps the effects")
raises("nil style", function() shape.fMyStyle = nil end, "invalid type in variable assignment.")
shape:CopyStyleProperties(nil)
shape:CopyStyleProperties(shape)
eq(shape.fMyStyle.fLineWidth, 0.5, "copying from nothing or itself changes nothing")
shape:RemoveStyles()
eq(shape:HasPositionDependentStyles(), false, "no position-dependent styles")
