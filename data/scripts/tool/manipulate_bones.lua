-- Poses a skeleton by inverse kinematics: dragging a bone pulls its tip toward the pointer and
-- turns the free chain of bones above it along. A root bone taken by its base moves instead.
QV_ManipulateBones = {}
ScriptName = "QV_ManipulateBones"

CelUtil.DefineInfo(QV_ManipulateBones, "Manipulate Bones",
    "Drag a bone to pose its chain: its tip follows the pointer and the bones above it turn "
        .. "along.", "m")

-- Each drag step runs the solver this many times, so that long chains settle.
local PASSES = 8

function QV_ManipulateBones:IsEnabled(si)
    return si:Skeleton() ~= nil
end

function QV_ManipulateBones:OnMouseDown(si, mouse)
    local skel, bone = CelRig.TakeBone(self, si, mouse)
    if bone == nil then
        return
    end
    self.move = bone.fParent < 0 and not CelRig.NearTip(bone, mouse.vec)
    self.pos = CelUtil.Copy(bone.fPos)
    -- The chain whose angles the solver may turn: the bone and its ancestors.
    self.chain = {}
    local i = self.id
    while i >= 0 and skel:Bone(i) ~= nil and #self.chain <= skel:CountBones() do
        self.chain[#self.chain + 1] = i
        i = skel:Bone(i).fParent
    end
end

function QV_ManipulateBones:OnMouseMoved(si, mouse)
    local skel, bone = CelRig.DraggedBone(self, si)
    if bone == nil then
        return
    end
    if self.move then
        bone.fPos = CelUtil.Vec(self.pos.x + mouse.vec.x - mouse.startVec.x, self.pos.y + mouse.vec.y - mouse.startVec.y)
        CelRig.KeyBonePos(si, bone)
    else
        skel:IKAngleSolver(self.id, mouse.vec, PASSES)
        for _, i in ipairs(self.chain) do
            CelRig.KeyBoneAngle(si, skel:Bone(i))
        end
    end
    CelRig.BonesChanged(si, skel, mouse)
end

function QV_ManipulateBones:OnMouseUp(si, mouse)
    self:OnMouseMoved(si, mouse)
    self.id = nil
end
