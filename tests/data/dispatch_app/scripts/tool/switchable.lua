-- A test tool that a test switches off by setting SwitchableOff.
Switchable = {}
ScriptName = "Switchable"

function Switchable:UILabel() return "Switchable" end
function Switchable:Description() return "Enabled until switched off" end
function Switchable:IsEnabled(si) return not SwitchableOff end
