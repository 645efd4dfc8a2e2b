-- Turns bones about their base: drag a bone (or anywhere, to turn the selected ones). With
-- the snap option, or with Shift, the bone's direction snaps to 15 degree steps.
QV_RotateBone = {}
ScriptName = "QV_RotateBone"

local SNAP = VORN.MSG_BASE + 1
local STEP = math.pi / 12

CelUtil.DefineInfo(QV_RotateBone, "Rotate Bone",
    "Drag a bone to turn it about its base (Shift snaps to 15 degree steps).", "x")

function QV_RotateBone:IsEnabled(si)
    return si:Skeleton() ~= nil
end

QV_RotateBone.snap = false

function QV_RotateBone:LoadPrefs(prefs)
    self.snap = prefs:GetBool("QV_RotateBone.snap", false)
end

function QV_RotateBone:SavePrefs(prefs)
    prefs:SetBool("QV_RotateBone.snap", self.snap)
end

function QV_RotateBone:ResetPrefs()
    self.snap = false
end

function QV_RotateBone:DoLayout(si, layout)
    self.snapBox = QV.GUI.CheckBox("Snap to 15 degrees", SNAP)
    layout:AddChild(self.snapBox)
end

function QV_RotateBone:UpdateWidgets(si)
    if self.snapBox ~= nil then
        self.snapBox:SetValue(self.snap)
    end
end

function QV_RotateBone:HandleMessage(si, view, msg)
    if msg == SNAP then
        self.snap = not self.snap
        self:UpdateWidgets(si)
    end
end

local function Direction(from, to)
    return math.atan2(to.y - from.y, to.x - from.x)
end

function QV_RotateBone:OnMouseDown(si, mouse)
    self.turning = nil
    local skel = CelRig.PressSelectedBones(si, mouse, false)
    if skel == nil then
        return
    end
    self.turning = {}
    for _, i in ipairs(CelRig.SelectedBones(skel)) do
        local b = skel:Bone(i)
        local base = CelRig.BoneBase(b)
        self.turning[#self.turning + 1] = { id = i, angle = b.fAngle, base = base,
            start = Direction(base, mouse.startVec), parent = CelRig.ParentDirection(skel, b) }
    end
end

function QV_RotateBone:OnMouseMoved(si, mouse)
    local skel = si:Skeleton()
    if skel == nil or self.turning == nil then
        return
    end
    for _, t in ipairs(self.turning) do
        local bone = skel:Bone(t.id)
        if bone ~= nil then
            local angle = t.angle + Direction(t.base, mouse.vec) - t.start
            if self.snap or mouse.shiftKey then
                local world = angle + t.parent
                angle = math.floor(world / STEP + 0.5) * STEP - t.parent
            end
            bone.fAngle = angle
            CelRig.KeyBoneAngle(si, bone)
        end
    end
    CelRig.BonesChanged(si, skel, mouse)
end

function QV_RotateBone:OnMouseUp(si, mouse)
    self:OnMouseMoved(si, mouse)
    self.turning = nil
end
