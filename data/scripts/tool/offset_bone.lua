-- Shifts a bone away from its keyed position without keying: the offset is added to the
-- bone's position in every pose but the rest pose.
QV_OffsetBone = {}
ScriptName = "QV_OffsetBone"

CelUtil.DefineInfo(QV_OffsetBone, "Offset Bone",
    "Drag a bone to offset it from its animated position; Alt-click clears its offset.", "1")

function QV_OffsetBone:IsEnabled(si)
    return si:Skeleton() ~= nil
end

function QV_OffsetBone:OnMouseDown(si, mouse)
    local skel, bone = CelRig.TakeBone(self, si, mouse)
    if bone == nil then
        return
    end
    if mouse.altKey then
        self.id = nil
        bone.fOffset = CelUtil.Vec(0, 0)
        skel:UpdateBoneMatrix()
        CelUtil.Modified(si)
        return
    end
    self.offset = CelUtil.Copy(bone.fOffset)
    self.start = CelRig.ToParentFrame(skel, bone, mouse.startVec)
end

function QV_OffsetBone:OnMouseMoved(si, mouse)
    local skel, bone = CelRig.DraggedBone(self, si)
    if bone == nil then
        return
    end
    local now = CelRig.ToParentFrame(skel, bone, mouse.vec)
    bone.fOffset = CelUtil.Vec(self.offset.x + now.x - self.start.x, self.offset.y + now.y - self.start.y)
    CelRig.BonesChanged(si, skel, mouse)
end

function QV_OffsetBone:OnMouseUp(si, mouse)
    self:OnMouseMoved(si, mouse)
    self.id = nil
end
