-- Rotates the selected points about their centre by the angle the pointer turns through
-- around it; Shift turns in steps of 15 degrees.
QV_RotatePoints = {}
ScriptName = "QV_RotatePoints"

CelUtil.DefineInfo(QV_RotatePoints, "Rotate Points",
    "Drag around the selection's centre to rotate it (Shift: steps of 15 degrees)", "y")

function QV_RotatePoints:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, false)
end

QV_RotatePoints.OnMouseDown = CelUtil.TransformOnMouseDown

function QV_RotatePoints:OnMouseMoved(si, mouse)
    local mesh = CelUtil.DraggedMesh(self, si)
    if mesh == nil then
        return
    end
    local c = self.center
    local angle = math.atan2(mouse.vec.y - c.y, mouse.vec.x - c.x)
        - math.atan2(mouse.startVec.y - c.y, mouse.startVec.x - c.x)
    if mouse.shiftKey then
        local step = math.rad(15)
        angle = math.floor(angle / step + 0.5) * step
    end
    mesh:RotatePoints(angle, c)
    CelUtil.Redraw(mouse)
end

QV_RotatePoints.OnMouseUp = CelUtil.EndPointDrag
