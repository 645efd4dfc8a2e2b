-- Moves bones: drag a bone (or anywhere, to move the selected bones). At a frame other than 0
-- the new positions are keyed at the layer frame.
QV_TranslateBone = {}
ScriptName = "QV_TranslateBone"

CelUtil.DefineInfo(QV_TranslateBone, "Translate Bone",
    "Drag a bone to move it; dragging elsewhere moves the selected bones.", "g")

function QV_TranslateBone:IsEnabled(si)
    return si:Skeleton() ~= nil
end

function QV_TranslateBone:OnMouseDown(si, mouse)
    self.moving = nil
    local skel = CelRig.PressSelectedBones(si, mouse, mouse.shiftKey)
    if skel == nil then
        return
    end
    -- A bone whose ancestor moves goes with it.
    self.moving = {}
    for _, i in ipairs(CelRig.SelectedBones(skel)) do
        if not skel:IsAncestorSelected(i) then
            local b = skel:Bone(i)
            self.moving[#self.moving + 1] = {
                id = i, pos = CelUtil.Copy(b.fPos), start = CelRig.ToParentFrame(skel, b, mouse.startVec) }
        end
    end
end

function QV_TranslateBone:OnMouseMoved(si, mouse)
    local skel = si:Skeleton()
    if skel == nil or self.moving == nil then
        return
    end
    for _, m in ipairs(self.moving) do
        local bone = skel:Bone(m.id)
        if bone ~= nil then
            local now = CelRig.ToParentFrame(skel, bone, mouse.vec)
            bone.fPos = CelUtil.Vec(m.pos.x + now.x - m.start.x, m.pos.y + now.y - m.start.y)
            CelRig.KeyBonePos(si, bone)
        end
    end
    CelRig.BonesChanged(si, skel, mouse)
end

function QV_TranslateBone:OnMouseUp(si, mouse)
    self:OnMouseMoved(si, mouse)
    self.moving = nil
end
