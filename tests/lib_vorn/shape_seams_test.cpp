#include <gtest/gtest.h>

#include "m_mesh.h"
#include "m_shape.h"
#include "shape_seams.h"

namespace {

M_Shape* Shape(bool filled, std::initializer_list<std::pair<int32_t, int32_t>> edges)
{
    M_Shape* shape = new M_Shape(0);
    shape->fHasFill = filled;
    for (const auto& [curve, segment] : edges)
        shape->AddEdge(curve, segment, 0);
    return shape;
}

// The table answers what asking every shape above did: the topmost filled shape holding a
// segment, whatever its position in that shape's edge list, outlines passed over.
TEST(ShapeSeamTable, TopmostFilledShapePerSegment)
{
    M_Mesh mesh;
    mesh.AddShape(Shape(true, { { 0, 0 }, { 0, 1 }, { 1, 0 } }));
    mesh.AddShape(Shape(true, { { 1, 0 }, { 0, 1 } }));
    mesh.AddShape(Shape(false, { { 0, 0 }, { 1, 0 } }));
    mesh.AddShape(Shape(true, { { 2, 5 }, { 0, 1 } }));
    ShapeSeamTable table;
    EXPECT_EQ(table.ShapeCount(), -1);
    table.Build(mesh);
    EXPECT_EQ(table.ShapeCount(), 4);
    EXPECT_EQ(table.TopFilledShape(0, 0), 0);
    EXPECT_EQ(table.TopFilledShape(0, 1), 3);
    EXPECT_EQ(table.TopFilledShape(1, 0), 1);
    EXPECT_EQ(table.TopFilledShape(2, 5), 3);
    // Segment and curve are not interchangeable, and unknown segments have no shape.
    EXPECT_EQ(table.TopFilledShape(1, 1), -1);
    EXPECT_EQ(table.TopFilledShape(5, 2), -1);
    EXPECT_EQ(table.TopFilledShape(-1, 0), -1);

    // Rebuilt from a changed mesh, nothing of the old one stays.
    M_Mesh other;
    other.AddShape(Shape(true, { { 7, 0 } }));
    table.Build(other);
    EXPECT_EQ(table.ShapeCount(), 1);
    EXPECT_EQ(table.TopFilledShape(7, 0), 0);
    EXPECT_EQ(table.TopFilledShape(0, 1), -1);
}

} // namespace
