-- Sets how far a bone's pull reaches: drag right to strengthen the bone, left to weaken it.
QV_BoneStrength = {}
ScriptName = "QV_BoneStrength"

CelUtil.DefineInfo(QV_BoneStrength, "Bone Strength",
    "Drag a bone right to make its influence reach further, left to reduce it.", "2")

function QV_BoneStrength:IsEnabled(si)
    return si:Skeleton() ~= nil
end

function QV_BoneStrength:OnMouseDown(si, mouse)
    local _, bone = CelRig.TakeBone(self, si, mouse, true)
    if bone == nil then
        return
    end
    self.strength = bone.fStrength
end

function QV_BoneStrength:OnMouseMoved(si, mouse)
    local _, bone = CelRig.DraggedBone(self, si)
    if bone == nil then
        return
    end
    bone.fStrength = math.max(0, self.strength + mouse.vec.x - mouse.startVec.x)
    CelUtil.Modified(si)
    CelUtil.Redraw(mouse)
end

function QV_BoneStrength:OnMouseUp(si, mouse)
    self:OnMouseMoved(si, mouse)
    self.id = nil
end

-- The reach of the selected bone, as a ring about its middle.
function QV_BoneStrength:DrawMe(si, view)
    local skel = si:Skeleton()
    local bone = skel and skel:Bone(skel:SelectedBoneID())
    if bone == nil or view == nil then
        return
    end
    local base, tip = CelRig.BoneBase(bone), CelRig.BoneTip(bone)
    local g = view:Graphics()
    g:SetColor(200, 130, 150, 160)
    g:FrameCircle(CelUtil.Vec((base.x + tip.x) / 2, (base.y + tip.y) / 2), bone.fStrength / 2)
end
