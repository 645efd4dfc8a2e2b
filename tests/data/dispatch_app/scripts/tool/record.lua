-- A test tool: writes every call it receives, with its arguments, to the file named by the
-- environment variable CELVANE_TOOL_LOG, and on mouse up draws a filled rectangle between the
-- press and the release.
RecordTool = {}
ScriptName = "RecordTool"

local function log(...)
    local path = os.getenv("CELVANE_TOOL_LOG")
    if not path then
        return
    end
    local file = io.open(path, "a")
    if file then
        file:write(table.concat({ ... }, " "), "\n")
        file:close()
    end
end

local function point(p)
    return string.format("%d,%d", p.x, p.y)
end

local function vector(v)
    return string.format("%.3f,%.3f", v.x, v.y)
end

local function mouse(name, m)
    log(name, "pt=" .. point(m.pt), "startPt=" .. point(m.startPt), "vec=" .. vector(m.vec),
        "startVec=" .. vector(m.startVec), "shift=" .. tostring(m.shiftKey), "ctrl=" .. tostring(m.ctrlKey),
        "alt=" .. tostring(m.altKey))
end

function RecordTool:Name() return "Record" end
function RecordTool:Version() return "1.0" end
function RecordTool:Description() return "Records every call and draws a rectangle" end
function RecordTool:Creator() return "Celvane tests" end
function RecordTool:UILabel() return "Record" end
function RecordTool:NonDragMouseMove() return false end

function RecordTool:IsEnabled(si)
    log("IsEnabled", "frame=" .. si.frame)
    return true
end

function RecordTool:OnMouseDown(si, m) mouse("OnMouseDown", m) end
function RecordTool:OnMouseMoved(si, m) mouse("OnMouseMoved", m) end

function RecordTool:OnMouseUp(si, m)
    mouse("OnMouseUp", m)
    local mesh = si:Mesh()
    if mesh == nil then
        return
    end
    si.document:PrepUndo(si.layer)
    si.document:SetDirty()
    local function v(x, y)
        local p = QV.Vector2:new_local()
        p.x, p.y = x, y
        return p
    end
    local a, b = m.startVec, m.vec
    mesh:SelectNone()
    mesh:AddLonePoint(v(a.x, a.y), 0)
    mesh:AppendPoint(v(b.x, a.y), 0)
    mesh:AppendPoint(v(b.x, b.y), 0)
    mesh:AppendPoint(v(a.x, b.y), 0)
    mesh:Curve(mesh:CountCurves() - 1).fClosed = true
    local first = mesh:CountPoints() - 4
    for i = first, mesh:CountPoints() - 1 do
        mesh:Point(i).fSelected = true
    end
    si:CreateShape(true)
    mesh:SelectNone()
    -- The canvas redraws only the other views after a drag; the tool shows its own work.
    if m.view ~= nil then
        m.view:DrawMe()
    end
end

function RecordTool:OnKeyDown(si, k) log("OnKeyDown", "key=" .. k.keyCode) end
function RecordTool:DrawMe(si, view) log("DrawMe") end

function RecordTool:DoLayout(si, layout)
    log("DoLayout")
    layout:AddChild(QV.GUI.StaticText("Recording"))
    layout:AddChild(QV.GUI.CheckBox("Loud", VORN.MSG_BASE + 1))
end

function RecordTool:UpdateWidgets(si) log("UpdateWidgets", "frame=" .. si.frame) end
function RecordTool:HandleMessage(si, view, msg) log("HandleMessage", "msg=" .. msg) end
function RecordTool:ResetPrefs() log("ResetPrefs") end
