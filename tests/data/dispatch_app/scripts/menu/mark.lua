-- A test menu script: counts its runs and notes the frame it ran at.
Mark = {}
ScriptName = "Mark"

function Mark:UILabel() return "Mark" end
function Mark:Run(si)
    MarkRuns = (MarkRuns or 0) + 1
    MarkFrame = si.frame
end
