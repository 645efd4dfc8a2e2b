-- A test tool that does nothing.
Plain_a = {}
ScriptName = "Plain_a"

function Plain_a:UILabel() return "Plain a" end
function Plain_a:Description() return "Plain tool a" end
function Plain_a:ResetPrefs() Resets = (Resets or "") .. "a" end
