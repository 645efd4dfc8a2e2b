-- A 3D layer and its mesh: faces, points, materials, colours and scaling.
local layer = si:LayerAs3D(model)
near(layer:EdgeOffset(), 0.05, "edge offset")
layer:SetEdgeOffset(-1)
eq(layer:EdgeOffset(), -1, "any offset")
layer:SetSourceMesh("")
eq(layer:SourceMesh(), "", "no source mesh")
eq(si:LayerAs3D(img), nil, "an image layer is no 3D layer")
eq(si:Mesh3D(), nil, "the record's layer has no 3D mesh")
si.layer = model
local mesh = si:Mesh3D()
eq(mesh ~= nil, true, "the 3D layer's mesh")

local function points(n)
    mesh:Clear()
    for i = 1, n do
        mesh:AddPoint(vec3(i, 0, 0))
    end
end
local function corners(face)
    return table.concat({ face.numP, face.p1, face.p2, face.p3, face.p4, face.matID }, " ")
end

mesh:AddFace(0, 1, 2)
eq(mesh:CountFaces(), 0, "no face without points")
points(3)
mesh:AddFace(5, -2, 1)
eq(corners(mesh:Face(0)), "3 2 0 1 -1 -1", "clamped corners")
raises("two numbers", function() mesh:AddFace(0, 1) end, "error in function 'AddFace'.")
points(4)
mesh:AddFace(0, 1, 2, 3)
eq(corners(mesh:Face(0)), "4 0 1 2 3 -1", "a quad")

-- A removed point leaves -1 in its place; later points move down.
points(3)
mesh:AddFace(0, 1, 2)
mesh:RemovePoint(1)
eq(corners(mesh:Face(0)), "3 0 -1 1 -1 -1", "RemovePoint(1)")

-- The current material outlives Clear.
local material = mesh:CreateNewMaterial()
eq(mesh:Material(0), material, "the new material")
mesh:AddFace(0, 0, 1)
eq(mesh:Face(1).matID, 0, "faces take the current material")
points(3)
eq(mesh:CountMaterials(), 0, "Clear drops the materials")
mesh:AddFace(0, 1, 2)
eq(mesh:Face(0).matID, 0, "still the current material")

-- Range lines, and the silent texture point.
lines()
eq(mesh:Point(3).x, 0, "Point past the list")
eq(mesh:Face(5), nil, "Face past the list")
eq(mesh:Material(0), nil, "Material past the list")
mesh:SetPoint(9, vec3(1, 1, 1))
mesh:RemovePoint(9)
mesh:RemoveFace(-1)
mesh:RemoveMaterial(3)
eq(mesh:TexturePoint(-1).x, 0, "TexturePoint past the list")
eq(lines(), table.concat({ "M_Mesh3D::Point - out of range", "M_Mesh3D::Face - out of range",
    "M_Mesh3D::Material - out of range", "M_Mesh3D::SetPoint - out of range" }, "\n"), "range lines")
mesh:AddTexturePoint(V(0.5, 0.25))
eq(mesh:TexturePoint(0).y, 0.25, "texture point")
raises("AddPoint(nil)", function() mesh:AddPoint(nil) end, "error in function 'AddPoint'.")

-- Colours are copies.
local c = mesh:DefaultColor()
c.r = (c.r + 1) % 256
eq(mesh:DefaultColor().r ~= c.r, true, "DefaultColor is a copy")
mesh:SetDefaultColor(c)
eq(mesh:DefaultColor().r, c.r, "SetDefaultColor")
mesh:SetClockwise(true)
eq(mesh:Clockwise(), true, "clockwise")

-- Scaled to radius 1: 4 x 2 x 1 becomes 2 x 1 x 0.5 around the origin; coincident points
-- are only centred.
mesh:Clear()
mesh:AddPoint(vec3(1, 1, 1))
mesh:AddPoint(vec3(5, 3, 2))
mesh:ScaleToRadius(1)
local lo, hi = mesh:Point(0), mesh:Point(1)
eq(table.concat({ lo.x, lo.y, lo.z, hi.x, hi.y, hi.z }, " "), "-1 -0.5 -0.25 1 0.5 0.25", "scaled")
mesh:Clear()
mesh:AddPoint(vec3(3, 3, 3))
mesh:AddPoint(vec3(3, 3, 3))
mesh:ScaleToRadius(1)
local p = mesh:Point(1)
eq(table.concat({ p.x, p.y, p.z }, " "), "0 0 0", "coincident points centred")
raises("Clear on nil", function() mesh.Clear(nil) end, "invalid 'self' in function 'Empty'")
