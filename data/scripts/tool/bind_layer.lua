-- Binds the current layer to one bone of the skeleton it sits in, so that it follows that bone
-- alone; a click away from every bone gives it back to the blend of all bones.
QV_BindLayer = {}
ScriptName = "QV_BindLayer"

CelUtil.DefineInfo(QV_BindLayer, "Bind Layer",
    "Click a bone to bind the whole layer to it; click away from the bones to release the layer.", "3")

function QV_BindLayer:IsEnabled(si)
    return si.layer ~= nil and si:ParentSkeleton() ~= nil
end

function QV_BindLayer:OnMouseDown(si, mouse)
    local skel = si:ParentSkeleton()
    if skel == nil or si.layer == nil then
        return
    end
    local id = CelRig.PickBone(skel, CelRig.ToParentSpace(si, si.layer, mouse.vec))
    -- The bone selection changes too: the whole rig, this layer within it, is kept for undo.
    CelUtil.PrepareUndo(si, CelRig.SkeletonLayer(si))
    -- Away from every bone the layer follows the blend of all bones again.
    if id < 0 then
        id = -2
    end
    si.layer:SetLayerParentBone(id)
    CelRig.SelectBone(skel, id, false)
    CelUtil.Modified(si)
    CelUtil.Redraw(mouse)
end
