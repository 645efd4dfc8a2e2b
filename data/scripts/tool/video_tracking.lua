-- Places tracking points on a movie layer: a click on the picture adds one, a drag moves the
-- point under the pointer (keyed at the layer frame), Delete removes the selected points, and
-- Track (or Return) starts tracking them from the current frame.
QV_VideoTracking = {}
ScriptName = "QV_VideoTracking"

local TRACK = VORN.MSG_BASE + 1
local SEARCH = VORN.MSG_BASE + 2
local COMPARE = VORN.MSG_BASE + 3

CelUtil.DefineInfo(QV_VideoTracking, "Video Tracking",
    "Click a movie to add a tracking point, drag one to move it, then Track follows the "
        .. "selected points.", "v")

QV_VideoTracking.searchRadius = 16
QV_VideoTracking.compareRadius = 6

function QV_VideoTracking:LoadPrefs(prefs)
    self.searchRadius = prefs:GetInt("QV_VideoTracking.searchRadius", 16)
    self.compareRadius = prefs:GetInt("QV_VideoTracking.compareRadius", 6)
end

function QV_VideoTracking:SavePrefs(prefs)
    prefs:SetInt("QV_VideoTracking.searchRadius", self.searchRadius)
    prefs:SetInt("QV_VideoTracking.compareRadius", self.compareRadius)
end

function QV_VideoTracking:ResetPrefs()
    self.searchRadius = 16
    self.compareRadius = 6
end

local function ImageLayerOf(si)
    if si.layer == nil or si.layer:LayerType() ~= VORN.LT_IMAGE then
        return nil
    end
    return si:LayerAsImage(si.layer)
end

function QV_VideoTracking:IsEnabled(si)
    return ImageLayerOf(si) ~= nil
end

function QV_VideoTracking:DoLayout(si, layout)
    layout:AddChild(QV.GUI.Button("Track", TRACK))
    layout:AddChild(QV.GUI.StaticText("Search radius"))
    self.searchText = QV.GUI.TextControl(0, "0000", SEARCH, 1)
    layout:AddChild(self.searchText)
    layout:AddChild(QV.GUI.StaticText("Match radius"))
    self.compareText = QV.GUI.TextControl(0, "0000", COMPARE, 1)
    layout:AddChild(self.compareText)
end

function QV_VideoTracking:UpdateWidgets(si)
    if self.searchText ~= nil then
        self.searchText:SetValue(self.searchRadius)
        self.compareText:SetValue(self.compareRadius)
    end
end

-- Radii are whole pixels from 1 to 256.
local function Radius(control, fallback)
    local value = control and control:IntValue() or fallback
    return math.max(1, math.min(256, value))
end

function QV_VideoTracking:Track(si)
    local image = ImageLayerOf(si)
    if image == nil then
        return
    end
    CelUtil.PrepareUndo(si)
    for i = 0, image:CountTrackingPoints() - 1 do
        local point = image:GetTrackingPoint(i)
        if point.fSelected then
            image:StartTracking(point)
        end
    end
    CelUtil.Modified(si)
end

function QV_VideoTracking:HandleMessage(si, view, msg)
    if msg == TRACK then
        self:Track(si)
    elseif msg == SEARCH then
        self.searchRadius = Radius(self.searchText, self.searchRadius)
        self:UpdateWidgets(si)
    elseif msg == COMPARE then
        self.compareRadius = Radius(self.compareText, self.compareRadius)
        self:UpdateWidgets(si)
    end
end

-- The tracking point under a layer-space position, -1 when none.
local function PickTrackingPoint(image, frame, vec)
    local best, bestDistance = -1, CelRig.PICK_DISTANCE
    local place = QV.Vector2:new_local()
    for i = 0, image:CountTrackingPoints() - 1 do
        image:ImageToLayer(image:GetTrackingPoint(i).fAnimPos:GetValue(frame), place)
        local d = math.sqrt((place.x - vec.x) ^ 2 + (place.y - vec.y) ^ 2)
        if d <= bestDistance then
            best, bestDistance = i, d
        end
    end
    return best
end

local function SelectOnly(image, index)
    for i = 0, image:CountTrackingPoints() - 1 do
        image:GetTrackingPoint(i).fSelected = (i == index)
    end
end

function QV_VideoTracking:OnMouseDown(si, mouse)
    self.point = nil
    local image = ImageLayerOf(si)
    if image == nil then
        return
    end
    CelUtil.PrepareUndo(si)
    local index = PickTrackingPoint(image, si.layerFrame, mouse.vec)
    if index < 0 then
        local pos = QV.Vector2:new_local()
        image:LayerToImage(mouse.vec, pos)
        local point = image:AddTrackingPoint(pos, si.frame)
        if point == nil then
            return
        end
        point.fSearchRadius = self.searchRadius
        point.fCompareRadius = self.compareRadius
        index = image:CountTrackingPoints() - 1
        SelectOnly(image, index)
        CelUtil.Modified(si)
    else
        local point = image:GetTrackingPoint(index)
        if mouse.shiftKey then
            point.fSelected = true
        elseif not point.fSelected then
            SelectOnly(image, index)
        end
        self.point = index
    end
    CelUtil.Redraw(mouse)
end

function QV_VideoTracking:OnMouseMoved(si, mouse)
    local image = ImageLayerOf(si)
    if image == nil or self.point == nil then
        return
    end
    local point = image:GetTrackingPoint(self.point)
    if point == nil then
        return
    end
    local pos = QV.Vector2:new_local()
    image:LayerToImage(mouse.vec, pos)
    point.fAnimPos:SetValue(si.layerFrame, pos)
    CelUtil.Modified(si)
    CelUtil.Redraw(mouse)
end

function QV_VideoTracking:OnMouseUp(si, mouse)
    if self.point ~= nil and (mouse.vec.x ~= mouse.startVec.x or mouse.vec.y ~= mouse.startVec.y) then
        self:OnMouseMoved(si, mouse)
    end
    self.point = nil
end

function QV_VideoTracking:OnKeyDown(si, key)
    local image = ImageLayerOf(si)
    if image == nil then
        return
    end
    if key.keyCode == QV.GUI.KEY_DELETE or key.keyCode == QV.GUI.KEY_BACKSPACE then
        CelUtil.PrepareUndo(si)
        image:DeleteSelectedTrackingPoints()
        CelUtil.Modified(si)
        CelUtil.Redraw(key)
    elseif key.keyCode == QV.GUI.KEY_RETURN then
        self:Track(si)
    end
end

-- Rings around the tracking points, filled for the selected ones.
function QV_VideoTracking:DrawMe(si, view)
    local image = ImageLayerOf(si)
    if image == nil or view == nil then
        return
    end
    local g = view:Graphics()
    local m = QV.Matrix:new_local()
    image:GetFullTransform(si.layerFrame, m, si.document)
    local place = QV.Vector2:new_local()
    for i = 0, image:CountTrackingPoints() - 1 do
        local point = image:GetTrackingPoint(i)
        image:ImageToLayer(point.fAnimPos:GetValue(si.layerFrame), place)
        m:Transform(place)
        g:SetColor(140, 190, 140, 255)
        if point.fSelected then
            g:FillCircle(place, 0.015)
        else
            g:FrameCircle(place, 0.015)
        end
    end
end
