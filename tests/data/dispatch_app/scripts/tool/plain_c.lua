-- A test tool that does nothing.
Plain_c = {}
ScriptName = "Plain_c"

function Plain_c:UILabel() return "Plain c" end
function Plain_c:Description() return "Plain tool c" end
function Plain_c:ResetPrefs() Resets = (Resets or "") .. "c" end
