-- A test button: counts its runs.
Stamp = {}
ScriptName = "Stamp"

function Stamp:UILabel() return "Stamp" end
function Stamp:Run(si) StampRuns = (StampRuns or 0) + 1 end
