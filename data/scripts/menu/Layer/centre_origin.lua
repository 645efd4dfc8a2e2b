-- Moves the current vector layer's origin to the middle of its points (of the selected ones
-- when some are selected), so that it turns and scales about its drawing. The drawing stays
-- where it is.
QV_CentreOrigin = {}
ScriptName = "QV_CentreOrigin"

function QV_CentreOrigin:Name() return "Centre Origin" end
function QV_CentreOrigin:Version() return "1.0" end
function QV_CentreOrigin:Description() return "Moves the layer's origin to the middle of its points." end
function QV_CentreOrigin:Creator() return "Celvane" end
function QV_CentreOrigin:UILabel() return "Centre Origin on Points" end

function QV_CentreOrigin:IsEnabled(si)
    local mesh = si:Mesh()
    return mesh ~= nil and mesh:CountPoints() > 0
end

function QV_CentreOrigin:Run(si)
    local mesh = si:Mesh()
    if mesh == nil or mesh:CountPoints() == 0 then
        return
    end
    local selectedOnly = si:CountSelectedPoints(true) > 0
    local minX, minY, maxX, maxY = math.huge, math.huge, -math.huge, -math.huge
    for i = 0, mesh:CountPoints() - 1 do
        local p = mesh:Point(i)
        if p.fSelected or not selectedOnly then
            local pos = p.fAnimPos:GetValue(0)
            minX, maxX = math.min(minX, pos.x), math.max(maxX, pos.x)
            minY, maxY = math.min(minY, pos.y), math.max(maxY, pos.y)
        end
    end
    CelUtil.PrepareUndo(si)
    CelRig.SetOriginKeepingPlace(si, si.layer, CelUtil.Vec((minX + maxX) / 2, (minY + maxY) / 2))
    CelUtil.Modified(si)
end
