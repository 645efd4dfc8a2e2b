#include "qv_graphics_bindings.h"

#include <cmath>

namespace qvgraphics {

void SetPenWidth(QV_Graphics* self, int width) { self->SetPenWidth(width < 1 ? 1 : width); }

void SetBezierTolerance(QV_Graphics* self, float tolerance)
{
    // A tolerance of 0 or less would flatten a curve into endless steps.
    self->SetBezierTolerance(std::isnan(tolerance) || tolerance < 0.01f ? 0.01f : tolerance);
}

void ScreenToWorld(QV_Graphics* self, QV_Point* p, QV_Vector2* v)
{
    if (p && v)
        self->ScreenToWorld(*p, *v);
}

void ScreenToWorldVec3(QV_Graphics* self, QV_Point* p, QV_Vector3* v)
{
    if (p && v)
        self->ScreenToWorld(*p, *v);
}

bool WorldToScreen(QV_Graphics* self, QV_Vector2* v, QV_Point* p)
{
    return v && p && self->WorldToScreen(*v, *p);
}

bool WorldToScreenPoint(QV_Graphics* self, QV_Vector2* v, QV_Vector2* q)
{
    return v && q && self->WorldToScreen(*v, *q);
}

void ApplyMatrix(QV_Graphics* self, const QV_Matrix* m)
{
    if (m)
        self->ApplyMatrix(*m);
}

void BeginPicking(QV_Graphics* self, QV_Point* p, int radius)
{
    if (p)
        self->BeginPicking(p->x, p->y, radius);
}

bool IsFullWhite(QV_Graphics* self, QV_Point* p) { return p && self->IsFullWhite(p->x, p->y); }

void SelectionRect(QV_Graphics* self, QV_Rect* r, bool fill)
{
    if (r)
        self->SelectionRect(r->left, r->top, r->right, r->bottom, fill);
}

void Clear(QV_Graphics* self, unsigned char r, unsigned char g, unsigned char b, unsigned char a)
{
    self->Clear(rgb_color { r, g, b, a });
}

void MoveTo(QV_Graphics* self, float x, float y) { self->MoveTo(x, y); }
void MoveToInt(QV_Graphics* self, int x, int y) { self->MoveTo(int32_t(x), int32_t(y)); }
void LineTo(QV_Graphics* self, float x, float y) { self->LineTo(x, y); }
void LineToInt(QV_Graphics* self, int x, int y) { self->LineTo(int32_t(x), int32_t(y)); }

void AddLine(QV_Graphics* self, QV_Vector2* a, QV_Vector2* b)
{
    if (a && b)
        self->AddLine(*a, *b);
}

void EndShape(QV_Graphics* self) { self->EndShape(); }

void FrameCircle(QV_Graphics* self, QV_Vector2* centre, float radius)
{
    if (centre)
        self->FrameCircle(radius, centre->x, centre->y);
}

void FillCircle(QV_Graphics* self, QV_Vector2* centre, float radius)
{
    if (centre)
        self->FillCircle(radius, centre->x, centre->y);
}

} // namespace qvgraphics
