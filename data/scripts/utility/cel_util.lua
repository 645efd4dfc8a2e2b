-- Functions the tool and menu scripts share: vectors, picking in layer coordinates, point
-- selection, grid snapping, keying at the layer frame and the undo step of an edit.
-- Picking is done here rather than by the canvas so that a tool behaves the same on every
-- view, the headless one of the test harness included.
CelUtil = CelUtil or {}

-- Selection modes of a click or a box.
CelUtil.SELECT_SET = 0
CelUtil.SELECT_ADD = 1
CelUtil.SELECT_REMOVE = 2

-- How near, in screen pixels, the pointer must come to a point, an edge or an outline.
CelUtil.PICK_PIXELS = 5

-- A new vector owned by Lua.
function CelUtil.Vec(x, y)
    local v = QV.Vector2:new_local()
    v.x, v.y = x or 0, y or 0
    return v
end

function CelUtil.Copy(v)
    return CelUtil.Vec(v.x, v.y)
end

function CelUtil.Distance(a, b)
    local dx, dy = a.x - b.x, a.y - b.y
    return math.sqrt(dx * dx + dy * dy)
end

function CelUtil.Clamp(value, low, high)
    if value < low then
        return low
    end
    if value > high then
        return high
    end
    return value
end

-- The selection mode the modifier keys of a mouse event ask for: Shift adds, Ctrl removes.
function CelUtil.SelectionMode(mouse)
    if mouse.ctrlKey then
        return CelUtil.SELECT_REMOVE
    end
    if mouse.shiftKey then
        return CelUtil.SELECT_ADD
    end
    return CelUtil.SELECT_SET
end

-- ---------------------------------------------------------------------------------------------
-- Edits

-- Keeps the layer (default: the current one) as it is now, so that one Ctrl+Z gives it back;
-- call before changing it.
function CelUtil.PrepareUndo(si, layer)
    layer = layer or si.layer
    if si.document ~= nil and layer ~= nil then
        si.document:PrepUndo(layer)
    end
end

-- The document counts as modified.
function CelUtil.Modified(si)
    if si.document ~= nil then
        si.document:SetDirty()
    end
end

-- Call before changing the layer (default: the current one) when the change is sure to come:
-- one undo step, and the document counts as modified.
function CelUtil.BeginEdit(si, layer)
    CelUtil.PrepareUndo(si, layer)
    CelUtil.Modified(si)
end

-- The frame an edit of animated values keys: the layer frame, except at document frame 0,
-- which holds the rest values.
function CelUtil.KeyFrame(si)
    if si.frame == 0 then
        return 0
    end
    return si.layerFrame
end

-- Keys the selected points of the current mesh where they are now, at the layer frame (the
-- document frame plus the layer's timing offset).
function CelUtil.KeySelectedPoints(si)
    si:AddPointKeyframe(si.frame)
end

-- True when a tool that changes the mesh's structure may run now.
function CelUtil.DrawingAllowed(si)
    return not si:DisableDrawingTools()
end

-- True when the current layer is a vector layer with a mesh.
function CelUtil.HasMesh(si)
    return si:Mesh() ~= nil
end

-- A copy of the vector snapped to the grid when the grid is on.
function CelUtil.Snap(si, v)
    local snapped = CelUtil.Copy(v)
    if si.gridOn then
        si:SnapToGrid(snapped)
    end
    return snapped
end

-- The current layer's full transform at the current frame.
function CelUtil.LayerMatrix(si)
    local matrix = QV.Matrix:new_local()
    if si.layer ~= nil then
        si.layer:GetFullTransform(si.frame, matrix, si.document)
    end
    return matrix
end

-- How long `pixels` screen pixels are in the current layer's coordinates near the mouse.
function CelUtil.PixelsToLayer(si, mouse, pixels)
    local view = mouse.view or si.view
    if view ~= nil then
        local matrix = CelUtil.LayerMatrix(si)
        local a = QV.Point:new_local()
        a:Set(mouse.pt.x, mouse.pt.y)
        local b = QV.Point:new_local()
        b:Set(mouse.pt.x + pixels, mouse.pt.y)
        local length = CelUtil.Distance(view:Point2Vec(a, matrix), view:Point2Vec(b, matrix))
        if length > 0 then
            return length
        end
    end
    return 2 * si:PixelToDoc(pixels)
end

-- ---------------------------------------------------------------------------------------------
-- Points and selection

-- The indices of the selected points of the mesh.
function CelUtil.SelectedPoints(mesh)
    local list = {}
    for i = 0, mesh:CountPoints() - 1 do
        if mesh:Point(i).fSelected then
            list[#list + 1] = i
        end
    end
    return list
end

-- Sets, adds or removes one point (-1: none) by the mode; SET with -1 clears the selection.
function CelUtil.SelectPoint(mesh, index, mode)
    if mode == CelUtil.SELECT_SET then
        mesh:SelectNone()
    end
    if index >= 0 then
        mesh:Point(index).fSelected = mode ~= CelUtil.SELECT_REMOVE
    end
end

-- The point under the mouse, selected first when it is not yet (Shift adds it to the
-- selection); -1 when there is none.
function CelUtil.PickAndSelect(si, mesh, mouse)
    local picked = CelUtil.PickPoint(si, mesh, mouse)
    if picked >= 0 and not mesh:Point(picked).fSelected then
        CelUtil.SelectPoint(mesh, picked, mouse.shiftKey and CelUtil.SELECT_ADD or CelUtil.SELECT_SET)
    end
    return picked
end

-- Sets, adds or removes the points lying in the box between the two corners (layer
-- coordinates); the number of points in the box.
function CelUtil.SelectPointsInBox(mesh, a, b, mode)
    local left, right = math.min(a.x, b.x), math.max(a.x, b.x)
    local bottom, top = math.min(a.y, b.y), math.max(a.y, b.y)
    local found = 0
    for i = 0, mesh:CountPoints() - 1 do
        local point = mesh:Point(i)
        local inside = point.fPos.x >= left and point.fPos.x <= right and point.fPos.y >= bottom
            and point.fPos.y <= top
        if inside then
            found = found + 1
            point.fSelected = mode ~= CelUtil.SELECT_REMOVE
        elseif mode == CelUtil.SELECT_SET then
            point.fSelected = false
        end
    end
    return found
end

-- The point under the mouse, or -1.
function CelUtil.PickPoint(si, mesh, mouse)
    local tolerance = CelUtil.PixelsToLayer(si, mouse, CelUtil.PICK_PIXELS)
    local best, bestDistance = -1, tolerance
    for i = 0, mesh:CountPoints() - 1 do
        local distance = CelUtil.Distance(mesh:Point(i).fPos, mouse.vec)
        if distance <= bestDistance then
            best, bestDistance = i, distance
        end
    end
    return best
end

-- The edge under the mouse: curve, segment and the nearest position on it; -1, -1 for none.
function CelUtil.PickEdge(si, mesh, mouse)
    local tolerance = CelUtil.PixelsToLayer(si, mouse, CelUtil.PICK_PIXELS)
    local bestCurve, bestSegment, bestPos, bestDistance = -1, -1, nil, tolerance
    for c = 0, mesh:CountCurves() - 1 do
        local curve = mesh:Curve(c)
        for s = 0, curve:CountSegments() - 1 do
            local near = curve:ClosestPointOnSegment(s, mouse.vec)
            if near ~= nil then
                local distance = CelUtil.Distance(near, mouse.vec)
                if distance <= bestDistance then
                    bestCurve, bestSegment, bestPos, bestDistance = c, s, CelUtil.Copy(near), distance
                end
            end
        end
    end
    return bestCurve, bestSegment, bestPos
end

-- The edge under the mouse on the current mesh: the mesh, the curve and the segment; nil when
-- there is no mesh or no edge there.
function CelUtil.EdgeUnderMouse(si, mouse)
    local mesh = si:Mesh()
    if mesh == nil then
        return nil
    end
    local curve, segment = CelUtil.PickEdge(si, mesh, mouse)
    if curve < 0 then
        return nil
    end
    return mesh, curve, segment
end

-- Samples per edge when a shape's outline is followed; enough for the curvature of a
-- hand-drawn edge at the distances a click cares about.
local kEdgeSamples = 12

-- True when the position lies inside the shape's outline (even-odd rule over its edges).
function CelUtil.ShapeContains(mesh, shape, pos)
    local inside = false
    for e = 0, shape:CountEdges() - 1 do
        local c, s = shape:GetEdge(e, 0, 0)
        local curve = mesh:Curve(c)
        if curve ~= nil and s < curve:CountSegments() then
            local previous = curve:PointOnSegment(s, 0)
            for k = 1, kEdgeSamples do
                local current = curve:PointOnSegment(s, k / kEdgeSamples)
                if (previous.y > pos.y) ~= (current.y > pos.y) then
                    local x = previous.x + (pos.y - previous.y) * (current.x - previous.x) / (current.y - previous.y)
                    if pos.x < x then
                        inside = not inside
                    end
                end
                previous = current
            end
        end
    end
    return inside
end

-- The top-most visible shape under the mouse (inside a filled shape or on an outline), or -1.
function CelUtil.PickShape(si, mesh, mouse)
    local edgeCurve, edgeSegment = CelUtil.PickEdge(si, mesh, mouse)
    for i = mesh:CountShapes() - 1, 0, -1 do
        local shape = mesh:Shape(i)
        if not shape.fHidden then
            if shape.fHasFill and CelUtil.ShapeContains(mesh, shape, mouse.vec) then
                return i
            end
            if edgeCurve >= 0 then
                for e = 0, shape:CountEdges() - 1 do
                    local c, s = shape:GetEdge(e, 0, 0)
                    if c == edgeCurve and s == edgeSegment then
                        return i
                    end
                end
            end
        end
    end
    return -1
end

-- The shape under the mouse on the current mesh: the mesh and the shape's index; nil when
-- there is no mesh or no shape there.
function CelUtil.ShapeUnderMouse(si, mouse)
    local mesh = si:Mesh()
    if mesh == nil then
        return nil
    end
    local picked = CelUtil.PickShape(si, mesh, mouse)
    if picked < 0 then
        return nil
    end
    return mesh, picked
end

-- The selected end point of an open curve when exactly one point is selected, else -1.
function CelUtil.SelectedCurveEnd(mesh)
    local selected = CelUtil.SelectedPoints(mesh)
    if #selected ~= 1 then
        return -1
    end
    local point = mesh:Point(selected[1])
    if point:CountCurves() == 1 and point:IsEndpoint() then
        return selected[1]
    end
    return -1
end

-- Welds the one selected point onto the nearest other point within the pick distance; true
-- when it did.
function CelUtil.WeldSelected(si, mesh, mouse)
    local selected = CelUtil.SelectedPoints(mesh)
    if #selected ~= 1 then
        return false
    end
    local point = mesh:Point(selected[1])
    local target = mesh:ClosestPoint(point.fPos, selected[1])
    if target < 0 then
        return false
    end
    local tolerance = CelUtil.PixelsToLayer(si, mouse, CelUtil.PICK_PIXELS)
    if CelUtil.Distance(mesh:Point(target).fPos, point.fPos) > tolerance then
        return false
    end
    return mesh:WeldPoints(selected[1], target, si.layerFrame)
end

-- The point selection of a click or a box drag, as methods any tool can take over: a click on
-- a point selects it, a drag elsewhere selects the box; Shift adds, Ctrl removes.
function CelUtil.SelectOnMouseDown(self, si, mouse)
    local mesh = si:Mesh()
    if mesh == nil then
        return
    end
    self.mode = CelUtil.SelectionMode(mouse)
    local picked = CelUtil.PickPoint(si, mesh, mouse)
    self.boxing = picked < 0
    if picked >= 0 then
        CelUtil.SelectPoint(mesh, picked, self.mode)
    end
    self.startPt = QV.Point:new_local()
    self.startPt:Set(mouse.pt.x, mouse.pt.y)
    self.pt = QV.Point:new_local()
    self.pt:Set(mouse.pt.x, mouse.pt.y)
    CelUtil.Redraw(mouse)
end

function CelUtil.SelectOnMouseMoved(self, si, mouse)
    if self.boxing then
        self.pt:Set(mouse.pt.x, mouse.pt.y)
        CelUtil.Redraw(mouse)
    end
end

function CelUtil.SelectOnMouseUp(self, si, mouse)
    local mesh = si:Mesh()
    if mesh ~= nil and self.boxing then
        CelUtil.SelectPointsInBox(mesh, mouse.startVec, mouse.vec, self.mode)
    end
    self.boxing = false
    CelUtil.Redraw(mouse)
end

function CelUtil.SelectOnKeyDown(self, si, key)
    local mesh = si:Mesh()
    if mesh == nil then
        return
    end
    if key.keyCode == QV.GUI.KEY_ESCAPE then
        mesh:SelectNone()
    elseif key.ctrlKey and (key.keyCode == string.byte("a") or key.keyCode == string.byte("A")) then
        mesh:SelectAll()
    end
end

function CelUtil.SelectDrawMe(self, si, view)
    if self.boxing then
        CelUtil.DrawBox(view, self.startPt, self.pt)
    end
end

-- ---------------------------------------------------------------------------------------------
-- Dragging the selected points: the tools keep `self.moving` true from the press that starts
-- a drag to its release.

-- The mesh whose points are being dragged, or nil when no drag is on.
function CelUtil.DraggedMesh(self, si)
    if not self.moving then
        return nil
    end
    return si:Mesh()
end

-- A press that starts turning or scaling the selected points about their centre.
function CelUtil.TransformOnMouseDown(self, si, mouse)
    local mesh = si:Mesh()
    self.moving = false
    if mesh == nil or si:CountSelectedPoints(true) == 0 then
        return
    end
    self.center = mesh:SelectedCenter()
    CelUtil.BeginEdit(si)
    mesh:PrepMovePoints()
    self.moving = true
end

-- How far the drag moves the points: the pointer's travel, with the grid snapping where the
-- `anchor` point lands, or the travel itself when there is no anchor.
function CelUtil.DragOffset(si, mouse, anchor)
    local offset = CelUtil.Vec(mouse.vec.x - mouse.startVec.x, mouse.vec.y - mouse.startVec.y)
    if anchor == nil then
        return CelUtil.Snap(si, offset)
    end
    local target = CelUtil.Snap(si, CelUtil.Vec(anchor.x + offset.x, anchor.y + offset.y))
    return CelUtil.Vec(target.x - anchor.x, target.y - anchor.y)
end

-- The release that ends a drag: keys the selected points where they are now and, when `weld`
-- is true, welds the one selected point onto a point it was dropped on.
function CelUtil.EndPointDrag(self, si, mouse, weld)
    local mesh = CelUtil.DraggedMesh(self, si)
    if mesh == nil then
        return
    end
    self.moving = false
    CelUtil.KeySelectedPoints(si)
    if weld then
        CelUtil.WeldSelected(si, mesh, mouse)
    end
    CelUtil.Redraw(mouse)
end

-- ---------------------------------------------------------------------------------------------
-- Shapes

-- The two corners of the drag, snapped, with Shift making the sides equal.
function CelUtil.DragCorners(si, mouse)
    local a = CelUtil.Snap(si, mouse.startVec)
    local b = CelUtil.Snap(si, mouse.vec)
    if mouse.shiftKey then
        local side = math.max(math.abs(b.x - a.x), math.abs(b.y - a.y))
        b.x = a.x + (b.x >= a.x and side or -side)
        b.y = a.y + (b.y >= a.y and side or -side)
    end
    return a, b
end

-- Makes a curve through the positions (closed when asked), selects exactly its points and,
-- by the options, a filled and/or outlined shape of it. The shape's index, or -1.
function CelUtil.BuildCurve(si, mesh, positions, closed, fill, outline)
    if #positions < 2 then
        return -1
    end
    mesh:SelectNone()
    local first = mesh:CountPoints()
    mesh:AddLonePoint(positions[1], si.layerFrame)
    for i = 2, #positions do
        mesh:AppendPoint(positions[i], si.layerFrame)
    end
    mesh:Curve(mesh:CountCurves() - 1).fClosed = closed
    mesh:SelectNone()
    for i = first, mesh:CountPoints() - 1 do
        mesh:Point(i).fSelected = true
    end
    if not fill and not outline then
        return -1
    end
    local shape = si:CreateShape(fill and closed, -1000000, false)
    if shape >= 0 then
        mesh:Shape(shape).fHasOutline = outline
    end
    return shape
end

-- Makes the tool table one that draws a closed shape in the box of a drag (Shift: equal
-- sides), filled and outlined by its options. `Outline(a, b)` gives the shape's points from
-- the box's corners; every point gets the curvature `curvature`.
function CelUtil.DefineBoxTool(tool, prefix, curvature, Outline)
    CelUtil.DefineOptions(tool, prefix, {
        { name = "fill", label = "Fill", default = true },
        { name = "outline", label = "Outline", default = true },
    })

    function tool:IsEnabled(si)
        return CelUtil.MeshToolEnabled(si, true)
    end

    function tool:OnMouseDown(si, mouse)
        self.dragging = si:Mesh() ~= nil
        self.startPt = QV.Point:new_local()
        self.startPt:Set(mouse.pt.x, mouse.pt.y)
        self.pt = QV.Point:new_local()
        self.pt:Set(mouse.pt.x, mouse.pt.y)
    end

    function tool:OnMouseMoved(si, mouse)
        if self.dragging then
            self.pt:Set(mouse.pt.x, mouse.pt.y)
            CelUtil.Redraw(mouse)
        end
    end

    function tool:OnMouseUp(si, mouse)
        local mesh = si:Mesh()
        local dragging = self.dragging
        self.dragging = false
        if not dragging or mesh == nil then
            return
        end
        local a, b = CelUtil.DragCorners(si, mouse)
        if a.x == b.x or a.y == b.y then
            CelUtil.Redraw(mouse)
            return
        end
        local points = Outline(a, b)
        CelUtil.BeginEdit(si)
        CelUtil.BuildCurve(si, mesh, points, true, self.fill, self.outline)
        local curve = mesh:Curve(mesh:CountCurves() - 1)
        for i = 0, #points - 1 do
            curve:SetCurvature(i, curvature, si.layerFrame)
        end
        CelUtil.Redraw(mouse)
    end

    function tool:DrawMe(si, view)
        if self.dragging then
            CelUtil.DrawBox(view, self.startPt, self.pt)
        end
    end
end

-- Remembered by the eyedropper for the paint bucket when no Style panel holds the style.
CelUtil.pickedStyle = CelUtil.pickedStyle or nil

function CelUtil.RememberStyle(si, shape)
    local style = shape.fMyStyle
    CelUtil.pickedStyle = {
        fill = style.fFillCol:GetValue(si.layerFrame):AsColorStruct(),
        line = style.fLineCol:GetValue(si.layerFrame):AsColorStruct(),
        width = style.fLineWidth,
        hasFill = shape.fHasFill,
        hasOutline = shape.fHasOutline,
    }
end

-- Gives the shape the style of the Style panel, or the one the eyedropper remembered when
-- there is no panel. True when the shape changed.
function CelUtil.ApplyStyle(si, shape)
    if si:NewShapeProperties() ~= nil then
        si:PushStyleProperties(shape)
        return true
    end
    local picked = CelUtil.pickedStyle
    if picked == nil then
        return false
    end
    local style = shape.fMyStyle
    style.fFillCol:SetValue(si.layerFrame, picked.fill)
    style.fLineCol:SetValue(si.layerFrame, picked.line)
    style.fLineWidth = picked.width
    shape.fHasFill = picked.hasFill and shape.fFillAllowed
    shape.fHasOutline = picked.hasOutline
    return true
end

-- ---------------------------------------------------------------------------------------------
-- Overlays

-- The dotted box between the mouse's start and current screen points.
function CelUtil.DrawBox(view, startPt, pt)
    local rect = QV.Rect:new_local()
    rect.left, rect.top = startPt.x, startPt.y
    rect.right, rect.bottom = pt.x, pt.y
    rect:Normalize()
    view:Graphics():SelectionRect(rect)
end

-- ---------------------------------------------------------------------------------------------
-- Options

-- Gives a tool table its options bar and its preferences from a list of options:
--   { name = "fill", label = "Fill", default = true }                       a check box
--   { name = "mode", labels = { "Fill", "Line" }, default = 1 }             radio buttons
--   { button = "Create", action = function(tool, si, view) ... end }        a button
-- The options live in the tool table under their names; the messages are MSG_BASE + 1, + 2...
-- in the order of the widgets. The handlers never read the widgets back: a check box's message
-- toggles the value, a radio button's message chooses its entry, so the values stay right
-- whether or not the widgets still exist.
function CelUtil.DefineOptions(tool, prefix, options)
    tool.celOptions = options
    local handlers = {}
    local id = 0
    for _, option in ipairs(options) do
        if option.labels then
            option.ids = {}
            for k = 1, #option.labels do
                id = id + 1
                option.ids[k] = id
                handlers[id] = function(self) self[option.name] = k end
            end
        else
            id = id + 1
            option.id = id
            if option.button then
                handlers[id] = function(self, si, view) option.action(self, si, view) end
            else
                handlers[id] = function(self) self[option.name] = not self[option.name] end
            end
        end
    end

    local function key(option)
        return prefix .. "." .. option.name
    end

    function tool:ResetPrefs()
        for _, option in ipairs(options) do
            if option.name then
                self[option.name] = option.default
            end
        end
    end

    function tool:LoadPrefs(prefs)
        for _, option in ipairs(options) do
            if option.labels then
                self[option.name] = CelUtil.Clamp(prefs:GetInt(key(option), option.default), 1, #option.labels)
            elseif option.name then
                self[option.name] = prefs:GetBool(key(option), option.default)
            end
        end
    end

    function tool:SavePrefs(prefs)
        for _, option in ipairs(options) do
            if option.labels then
                prefs:SetInt(key(option), self[option.name])
            elseif option.name then
                prefs:SetBool(key(option), self[option.name])
            end
        end
    end

    function tool:DoLayout(si, layout)
        self.celWidgets = {}
        layout:PushH(0)
        for _, option in ipairs(options) do
            if option.labels then
                for k, label in ipairs(option.labels) do
                    local radio = QV.GUI.RadioButton(label, VORN.MSG_BASE + option.ids[k])
                    self.celWidgets[#self.celWidgets + 1] = { radio, option, k }
                    layout:AddChild(radio)
                end
            elseif option.button then
                layout:AddChild(QV.GUI.Button(option.button, VORN.MSG_BASE + option.id))
            else
                local check = QV.GUI.CheckBox(option.label, VORN.MSG_BASE + option.id)
                self.celWidgets[#self.celWidgets + 1] = { check, option }
                layout:AddChild(check)
            end
        end
        layout:Pop()
    end

    function tool:UpdateWidgets(si)
        for _, entry in ipairs(self.celWidgets or {}) do
            local widget, option, k = entry[1], entry[2], entry[3]
            if k then
                widget:SetValue(self[option.name] == k)
            else
                widget:SetValue(self[option.name] and true or false)
            end
        end
    end

    function tool:HandleMessage(si, view, msg)
        local handler = handlers[msg - VORN.MSG_BASE]
        if handler then
            handler(self, si, view)
        end
    end

    tool:ResetPrefs()
end

-- ---------------------------------------------------------------------------------------------
-- Tool texts

-- The information methods of a tool: its name, its status bar description and its tooltip
-- with the shortcut letter.
function CelUtil.DefineInfo(tool, name, description, letter)
    function tool:Name() return name end
    function tool:Version() return "1.0" end
    function tool:Description() return description end
    function tool:Creator() return "Celvane" end
    function tool:UILabel() return name .. " (" .. string.upper(letter) .. ")" end
end

-- IsEnabled for tools that edit the current vector layer; structural ones also stop while
-- drawing tools are kept to frame 0.
function CelUtil.MeshToolEnabled(si, structural)
    if si:Mesh() == nil then
        return false
    end
    return not structural or CelUtil.DrawingAllowed(si)
end

-- Makes the tool table one that hands its drags to a binding of the canvas view itself, which
-- changes the view and not the document: `kind` "Pan" calls the view's PanDown, PanMoved and
-- PanUp with the mouse's screen point.
function CelUtil.DefineViewDrag(tool, kind)
    local steps = { OnMouseDown = "Down", OnMouseMoved = "Moved", OnMouseUp = "Up" }
    for callback, step in pairs(steps) do
        local method = kind .. step
        tool[callback] = function(self, si, mouse)
            if mouse.view ~= nil then
                mouse.view[method](mouse.view, mouse.pt)
            end
        end
    end
end

-- Redraws the view the mouse is on: the canvas redraws only the other views after a drag.
function CelUtil.Redraw(mouse)
    if mouse ~= nil and mouse.view ~= nil then
        mouse.view:DrawMe()
    end
end
