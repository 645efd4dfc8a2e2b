#pragma once

#include <cstdint>

#include "qv_layer.h"

// The console window's one layer: window background behind the scrolling view of lines.
class QVi_ConsoleLayer : public QV_Layer {
public:
    explicit QVi_ConsoleLayer(int32_t follow);

    void Draw() override;
    // A redraw of the window is also the moment the lines printed by other threads meanwhile
    // come in: those threads wake the console window for it.
    void Update(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
};
