-- Stands for the bone-moving tool a bone paste switches to.
QV_TranslateBone = {}
ScriptName = "QV_TranslateBone"

function QV_TranslateBone:UILabel() return "Move bone" end
