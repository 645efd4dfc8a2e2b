#include "vorn_view.h"

VornView::~VornView() = default;

QV_Vector2 VornView::Point2Vec(const QV_Point& pt, const QV_Matrix* layerTransform)
{
    (void)pt;
    (void)layerTransform;
    return QV_Vector2 { 0, 0 };
}

int32_t VornView::PickPoint(const QV_Point& pt, int32_t tolerance)
{
    (void)pt;
    (void)tolerance;
    return -1;
}

void VornView::PickEdge(const QV_Point& pt, int32_t& curve, int32_t& segment, int32_t tolerance)
{
    (void)pt;
    (void)tolerance;
    curve = -1;
    segment = -1;
}

int32_t VornView::PickShape(const QV_Point& pt, int32_t start, int32_t tolerance)
{
    (void)pt;
    (void)start;
    (void)tolerance;
    return -1;
}

int32_t VornView::PickBone(const QV_Point& pt, const QV_Vector2& vec, VornLayer* layer, bool exact, int32_t tolerance)
{
    (void)pt;
    (void)vec;
    (void)layer;
    (void)exact;
    (void)tolerance;
    return -1;
}

void VornView::FloodSelect(const QV_Point& pt, int32_t tolerance)
{
    (void)pt;
    (void)tolerance;
}

M_Shape* VornView::PickGlobalShape(const QV_Point& pt, int32_t start, int32_t tolerance)
{
    (void)pt;
    (void)start;
    (void)tolerance;
    return nullptr;
}

void VornView::ResetView(int32_t mode) { (void)mode; }
void VornView::PanMoved(const QV_Point& pt) { (void)pt; }
void VornView::ZoomDown(const QV_Point& pt) { (void)pt; }
void VornView::ZoomMoved(const QV_Point& pt) { (void)pt; }
void VornView::ZoomUp(const QV_Point& pt) { (void)pt; }
void VornView::RotateMoved(const QV_Point& pt) { (void)pt; }
void VornView::OrbitDown(const QV_Point& pt) { (void)pt; }
void VornView::OrbitMoved(const QV_Point& pt) { (void)pt; }
