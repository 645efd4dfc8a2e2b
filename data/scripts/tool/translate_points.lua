-- Moves the selected points; pressing on an unselected point selects it first (Shift adds it).
-- A point dropped onto another welds to it when the option is on.
QV_TranslatePoints = {}
ScriptName = "QV_TranslatePoints"

CelUtil.DefineInfo(QV_TranslatePoints, "Translate Points",
    "Drag to move the selected points (Shift adds the point under the mouse)", "t")
CelUtil.DefineOptions(QV_TranslatePoints, "QV_TranslatePoints", {
    { name = "weld", label = "Auto-weld", default = true },
})

function QV_TranslatePoints:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, false)
end

function QV_TranslatePoints:OnMouseDown(si, mouse)
    local mesh = si:Mesh()
    self.moving = false
    if mesh == nil then
        return
    end
    local picked = CelUtil.PickAndSelect(si, mesh, mouse)
    if si:CountSelectedPoints(true) == 0 then
        return
    end
    -- The grid snaps the pressed point, or the offset when no point was pressed.
    self.anchor = picked >= 0 and CelUtil.Copy(mesh:Point(picked).fPos) or nil
    CelUtil.BeginEdit(si)
    mesh:PrepMovePoints()
    self.moving = true
end

function QV_TranslatePoints:OnMouseMoved(si, mouse)
    local mesh = CelUtil.DraggedMesh(self, si)
    if mesh == nil then
        return
    end
    mesh:TranslatePoints(CelUtil.DragOffset(si, mouse, self.anchor))
    CelUtil.Redraw(mouse)
end

function QV_TranslatePoints:OnMouseUp(si, mouse)
    CelUtil.EndPointDrag(self, si, mouse, self.weld and CelUtil.DrawingAllowed(si))
end

function QV_TranslatePoints:OnKeyDown(si, key)
    local mesh = si:Mesh()
    if mesh == nil then
        return
    end
    -- Arrow keys nudge the selection by one pixel, ten with Shift.
    local steps = { [QV.GUI.KEY_LEFT] = { -1, 0 }, [QV.GUI.KEY_RIGHT] = { 1, 0 },
        [QV.GUI.KEY_UP] = { 0, 1 }, [QV.GUI.KEY_DOWN] = { 0, -1 } }
    local step = steps[key.keyCode]
    if step == nil or si:CountSelectedPoints(true) == 0 then
        return
    end
    local pixel = 2 * si:PixelToDoc(key.shiftKey and 10 or 1)
    CelUtil.BeginEdit(si)
    mesh:PrepMovePoints()
    mesh:TranslatePoints(CelUtil.Vec(step[1] * pixel, step[2] * pixel))
    CelUtil.KeySelectedPoints(si)
end
