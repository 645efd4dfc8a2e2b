-- A test tool that does nothing.
Plain_b = {}
ScriptName = "Plain_b"

function Plain_b:UILabel() return "Plain b" end
function Plain_b:Description() return "Plain tool b" end
function Plain_b:ResetPrefs() Resets = (Resets or "") .. "b" end
