-- Selects points: a click picks one point, a drag selects the points in its box; Shift adds
-- to the selection, Ctrl removes from it.
QV_SelectPoints = {}
ScriptName = "QV_SelectPoints"

CelUtil.DefineInfo(QV_SelectPoints, "Select Points",
    "Click a point or drag a box to select points (Shift adds, Ctrl removes)", "s")

function QV_SelectPoints:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, false)
end

QV_SelectPoints.OnMouseDown = CelUtil.SelectOnMouseDown
QV_SelectPoints.OnMouseMoved = CelUtil.SelectOnMouseMoved
QV_SelectPoints.OnMouseUp = CelUtil.SelectOnMouseUp
QV_SelectPoints.OnKeyDown = CelUtil.SelectOnKeyDown
QV_SelectPoints.DrawMe = CelUtil.SelectDrawMe
