#include <gtest/gtest.h>

#include "blend_tables.h"

namespace {

// The application builds the blend tables at start-up, before anything is drawn; every effect
// composites through them.
class StyleTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override { BuildBlendTables(); }
};

[[maybe_unused]] ::testing::Environment* const gEnvironment
    = ::testing::AddGlobalTestEnvironment(new StyleTestEnvironment);

} // namespace
