-- Draws a rectangle between the press and the release (Shift: a square), by the options a
-- filled and outlined shape of the new-shape style.
QV_Rectangle = {}
ScriptName = "QV_Rectangle"

CelUtil.DefineInfo(QV_Rectangle, "Rectangle", "Drag to draw a rectangle (Shift: a square)", "r")
CelUtil.DefineBoxTool(QV_Rectangle, "QV_Rectangle", VORN.PEAKED, function(a, b)
    return { CelUtil.Vec(a.x, a.y), CelUtil.Vec(b.x, a.y), CelUtil.Vec(b.x, b.y), CelUtil.Vec(a.x, b.y) }
end)
