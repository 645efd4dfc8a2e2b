-- Tracking points, bones, faces and materials kept past their deletion raise the self error.
local image = si:LayerAsImage(img)
image:SetSourceImage(picture)
loadMedia(image)
local point = image:AddTrackingPoint(V(10, 10), 0)
local track = point.fAnimPos
point.fSelected = true
image:DeleteSelectedTrackingPoints()
raises("a deleted tracking point", function() return point:Name() end, "invalid 'self' in function 'Name'")
raises("its variable", function() return point.fLastFrame end, "invalid 'self' in accessing variable 'fLastFrame'")
raises("its channel", function() return track:CountKeys() end, "invalid 'self'")

local skel = si:LayerAsBone(bones):Skeleton()
local bone = skel:AddBone(0)
local angle = bone.fAnimAngle
local matrix = bone.fRestMatrix
skel:DeleteBone(0)
raises("a deleted bone", function() return bone.fLength end, "invalid 'self' in accessing variable 'fLength'")
raises("its channel", function() return angle:CountKeys() end, "invalid 'self'")
raises("its matrix", function() return matrix:Identity() end, "invalid 'self'")

si.layer = model
local mesh = si:Mesh3D()
for i = 1, 3 do
    mesh:AddPoint(vec3(i, 0, 0))
end
mesh:AddFace(0, 1, 2)
mesh:AddFace(2, 1, 0)
mesh:CreateNewMaterial()
mesh:CreateNewMaterial()
local face, material = mesh:Face(0), mesh:Material(0)
local color = material.color
mesh:RemoveFace(0)
mesh:RemoveMaterial(0)
raises("a removed face", function() return face.numP end, "invalid 'self' in accessing variable 'numP'")
raises("a removed material", function() return material.color end, "invalid 'self' in accessing variable 'color'")
raises("its colour", function() return color.r end, "invalid 'self'")
local kept, keptMaterial = mesh:Face(0), mesh:Material(0)
eq(kept.p1, 2, "the other face lives")
mesh:Clear()
raises("a face of a cleared mesh", function() return kept.p1 end, "invalid 'self'")
raises("a material of a cleared mesh", function() keptMaterial.color = keptMaterial.color end, "invalid 'self'")
