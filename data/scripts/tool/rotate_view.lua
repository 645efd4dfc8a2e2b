-- Rotate View: the canvas's own rotate binding, driven by the drag; the document is not changed.
QV_RotateView = {}
ScriptName = "QV_RotateView"

CelUtil.DefineInfo(QV_RotateView, "Rotate View", "Drag around the view's centre to turn the view", "q")

CelUtil.DefineViewDrag(QV_RotateView, "Rotate")
