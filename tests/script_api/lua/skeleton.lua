-- A skeleton and its bones: new bones, ids, family tests, checked ids and range lines.
local skel = si:LayerAsBone(bones):Skeleton()
cases {
    { "binding mode", function() return skel.fBindingMode end, 1 },
    { "no bones", function() return skel:CountBones() end, 0 },
    { "nothing selected", function() return skel:SelectedBoneID() end, -1 },
    { "nothing near", function() return skel:NearestBone(V(0, 0)) end, -1 },
}
local b = {}
for i = 0, 3 do
    b[i] = skel:AddBone(0)
    eq(skel:BoneID(b[i]), i, "the old count is the id")
end
cases {
    { "length", function() return b[0].fLength end, 0.25 },
    { "strength", function() return b[0].fStrength end, 1 },
    { "parent", function() return b[0].fParent end, -1 },
    { "angle control", function() return b[0].fAngleControlParent end, -1 },
    { "Bone(count)", function() return skel:Bone(skel:CountBones()) end, nil },
    { "Bone(1.9)", function() return skel:Bone(1.9) end, b[1] },
    { "BoneID(nil)", function() return skel:BoneID(nil) end, -1 },
}
near(b[0].fAnimAngle:GetValue(0), math.pi / 2, "angle")
near(b[0].fMinConstraint, -1.2217306, "lowest angle")

-- Bone 3 under 2: the family tests in both argument orders.
b[3].fParent = 2
cases {
    { "IsBoneChild(2, 2)", function() return skel:IsBoneChild(2, 2) end, true },
    { "IsBoneParent(2, 2)", function() return skel:IsBoneParent(2, 2) end, true },
    { "IsBoneChild(2, 3)", function() return skel:IsBoneChild(2, 3) end, true },
    { "IsBoneParent(3, 2)", function() return skel:IsBoneParent(3, 2) end, true },
    { "IsBoneChild(3, 2)", function() return skel:IsBoneChild(3, 2) end, false },
    { "IsBoneChild(-1, 3)", function() return skel:IsBoneChild(-1, 3) end, false },
}

-- Ids outside the list and parent cycles are refused with a range line.
lines()
local refusals = {
    { "a cycle", function() b[2].fParent = 3 end, function() return b[2].fParent end, -1, "M_Bone:fParent" },
    { "its own parent", function() b[1].fParent = 1 end, function() return b[1].fParent end, -1, "M_Bone:fParent" },
    { "parent past the list", function() b[3].fParent = 4 end, function() return b[3].fParent end, 2, "M_Bone:fParent" },
    { "parent -2", function() b[3].fParent = -2 end, function() return b[3].fParent end, 2, "M_Bone:fParent" },
    { "angle control past the list", function() b[1].fAngleControlParent = 4 end,
        function() return b[1].fAngleControlParent end, -1, "M_Bone:fAngleControlParent" },
    { "position control -5", function() b[1].fPosControlParent = -5 end,
        function() return b[1].fPosControlParent end, -1, "M_Bone:fPosControlParent" },
    { "scale control past the list", function() b[1].fScaleControlParent = 99 end,
        function() return b[1].fScaleControlParent end, -1, "M_Bone:fScaleControlParent" },
    { "IsBoneChild past the list", function() eq(skel:IsBoneChild(4, 0), false, "answer") end,
        function() return true end, true, "M_Skeleton:IsBoneChild" },
    { "IsBoneParent past the list", function() eq(skel:IsBoneParent(0, 9), false, "answer") end,
        function() return true end, true, "M_Skeleton:IsBoneParent" },
    { "UpdateBoneMatrix past the list", function() skel:UpdateBoneMatrix(4) end,
        function() return true end, true, "M_Skeleton:UpdateBoneMatrix" },
    { "DeleteBone(count)", function() skel:DeleteBone(skel:CountBones()) end,
        function() return skel:CountBones() end, 4, "M_Skeleton:DeleteBone" },
}
for _, row in ipairs(refusals) do
    row[2]()
    eq(row[3](), row[4], row[1])
    eq(lines(), row[5] .. " - out of range", row[1] .. ": range line")
end
raises("a text for an id", function() b[1].fParent = "x" end, "invalid type in variable assignment.")

-- Ids in the list are taken: bones 1 and 2 under 0, 1 driven by 3.
b[1].fParent = 0
b[2].fParent = 0
b[1].fAngleControlParent = 3
eq(b[1].fAngleControlParent, 3, "angle control")
cases {
    { "children", function() return skel:CountBoneChildren(0) end, 2 },
    { "free children", function() return skel:CountBoneChildren(0, true) end, 1 },
    { "first free child", function() return skel:GetFirstChildBone(0, true) end, 2 },
}
b[1].fAngleControlParent = -1
skel:UpdateBoneMatrix()
skel:LockBone(99, 0)
skel:UnlockBone(-1, 0)
skel:IKAngleSolver(3, V(0, 1))
eq(lines(), "", "silent calls")

-- Selection.
skel:SelectAll()
eq(skel:SelectedBoneID(), 0, "all selected")
skel:SelectInverse()
eq(skel:SelectedBoneID(), -1, "inverted")
b[2].fSelected = true
eq(skel:SelectedBoneID(), 2, "bone 2")
skel:SelectNone()

-- Values are copied in; names lose their quotes; self errors name the model operations.
local pos = V(1, 2)
b[0].fPos = pos
pos.x = 5
eq(b[0].fPos.x, 1, "fPos is a copy")
b[0]:SetName('up"per')
eq(b[0]:Name(), "upper", "quotes leave names")
raises("CountBones on nil", function() return skel.CountBones(nil) end, "invalid 'self' in function 'GetNumBones'")
raises("NearestBone(nil)", function() skel:NearestBone(nil) end, "error in function 'NearestBone'.")
raises("fPos = nil", function() b[0].fPos = nil end, "invalid type in variable assignment.")
skel:DeleteBone(0)
eq(skel:CountBones(), 3, "one bone deleted")
eq(skel:Bone(0), b[1], "ids close up")
