#pragma once
#include "qv_layer.h"

// A layer in which Tab and Shift+Tab move the keyboard focus between its
// fields; floating panels live in one.
class TabbingLayer : public QV_Layer {
public:
    using QV_Layer::QV_Layer;
    bool TabNavigation() override { return true; }
};
