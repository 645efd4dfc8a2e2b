-- Draws an oval in the box between the press and the release (Shift: a circle), by the
-- options a filled and outlined shape of the new-shape style.
QV_Oval = {}
ScriptName = "QV_Oval"

-- Points around the oval: eight smooth points keep it round at any size.
local kPoints = 8

CelUtil.DefineInfo(QV_Oval, "Oval", "Drag to draw an oval (Shift: a circle)", "o")
CelUtil.DefineBoxTool(QV_Oval, "QV_Oval", VORN.SMOOTH, function(a, b)
    local cx, cy = (a.x + b.x) / 2, (a.y + b.y) / 2
    local rx, ry = math.abs(b.x - a.x) / 2, math.abs(b.y - a.y) / 2
    local points = {}
    for i = 0, kPoints - 1 do
        local angle = 2 * math.pi * i / kPoints
        points[#points + 1] = CelUtil.Vec(cx + rx * math.cos(angle), cy + ry * math.sin(angle))
    end
    return points
end)
