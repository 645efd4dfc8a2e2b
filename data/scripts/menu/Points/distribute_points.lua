-- Spaces the selected points evenly along the line between the two that lie farthest apart,
-- keeping their order along it. At a frame other than 0 the new places are keyed there.
QV_DistributePoints = {}
ScriptName = "QV_DistributePoints"

function QV_DistributePoints:Name() return "Distribute Points" end
function QV_DistributePoints:Version() return "1.0" end
function QV_DistributePoints:Description() return "Spaces the selected points evenly between the two farthest apart." end
function QV_DistributePoints:Creator() return "Celvane" end
function QV_DistributePoints:UILabel() return "Distribute Points Evenly" end

function QV_DistributePoints:IsEnabled(si)
    return si:Mesh() ~= nil and si:CountSelectedPoints(true) >= 3
end

function QV_DistributePoints:Run(si)
    local mesh = si:Mesh()
    if mesh == nil then
        return
    end
    local frame = CelUtil.KeyFrame(si)
    local points = {}
    for i = 0, mesh:CountPoints() - 1 do
        local p = mesh:Point(i)
        if p.fSelected then
            points[#points + 1] = { point = p, pos = p.fAnimPos:GetValue(frame) }
        end
    end
    if #points < 3 then
        return
    end
    local a, b, far = points[1], points[2], -1
    for i = 1, #points do
        for j = i + 1, #points do
            local d = (points[i].pos.x - points[j].pos.x) ^ 2 + (points[i].pos.y - points[j].pos.y) ^ 2
            if d > far then
                a, b, far = points[i], points[j], d
            end
        end
    end
    local ax, ay = a.pos.x, a.pos.y
    local dx, dy = b.pos.x - ax, b.pos.y - ay
    for _, entry in ipairs(points) do
        entry.t = ((entry.pos.x - ax) * dx + (entry.pos.y - ay) * dy) / far
    end
    table.sort(points, function(p, q) return p.t < q.t end)
    CelUtil.PrepareUndo(si)
    for i, entry in ipairs(points) do
        local t = (i - 1) / (#points - 1)
        entry.point:SetPos(CelUtil.Vec(ax + dx * t, ay + dy * t), frame)
    end
    CelUtil.Modified(si)
end
