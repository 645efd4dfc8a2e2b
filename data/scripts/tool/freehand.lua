-- Draws a curve along the pointer's path; by the options it closes into a filled, outlined
-- shape of the new-shape style.
QV_Freehand = {}
ScriptName = "QV_Freehand"

CelUtil.DefineInfo(QV_Freehand, "Freehand", "Drag to draw a curve", "f")
CelUtil.DefineOptions(QV_Freehand, "QV_Freehand", {
    { name = "close", label = "Close", default = true },
    { name = "fill", label = "Fill", default = true },
    { name = "outline", label = "Outline", default = true },
})

-- Screen pixels between the points the drag leaves.
local kSpacing = 8

function QV_Freehand:IsEnabled(si)
    return CelUtil.MeshToolEnabled(si, true)
end

function QV_Freehand:OnMouseDown(si, mouse)
    self.path = { CelUtil.Copy(mouse.vec) }
    self.screen = { { mouse.pt.x, mouse.pt.y } }
end

function QV_Freehand:OnMouseMoved(si, mouse)
    if self.path == nil then
        return
    end
    local last = self.path[#self.path]
    if CelUtil.Distance(last, mouse.vec) >= CelUtil.PixelsToLayer(si, mouse, kSpacing) then
        self.path[#self.path + 1] = CelUtil.Copy(mouse.vec)
        self.screen[#self.screen + 1] = { mouse.pt.x, mouse.pt.y }
        CelUtil.Redraw(mouse)
    end
end

function QV_Freehand:OnMouseUp(si, mouse)
    local mesh = si:Mesh()
    local path = self.path
    self.path = nil
    if mesh == nil or path == nil then
        return
    end
    local last = path[#path]
    if CelUtil.Distance(last, mouse.vec) > 0 then
        path[#path + 1] = CelUtil.Copy(mouse.vec)
    end
    if #path < 2 then
        return
    end
    local closed = self.close and #path >= 3
    CelUtil.BeginEdit(si)
    CelUtil.BuildCurve(si, mesh, path, closed, self.fill, self.outline)
    CelUtil.Redraw(mouse)
end

-- The path so far as a chain of markers on the screen.
function QV_Freehand:DrawMe(si, view)
    if self.path == nil then
        return
    end
    local g = view:Graphics()
    for _, p in ipairs(self.screen) do
        local rect = QV.Rect:new_local()
        rect.left, rect.top, rect.right, rect.bottom = p[1] - 1, p[2] - 1, p[1] + 1, p[2] + 1
        g:SelectionRect(rect, true)
    end
end
