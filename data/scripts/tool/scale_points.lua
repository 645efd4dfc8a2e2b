-- Scales the selected points about their centre: away from the centre grows, towards it
-- shrinks. Shift scales the two axes apart.
QV_ScalePoints = {}
ScriptName = "QV_ScalePoints"

CelUtil.DefineInfo(QV_ScalePoints, "Scale Points",
    "Drag away from or towards the selection's centre to scale it (Shift: each axis apart)", "c")

function QV_ScalePoints:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, false)
end

QV_ScalePoints.OnMouseDown = CelUtil.TransformOnMouseDown

-- The factor that takes the start's offset from the centre to the current one.
local function Ratio(now, start)
    if math.abs(start) < 1e-6 then
        return 1
    end
    return now / start
end

function QV_ScalePoints:OnMouseMoved(si, mouse)
    local mesh = CelUtil.DraggedMesh(self, si)
    if mesh == nil then
        return
    end
    local c = self.center
    local sx, sy
    if mouse.shiftKey then
        sx = Ratio(mouse.vec.x - c.x, mouse.startVec.x - c.x)
        sy = Ratio(mouse.vec.y - c.y, mouse.startVec.y - c.y)
    else
        sx = Ratio(CelUtil.Distance(mouse.vec, c), CelUtil.Distance(mouse.startVec, c))
        sy = sx
    end
    mesh:ScalePoints(sx, sy, c)
    CelUtil.Redraw(mouse)
end

QV_ScalePoints.OnMouseUp = CelUtil.EndPointDrag
