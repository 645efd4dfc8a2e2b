-- Shifts a bone away from its keyed position without keying: the offset is added to the
-- bone's position in every pose but the rest pose.
QV_OffsetBone = {}
ScriptName = "QV_OffsetBone"

function QV_OffsetBone:Name() return "Offset Bone" end
function QV_OffsetBone:Version() return "1.0" end
function QV_OffsetBone:Description() return "Drag a bone to offset it from its animated position; Alt-click clears its offset." end
function QV_OffsetBone:Creator() return "Celvane" end
function QV_OffsetBone:UILabel() return "Offset Bone (1)" end

function QV_OffsetBone:IsEnabled(si)
    return si:Skeleton() ~= nil
end

function QV_OffsetBone:OnMouseDown(si, mouse)
    self.id = nil
    local skel = si:Skeleton()
    if skel == nil then
        return
    end
    local id = CelRig.PickBone(skel, mouse.vec)
    local bone = skel:Bone(id)
    if bone == nil then
        return
    end
    CelRig.PrepareUndo(si)
    CelRig.SelectBone(skel, id, false)
    if mouse.altKey then
        bone.fOffset = CelRig.V(0, 0)
        skel:UpdateBoneMatrix()
        CelRig.Modified(si)
        return
    end
    self.id = id
    self.offset = CelRig.Copy(bone.fOffset)
    self.start = CelRig.ToParentFrame(skel, bone, mouse.startVec)
end

function QV_OffsetBone:OnMouseMoved(si, mouse)
    local skel = si:Skeleton()
    local bone = skel and self.id and skel:Bone(self.id)
    if bone == nil then
        return
    end
    local now = CelRig.ToParentFrame(skel, bone, mouse.vec)
    bone.fOffset = CelRig.V(self.offset.x + now.x - self.start.x, self.offset.y + now.y - self.start.y)
    skel:UpdateBoneMatrix()
    CelRig.Modified(si)
    CelRig.Redraw(mouse.view)
end

function QV_OffsetBone:OnMouseUp(si, mouse)
    self:OnMouseMoved(si, mouse)
    self.id = nil
end
