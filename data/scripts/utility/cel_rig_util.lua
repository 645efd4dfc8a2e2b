-- Helpers of the bone and layer tools: bones in layer space, picking and keying; vectors,
-- undo and redraws are CelUtil's. Points are in the coordinates of the layer that holds the
-- skeleton (or of the layer that is being moved, for the layer tools).
CelRig = {}
ScriptName = "CelRig"

-- How near (document units) the pointer must come to a bone or a tracking point to take it.
CelRig.PICK_DISTANCE = 0.08

local function Transformed(matrix, x, y)
    local v = CelUtil.Vec(x, y)
    matrix:Transform(v)
    return v
end

-- Where a bone starts and ends in its current pose.
function CelRig.BoneBase(bone)
    return Transformed(bone.fMovedMatrix, 0, 0)
end

function CelRig.BoneTip(bone)
    return Transformed(bone.fMovedMatrix, bone.fLength, 0)
end

-- The direction (radians) a bone points in, in layer space.
function CelRig.BoneDirection(bone)
    local base, ahead = CelRig.BoneBase(bone), Transformed(bone.fMovedMatrix, 1, 0)
    return math.atan2(ahead.y - base.y, ahead.x - base.x)
end

-- A point of layer space in the frame its bone's fPos is measured in: the parent bone's
-- moved frame (its stretch included), or layer space itself for a root bone.
function CelRig.ToParentFrame(skel, bone, point)
    local parent = skel:Bone(bone.fParent)
    if bone.fParent < 0 or parent == nil then
        return CelUtil.Copy(point)
    end
    local m = QV.Matrix:new_local()
    m:Set(parent.fMovedMatrix)
    m:Invert()
    return Transformed(m, point.x, point.y)
end

-- The direction of the frame a bone's fAngle is measured from.
function CelRig.ParentDirection(skel, bone)
    local parent = skel:Bone(bone.fParent)
    if bone.fParent < 0 or parent == nil then
        return 0
    end
    return CelRig.BoneDirection(parent)
end

local function SegmentDistance(p, a, b)
    local dx, dy = b.x - a.x, b.y - a.y
    local len2 = dx * dx + dy * dy
    local t = 0
    if len2 > 0 then
        t = math.max(0, math.min(1, ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2))
    end
    local x, y = a.x + t * dx - p.x, a.y + t * dy - p.y
    return math.sqrt(x * x + y * y)
end

-- The bone whose current segment passes nearest the point, within the pick distance; -1 when
-- none does.
function CelRig.PickBone(skel, point, distance)
    if skel == nil then
        return -1
    end
    distance = distance or CelRig.PICK_DISTANCE
    local best, bestDistance = -1, distance
    for i = 0, skel:CountBones() - 1 do
        local bone = skel:Bone(i)
        if bone ~= nil then
            local d = SegmentDistance(point, CelRig.BoneBase(bone), CelRig.BoneTip(bone))
            if d <= bestDistance then
                best, bestDistance = i, d
            end
        end
    end
    return best
end

-- Whether the point lies nearer the bone's tip than its base.
function CelRig.NearTip(bone, point)
    local base, tip = CelRig.BoneBase(bone), CelRig.BoneTip(bone)
    local db = (point.x - base.x) ^ 2 + (point.y - base.y) ^ 2
    local dt = (point.x - tip.x) ^ 2 + (point.y - tip.y) ^ 2
    return dt < db
end

-- A click selects one bone; Shift adds it to the selection; a click on nothing clears it.
function CelRig.SelectBone(skel, id, add)
    if not add then
        skel:SelectNone()
    end
    local bone = skel:Bone(id)
    if bone ~= nil then
        bone.fSelected = true
    end
end

-- The selected bones, in id order.
function CelRig.SelectedBones(skel)
    local ids = {}
    for i = 0, skel:CountBones() - 1 do
        local bone = skel:Bone(i)
        if bone ~= nil and bone.fSelected then
            ids[#ids + 1] = i
        end
    end
    return ids
end

-- Keys a bone's current values at the edit frame.
function CelRig.KeyBoneAngle(si, bone)
    bone.fAnimAngle:SetValue(CelUtil.KeyFrame(si), bone.fAngle)
end

function CelRig.KeyBonePos(si, bone)
    bone.fAnimPos:SetValue(CelUtil.KeyFrame(si), bone.fPos)
end

function CelRig.KeyBoneScale(si, bone)
    bone.fAnimScale:SetValue(CelUtil.KeyFrame(si), bone.fScale)
end

-- Bone drags. A press takes the bone under the pointer (with `orSelected`, the selected bone
-- when none is there): it becomes the one selected bone and the tool's `id` until the
-- release. The skeleton and the bone; nil when there is no bone to take.
function CelRig.TakeBone(self, si, mouse, orSelected)
    self.id = nil
    local skel = si:Skeleton()
    if skel == nil then
        return nil
    end
    local id = CelRig.PickBone(skel, mouse.vec)
    if id < 0 and orSelected then
        id = skel:SelectedBoneID()
    end
    local bone = skel:Bone(id)
    if bone == nil then
        return nil
    end
    CelUtil.PrepareUndo(si)
    CelRig.SelectBone(skel, id, false)
    self.id = id
    return skel, bone
end

-- A press of a tool that works on the selected bones: the bone under the pointer, when it is
-- not selected yet, becomes the selection (or joins it, with `add`). The skeleton, or nil.
function CelRig.PressSelectedBones(si, mouse, add)
    local skel = si:Skeleton()
    if skel == nil then
        return nil
    end
    local id = CelRig.PickBone(skel, mouse.vec)
    local bone = skel:Bone(id)
    CelUtil.PrepareUndo(si)
    if bone ~= nil and not bone.fSelected then
        CelRig.SelectBone(skel, id, add)
    end
    return skel
end

-- The skeleton and the bone a drag took, or nil when no drag is on.
function CelRig.DraggedBone(self, si)
    local skel = si:Skeleton()
    local bone = skel and self.id and skel:Bone(self.id)
    if bone == nil then
        return nil
    end
    return skel, bone
end

-- After bones changed: the skeleton poses them, the document counts as modified and the view
-- the mouse is on redraws.
function CelRig.BonesChanged(si, skel, mouse)
    skel:UpdateBoneMatrix()
    CelUtil.Modified(si)
    CelUtil.Redraw(mouse)
end

-- The skeleton the bone tools edit: the current bone layer's, else the one the current layer
-- sits in.
function CelRig.Skeleton(si)
    local skel = si:Skeleton()
    if skel == nil then
        skel = si:ParentSkeleton()
    end
    return skel
end

-- The layer whose skeleton holds the current layer's bones (the current layer itself for a
-- bone layer), for undo.
function CelRig.SkeletonLayer(si)
    if si:Skeleton() ~= nil then
        return si.layer
    end
    if si.layer ~= nil then
        return si.layer:Parent()
    end
    return nil
end

-- A point of the current layer in its parent's space: where the skeleton above it lives.
function CelRig.ToParentSpace(si, layer, point)
    local m = QV.Matrix:new_local()
    layer:GetLayerTransform(si.layerFrame, m, si.document)
    return Transformed(m, point.x, point.y)
end

-- Layer transforms. The pointer's layer-space position is carried into the parent's space
-- through the transform the layer has at the moment of the event.
function CelRig.LayerPointInParent(si, layer, vec)
    local m = QV.Matrix:new_local()
    layer:GetLayerTransform(CelUtil.KeyFrame(si), m, si.document)
    return Transformed(m, vec.x, vec.y)
end

-- Layer drags keep the layer they started on in the tool's `layer`. A press takes the current
-- layer for the drag; the layer, or nil when there is none.
function CelRig.TakeLayer(self, si)
    local layer = si.layer
    if layer == nil then
        return nil
    end
    CelUtil.PrepareUndo(si)
    self.layer = layer
    return layer
end

-- The layer being dragged, or nil when no drag is on or the current layer is another one.
function CelRig.DraggedLayer(self, si)
    local layer = self.layer
    if layer == nil or layer ~= si.layer then
        return nil
    end
    return layer
end

-- A layer drag's move remembers where it was, for the release.
function CelRig.LayerMoved(self, mouse)
    self.lastPt = { x = mouse.pt.x, y = mouse.pt.y }
    CelUtil.Redraw(mouse)
end

-- A release where the last move was repeats it with the reading taken before that move
-- changed the layer, so it is not applied again.
function CelRig.LayerDragOnMouseUp(self, si, mouse)
    if self.lastPt == nil or mouse.pt.x ~= self.lastPt.x or mouse.pt.y ~= self.lastPt.y then
        self:OnMouseMoved(si, mouse)
    end
    self.lastPt = nil
    self.layer = nil
end

-- Moves a layer's origin to a point of its own space, keeping every key of the layer where it
-- was drawn: the translation keys make up for the turn and scale about the new origin.
function CelRig.SetOriginKeepingPlace(si, layer, origin)
    local old = layer:Origin()
    local keys = {}
    local track = layer.fTranslation
    local frames = { 0 }
    for k = 0, track:CountKeys() - 1 do
        local when = track:GetKeyWhen(k)
        if when ~= 0 then
            frames[#frames + 1] = when
        end
    end
    local m = QV.Matrix:new_local()
    for _, frame in ipairs(frames) do
        layer:GetLayerTransform(frame, m, si.document)
        keys[#keys + 1] = { frame = frame, before = Transformed(m, origin.x, origin.y) }
    end
    layer:SetOrigin(origin)
    for _, key in ipairs(keys) do
        layer:GetLayerTransform(key.frame, m, si.document)
        local after = Transformed(m, origin.x, origin.y)
        local t = track:GetValue(key.frame)
        t.x = t.x + key.before.x - after.x
        t.y = t.y + key.before.y - after.y
        if key.frame == 0 or track:HasKey(key.frame) then
            track:SetValue(key.frame, t)
        end
    end
    return old
end
