-- Stands for the point-moving tool a paste switches to.
QV_TranslatePoints = {}
ScriptName = "QV_TranslatePoints"

function QV_TranslatePoints:UILabel() return "Move points" end
