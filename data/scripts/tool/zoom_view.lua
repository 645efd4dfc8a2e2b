-- Zoom View: the canvas's own zoom binding, driven by the drag; the document is not changed.
QV_ZoomView = {}
ScriptName = "QV_ZoomView"

CelUtil.DefineInfo(QV_ZoomView, "Zoom View", "Drag right to zoom in, left to zoom out", "z")

CelUtil.DefineViewDrag(QV_ZoomView, "Zoom")
