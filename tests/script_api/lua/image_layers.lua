-- Vector and image layers, and the tracking points of an image layer.
local v = si:LayerAsVector(doc:LayerByName("Vec"))
cases {
    { "noisy shapes", function() return v.fNoisyShapes end, false },
    { "extra sketchy", function() return v.fExtraSketchy end, true },
    { "extra lines", function() return v.fExtraLines end, 5 },
    { "same mesh", function() return v:Mesh() == v:Mesh() end, true },
    { "an image layer is no vector layer", function() return si:LayerAsVector(img) end, nil },
    { "a group is no image layer", function() return si:LayerAsImage(grp) end, nil },
}
near(v.fNoiseAmp, 1 / 81, "noise amplitude")
for _, row in ipairs { { 7.8, 7 }, { -7.8, -7 }, { "3", 3 } } do
    v.fExtraLines = row[1]
    eq(v.fExtraLines, row[2], "extra lines " .. tostring(row[1]))
end
v.fNoisyLines = true
v.fNoisyLines = nil
eq(v.fNoisyLines, false, "nil stores false")
raises("a number for a flag", function() v.fNoisyLines = 1 end, "invalid type in variable assignment.")

-- Before its first draw an image layer has no picture: nothing maps, nothing tracks.
local image = si:LayerAsImage(img)
cases {
    { "width", function() return image:PixelWidth() end, -1 },
    { "height", function() return image:PixelHeight() end, -1 },
    { "movie fps", function() return image:MovieFps() end, 0 },
    { "movie", function() return image:IsMovieLayer() end, false },
    { "movie duration", function() return image:MovieDuration() end, 0 },
    { "source", function() return image:SourceImage() end, "" },
    { "tracking points", function() return image:CountTrackingPoints() end, 0 },
    { "no point without a picture", function() return image:AddTrackingPoint(V(1, 1), 0) end, nil },
}
image:SetMovieFps(30)
eq(image:MovieFps(), 0, "SetMovieFps changes nothing")
local unchanged = V(7, 7)
image:ImageToLayer(V(320, 240), unchanged)
eq(unchanged.x, 7, "no mapping without a picture")
image:SetAviAlpha(true)
image:SetMovieLooping(true)
eq(image:AviHasAlpha() and image:MovieLooping(), true, "movie flags")
image:SetSourceImage('bad".png')
eq(image:SourceImage(), "", "a quoted path is refused")
image:SetSourceImage(picture)
eq(image:SourceImage(), picture, "source path")

-- 640 x 480 pixels on a layer 1.333 by 1: the centre is the origin, the top right corner
-- (0.6665, 0.5), and back.
loadMedia(image)
eq(image:PixelWidth(), 640, "width")
eq(image:PixelHeight(), 480, "height")
local p = V(9, 9)
for _, row in ipairs { { 320, 240, 0, 0 }, { 640, 0, 0.6665, 0.5 }, { 0, 480, -0.6665, -0.5 } } do
    image:ImageToLayer(V(row[1], row[2]), p)
    near(p.x, row[3], "layer x of " .. row[1], 1e-3)
    near(p.y, row[4], "layer y of " .. row[2], 1e-5)
    local back = V(-1, -1)
    image:LayerToImage(p, back)
    near(back.x, row[1], "image x of " .. row[1], 1e-3)
    near(back.y, row[2], "image y of " .. row[2], 1e-3)
end
raises("ImageToLayer(nil result)", function() image:ImageToLayer(V(0, 0), nil) end, "error in function 'ImageToLayer'.")

-- Three tracking points at most, named by their number.
local points = {}
for i = 1, 3 do
    points[i] = image:AddTrackingPoint(V(100 * i, 50.7), 2.9)
end
eq(image:AddTrackingPoint(V(1, 1), 0), nil, "the fourth point")
eq(image:CountTrackingPoints(), 3, "three points")
for i = 1, 3 do
    eq(points[i]:Name(), "TrackPoint " .. i, "name " .. i)
end
eq(image:GetTrackingPoint(1), points[2], "the same object")
lines()
eq(image:GetTrackingPoint(3), nil, "index past the points")
eq(lines(), "ImageLayer:GetTrackingPoint - out of range", "range line")
local pt = points[1]
cases {
    { "compare radius", function() return pt.fCompareRadius end, 8 },
    { "search radius", function() return pt.fSearchRadius end, 16 },
    { "selected", function() return pt.fSelected end, false },
    { "start frame", function() return pt:StartFrame() end, 2 },
    { "tracked position", function() return pt.fAnimPos:GetValue(2).x end, 100 },
}
pt.fLastFrame = 5
image:StartTracking(pt)
eq(pt.fLastFrame, pt:StartFrame() + 1000000, "StartTracking")
raises("StartTracking(nil)", function() image:StartTracking(nil) end, "error in function 'StartTracking'.")
pt:SetName('a "b"')
eq(pt:Name(), "a b", "quotes leave names")
pt:SetName(nil)
eq(pt:Name(), "", "nil names nothing")
pt.fCompareRadius = -3.9
eq(pt.fCompareRadius, -3, "radii are stored unchecked")

-- Deleting the selected points closes up the list.
points[2].fSelected = true
image:DeleteSelectedTrackingPoints()
eq(image:CountTrackingPoints(), 2, "one point deleted")
eq(image:GetTrackingPoint(1), points[3], "indices close up")
