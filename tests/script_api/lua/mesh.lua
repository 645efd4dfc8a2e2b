-- Points, curves, groups and the mesh of the current vector layer, built here.
local mesh = si:Mesh()
eq(mesh:CountPoints(), 0, "empty mesh")

-- AppendPoint alone adds nothing; AddLonePoint then AppendPoint make one two-point curve.
mesh:AppendPoint(V(0, 0), 0)
eq(mesh:CountPoints(), 0, "AppendPoint without a curve")
mesh:AddLonePoint(V(0, 0), 0)
eq(mesh:CountPoints(), 0, "AddLonePoint makes nothing yet")
mesh:AppendPoint(V(1, 0), 0)
eq(mesh:CountPoints(), 2, "two points")
eq(mesh:CountCurves(), 1, "one curve")
mesh:AppendPoint(V(1, 1), 0)
mesh:AppendPoint(V(0, 1), 0)
local curve = mesh:Curve(0)
eq(curve:CountPoints(), 4, "a curve of four points")

-- Indices wrap around on curves.
eq(curve:Point(5), curve:Point(1), "Point(5) is position 1")
eq(curve:Point(-1), curve:Point(3), "Point(-1) is position 3")
eq(curve:CountSegments(), 3, "open curve segments")
curve.fClosed = true
eq(curve:CountSegments(), 4, "closed curve segments")
curve.fClosed = false

-- Range lines and neutral answers.
lines()
eq(mesh:Point(4), nil, "Point out of range")
eq(mesh:Group(0), nil, "Group out of range")
eq(curve:IsSegmentSelected(9), false, "IsSegmentSelected outside")
eq(curve:PointOnSegment(-1, 0.5), nil, "PointOnSegment outside")
eq(curve:ClosestPointOnSegment(4, V(0, 0)), nil, "ClosestPointOnSegment outside")
eq(curve:GetCurvature(7, 0), 0.30000001192092896, "GetCurvature outside")
curve:SetSegmentOn(-1, false)
eq(lines(), table.concat({ "M_Mesh:Point - out of range", "M_Mesh:Group - out of range",
    "M_Curve:IsSegmentSelected - out of range", "M_Curve:PointOnSegment - out of range",
    "M_Curve:ClosestPointOnSegment - out of range", "M_Curve:GetCurvature - out of range",
    "M_Curve:SetSegmentOn - out of range" }, "\n"), "range lines")
local start = curve:ClosestPointOnSegment(0, V(0, 0))
eq(start.x, 0, "closest point at the start")

-- Points: curves through them, end points.
local first = curve:Point(0)
local c, index = first:Curve(0, 9)
eq(c, curve, "curve through the point")
eq(index, 0, "its position")
local ec, es = first:GetEndpointEdge(7, 7)
eq(ec, 0, "end point's curve")
eq(es, 0, "end point's segment")
local _, ls = curve:Point(3):GetEndpointEdge(0, 0)
eq(ls, 2, "last point's segment")
local ic = curve:Point(1):GetEndpointEdge(0, 0)
eq(ic, -1, "inner point")
raises("number into a flag", function() first.fSelected = 1 end, "invalid type in variable assignment.")
first.fSelected = nil
eq(first.fSelected, false, "nil clears a flag")
first.fPos.x = 0.125
eq(first.fPos.x, 0.125, "fPos is the point's own vector")
raises("SetPos(nil)", function() first:SetPos(nil, 0) end, "error in function 'SetPos'.")
eq(mesh:PointID(first), 0, "PointID")
eq(mesh:PointID(nil), -1, "PointID(nil)")
eq(mesh:CurveID(curve), 0, "CurveID")

-- AddPoint: two numbers take the first form, three the inserting form, one is an error.
mesh:AddPoint(V(2, 0), 1, 0)
eq(mesh:CountPoints(), 5, "attached point")
local onCurve = curve:CountPoints()
mesh:AddPoint(V(0.5, -0.5), 0, 0, 0)
eq(curve:CountPoints(), onCurve + 1, "inserted into the curve")
raises("one number", function() mesh:AddPoint(V(0, 0), 1) end,
    "error in function 'AddPoint'.", "argument #4", "'number' expected")

-- Moving the selection from the saved positions: scale 1 and rotation 0 restore.
mesh:SelectAll()
mesh:PrepMovePoints()
local before = {}
for i = 0, mesh:CountPoints() - 1 do
    before[i] = { mesh:Point(i).fPos.x, mesh:Point(i).fPos.y }
end
mesh:TranslatePoints(V(1, 1))
near(mesh:Point(0).fPos.x, before[0][1] + 1, "translated")
mesh:ScalePoints(1, 1, V(0.3, 0.3))
mesh:RotatePoints(0, V(0.3, 0.3))
for i = 0, mesh:CountPoints() - 1 do
    near(mesh:Point(i).fPos.x, before[i][1], "restored x " .. i)
    near(mesh:Point(i).fPos.y, before[i][2], "restored y " .. i)
end
mesh:SelectInverse()
eq(mesh:Point(0).fSelected, false, "inverted")
local lo, hi = V(0, 0), V(0, 0)
mesh:SelectedBounds(lo, hi)
eq(lo.x, 1000000, "no selection: min")
eq(hi.x, -1000000, "no selection: max")
eq(mesh:SelectedCenter().x, 0, "no selection: centre")
eq(mesh:ClosestPoint(V(5000, 0)), -1, "nothing near")
eq(mesh:ClosestPoint(V(2, 0)), 4, "nearest point")

-- Groups: quotes leave the name; SelectGroup compares exactly, DeleteGroup without quotes.
mesh:SelectNone()
mesh:Point(1).fSelected = true
mesh:AddGroup('arm "left"')
eq(mesh:CountGroups(), 1, "group added")
eq(mesh:Group(0):Name(), "arm left", "quotes removed")
eq(mesh:Group(0):CountPoints(), 1, "group points")
eq(mesh:Group(0):Point(0), mesh:Point(1), "group point")
eq(mesh:GroupID(mesh:Group(0)), 0, "GroupID")
mesh:SelectNone()
mesh:SelectGroup('arm "left"')
eq(mesh:Point(1).fSelected, false, "the quoted name finds nothing")
mesh:SelectGroup("arm left")
eq(mesh:Point(1).fSelected, true, "the plain name selects")
mesh:SelectGroup(nil)
mesh:DeleteGroup('arm "left"')
eq(mesh:CountGroups(), 0, "DeleteGroup with the quoted name")

-- Welding and deleting.
eq(mesh:WeldPoints(0, 99, 0), false, "weld out of range")
eq(mesh:ArePointsAdjacent(0, 1), false, "0 and 1 are no neighbours now")
local count = mesh:CountPoints()
mesh:DeletePoint(4)
eq(mesh:CountPoints(), count - 1, "DeletePoint")
mesh:Clear()
eq(mesh:CountPoints() + mesh:CountCurves(), 0, "Clear")
