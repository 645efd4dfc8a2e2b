#pragma once

#include "qv_graphics.h"
#include "qv_matrix.h"
#include "qv_rect.h"
#include "qv_vector.h"

// The QV_Graphics members whose script form differs from the context's own: nil points,
// vectors, rectangles and matrices do nothing (false where an answer is due), unusable pen
// widths and curve tolerances are raised to the least that draws, and the integer forms of
// MoveTo and LineTo truncate.
namespace qvgraphics {

// At least 1 pixel.
void SetPenWidth(QV_Graphics* self, int width);
// At least 0.01; NaN gives 0.01.
void SetBezierTolerance(QV_Graphics* self, float tolerance);
void ScreenToWorld(QV_Graphics* self, QV_Point* p, QV_Vector2* v);
void ScreenToWorldVec3(QV_Graphics* self, QV_Point* p, QV_Vector3* v);
bool WorldToScreen(QV_Graphics* self, QV_Vector2* v, QV_Point* p);
bool WorldToScreenPoint(QV_Graphics* self, QV_Vector2* v, QV_Vector2* q);
void ApplyMatrix(QV_Graphics* self, const QV_Matrix* m);
void BeginPicking(QV_Graphics* self, QV_Point* p, int radius);
bool IsFullWhite(QV_Graphics* self, QV_Point* p);
void SelectionRect(QV_Graphics* self, QV_Rect* r, bool fill);
void Clear(QV_Graphics* self, unsigned char r, unsigned char g, unsigned char b, unsigned char a);
void MoveTo(QV_Graphics* self, float x, float y);
void MoveToInt(QV_Graphics* self, int x, int y);
void LineTo(QV_Graphics* self, float x, float y);
void LineToInt(QV_Graphics* self, int x, int y);
void AddLine(QV_Graphics* self, QV_Vector2* a, QV_Vector2* b);
void EndShape(QV_Graphics* self);
void FrameCircle(QV_Graphics* self, QV_Vector2* centre, float radius);
void FillCircle(QV_Graphics* self, QV_Vector2* centre, float radius);

} // namespace qvgraphics
