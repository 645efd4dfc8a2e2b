-- Sets how far a bone's pull reaches: drag right to strengthen the bone, left to weaken it.
QV_BoneStrength = {}
ScriptName = "QV_BoneStrength"

function QV_BoneStrength:Name() return "Bone Strength" end
function QV_BoneStrength:Version() return "1.0" end
function QV_BoneStrength:Description() return "Drag a bone right to make its influence reach further, left to reduce it." end
function QV_BoneStrength:Creator() return "Celvane" end
function QV_BoneStrength:UILabel() return "Bone Strength (2)" end

function QV_BoneStrength:IsEnabled(si)
    return si:Skeleton() ~= nil
end

function QV_BoneStrength:OnMouseDown(si, mouse)
    self.id = nil
    local skel = si:Skeleton()
    if skel == nil then
        return
    end
    local id = CelRig.PickBone(skel, mouse.vec)
    if id < 0 then
        id = skel:SelectedBoneID()
    end
    local bone = skel:Bone(id)
    if bone == nil then
        return
    end
    CelRig.PrepareUndo(si)
    CelRig.SelectBone(skel, id, false)
    self.id = id
    self.strength = bone.fStrength
end

function QV_BoneStrength:OnMouseMoved(si, mouse)
    local skel = si:Skeleton()
    local bone = skel and self.id and skel:Bone(self.id)
    if bone == nil then
        return
    end
    bone.fStrength = math.max(0, self.strength + mouse.vec.x - mouse.startVec.x)
    CelRig.Modified(si)
    CelRig.Redraw(mouse.view)
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
    g:FrameCircle(CelRig.V((base.x + tip.x) / 2, (base.y + tip.y) / 2), bone.fStrength / 2)
end
