-- A test tool that does nothing.
Plain_d = {}
ScriptName = "Plain_d"

function Plain_d:UILabel() return "Plain d" end
function Plain_d:Description() return "Plain tool d" end
function Plain_d:ResetPrefs() Resets = (Resets or "") .. "d" end
