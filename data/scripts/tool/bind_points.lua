-- Binds the selected points to a bone: a click on a bone selects it and binds them to it;
-- Return or space binds them to the selected bone; Alt-click gives them back to the blend of all bones.
QV_BindPoints = {}
ScriptName = "QV_BindPoints"

CelUtil.DefineInfo(QV_BindPoints, "Bind Points",
    "Click a bone to bind the selected points to it (Space binds them to the selected bone, "
        .. "Alt-click unbinds them).", "j")

function QV_BindPoints:IsEnabled(si)
    return si:Mesh() ~= nil and si:ParentSkeleton() ~= nil
end

function QV_BindPoints:Bind(si, id)
    local mesh = si:Mesh()
    if mesh == nil then
        return
    end
    -- The bone selection changes too: the whole rig, this layer within it, is kept for undo.
    CelUtil.PrepareUndo(si, CelRig.SkeletonLayer(si))
    for i = 0, mesh:CountPoints() - 1 do
        local p = mesh:Point(i)
        if p.fSelected then
            p.fParent = id
        end
    end
    CelUtil.Modified(si)
end

function QV_BindPoints:OnMouseDown(si, mouse)
    local skel = si:ParentSkeleton()
    if skel == nil or si:Mesh() == nil then
        return
    end
    if mouse.altKey then
        -- Released points follow the blend of all bones again.
        self:Bind(si, -2)
    else
        local id = CelRig.PickBone(skel, CelRig.ToParentSpace(si, si.layer, mouse.vec))
        if id >= 0 then
            -- Bind first: it keeps the rig for undo before the selection changes.
            self:Bind(si, id)
            CelRig.SelectBone(skel, id, false)
        end
    end
    CelUtil.Redraw(mouse)
end

function QV_BindPoints:OnKeyDown(si, key)
    local skel = si:ParentSkeleton()
    if skel == nil then
        return
    end
    if key.keyCode == QV.GUI.KEY_RETURN or key.keyCode == 32 then
        local id = skel:SelectedBoneID()
        if id >= 0 then
            self:Bind(si, id)
            CelUtil.Redraw(key)
        end
    end
end
