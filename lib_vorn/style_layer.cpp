#include "style_layer.h"

StyleLayer::~StyleLayer() = default;
