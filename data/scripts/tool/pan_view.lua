-- Pan View: the canvas's own pan binding, driven by the drag; the document is not changed.
QV_PanView = {}
ScriptName = "QV_PanView"

CelUtil.DefineInfo(QV_PanView, "Pan View", "Drag to move the view", "h")

CelUtil.DefineViewDrag(QV_PanView, "Pan")
