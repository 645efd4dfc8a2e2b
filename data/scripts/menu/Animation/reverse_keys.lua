-- Plays the current layer's animation backwards over the document's frame range: every key of
-- the layer (its transform, and its points or bones) between the first and the last frame of
-- the range changes places with its mirror in the range. Frame 0 is never touched.
QV_ReverseKeys = {}
ScriptName = "QV_ReverseKeys"

function QV_ReverseKeys:Name() return "Reverse Keys" end
function QV_ReverseKeys:Version() return "1.0" end
function QV_ReverseKeys:Description() return "Reverses the current layer's keys over the document's frame range." end
function QV_ReverseKeys:Creator() return "Celvane" end
function QV_ReverseKeys:UILabel() return "Reverse Layer Keys" end

function QV_ReverseKeys:IsEnabled(si)
    return si.layer ~= nil
end

local function Reverse(channel, first, last)
    local keys = {}
    for k = 0, channel:CountKeys() - 1 do
        local when = channel:GetKeyWhen(k)
        if when >= first and when <= last and when ~= 0 then
            keys[#keys + 1] = { when = when, value = channel:GetValue(when) }
        end
    end
    for _, key in ipairs(keys) do
        channel:DeleteKey(key.when)
    end
    for _, key in ipairs(keys) do
        channel:SetValue(first + last - key.when, key.value)
    end
end

function QV_ReverseKeys:Run(si)
    local layer, doc = si.layer, si.document
    if layer == nil or doc == nil then
        return
    end
    local first, last = math.max(1, doc:StartFrame()), doc:EndFrame()
    if last <= first then
        return
    end
    local channels = { layer.fTranslation, layer.fScale, layer.fRotationX, layer.fRotationY, layer.fRotationZ,
        layer.fShear, layer.fAlpha, layer.fBlur }
    local mesh = si:Mesh()
    if mesh ~= nil then
        for i = 0, mesh:CountPoints() - 1 do
            channels[#channels + 1] = mesh:Point(i).fAnimPos
            channels[#channels + 1] = mesh:Point(i).fWidth
        end
    end
    local skel = si:Skeleton()
    if skel ~= nil then
        for i = 0, skel:CountBones() - 1 do
            local bone = skel:Bone(i)
            channels[#channels + 1] = bone.fAnimPos
            channels[#channels + 1] = bone.fAnimAngle
            channels[#channels + 1] = bone.fAnimScale
        end
    end
    CelUtil.PrepareUndo(si)
    for _, channel in ipairs(channels) do
        Reverse(channel, first, last)
    end
    CelUtil.Modified(si)
end
