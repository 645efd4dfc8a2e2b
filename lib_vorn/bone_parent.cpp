#include "bone_parent.h"

BoneParent::~BoneParent() = default;
