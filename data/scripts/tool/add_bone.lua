-- Adds a bone: press where it starts, release where it ends. The new bone hangs from the
-- selected bone; with Shift it starts a new tree.
QV_AddBone = {}
ScriptName = "QV_AddBone"

CelUtil.DefineInfo(QV_AddBone, "Add Bone",
    "Drag from a bone's base to its tip to add it below the selected bone (Shift starts a new tree).", "b")

function QV_AddBone:IsEnabled(si)
    return si:Skeleton() ~= nil and not si:DisableDrawingTools()
end

-- A bone shorter than this is taken for a click and gets the default length upward.
local CLICK_LENGTH = 0.01

function QV_AddBone:Place(si, skel, bone, tip)
    local base = self.base
    local dx, dy = tip.x - base.x, tip.y - base.y
    local length = math.sqrt(dx * dx + dy * dy)
    local direction = math.pi / 2
    if length < CLICK_LENGTH then
        length = 0.25
    else
        direction = math.atan2(dy, dx)
    end
    bone.fLength = length
    bone.fAngle = direction - CelRig.ParentDirection(skel, bone)
    bone.fAnimAngle:SetValue(0, bone.fAngle)
    skel:UpdateBoneMatrix()
end

function QV_AddBone:OnMouseDown(si, mouse)
    local skel = si:Skeleton()
    if skel == nil then
        return
    end
    CelUtil.PrepareUndo(si)
    local parent = -1
    if not mouse.shiftKey then
        parent = skel:SelectedBoneID()
    end
    local bone = skel:AddBone(0)
    self.id = skel:BoneID(bone)
    if parent >= 0 then
        bone.fParent = parent
    end
    skel:UpdateBoneMatrix()
    self.base = CelUtil.Copy(mouse.vec)
    local pos = CelRig.ToParentFrame(skel, bone, self.base)
    bone.fPos = pos
    bone.fAnimPos:SetValue(0, pos)
    CelRig.SelectBone(skel, self.id, false)
    self:Place(si, skel, bone, mouse.vec)
    CelUtil.Modified(si)
end

function QV_AddBone:OnMouseMoved(si, mouse)
    local skel, bone = CelRig.DraggedBone(self, si)
    if bone ~= nil then
        self:Place(si, skel, bone, mouse.vec)
        CelUtil.Redraw(mouse)
    end
end

function QV_AddBone:OnMouseUp(si, mouse)
    self:OnMouseMoved(si, mouse)
    self.id = nil
end
