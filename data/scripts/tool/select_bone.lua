-- Selects bones: a click takes the bone under the pointer, Shift adds it, Ctrl takes it out,
-- a click on nothing selects none. Up and Down walk to the parent and the first child.
QV_SelectBone = {}
ScriptName = "QV_SelectBone"

CelUtil.DefineInfo(QV_SelectBone, "Select Bone",
    "Click a bone to select it (Shift adds, Ctrl removes); Up and Down keys go to its parent and child.", "l")

function QV_SelectBone:IsEnabled(si)
    return si:Skeleton() ~= nil
end

function QV_SelectBone:OnMouseDown(si, mouse)
    local skel = si:Skeleton()
    if skel == nil then
        return
    end
    local id = CelRig.PickBone(skel, mouse.vec)
    if mouse.ctrlKey then
        local bone = skel:Bone(id)
        if bone ~= nil then
            bone.fSelected = false
        end
    else
        CelRig.SelectBone(skel, id, mouse.shiftKey)
    end
    CelUtil.Redraw(mouse)
end

function QV_SelectBone:OnKeyDown(si, key)
    local skel = si:Skeleton()
    if skel == nil then
        return
    end
    local id = skel:SelectedBoneID()
    local bone = skel:Bone(id)
    if bone == nil then
        return
    end
    local target = -1
    if key.keyCode == QV.GUI.KEY_UP then
        target = bone.fParent
    elseif key.keyCode == QV.GUI.KEY_DOWN then
        target = skel:GetFirstChildBone(id)
    end
    if target >= 0 then
        CelRig.SelectBone(skel, target, false)
        CelUtil.Redraw(key)
    end
end
