#pragma once

#include <cstdint>

#include "qv_rect.h"

// The arrangement of the main layer: bars, docked panels, the splitter and the canvas area.
// Rectangles are inclusive, in the layer's coordinates; a panel that is not docked is ignored.
struct MainLayoutInput {
    int32_t width = 0;
    int32_t height = 0;
    // Bottom of the tool options bar (or of the status bar when it is on top).
    int32_t topEdge = 0;
    // The layer's bottom (status bar on top) or the row above the status bar.
    int32_t bottomEdge = 0;
    int32_t toolBarBottom = 0;
    // Line height of the panel-title font.
    int32_t titleHeight = 0;
    int32_t minPanelWidth = 220;
    int32_t menuBarHeight = 0;
    int32_t toolBarHeight = 0;
    int32_t statusBarHeight = 0;
    int32_t playbackHeight = 0;
    bool toolsDocked = false;
    bool styleDocked = false;
    bool layersDocked = false;
    bool timelineDocked = false;
    // Current frames; their sizes are kept where the layout gives none.
    QV_Rect tools;
    QV_Rect style;
    QV_Rect layers;
    QV_Rect timeline;
};

struct MainLayout {
    QV_Rect tools;
    QV_Rect style;
    QV_Rect layers;
    QV_Rect timeline;
    QV_Rect playback;
    QV_Rect canvas;
    QV_Rect splitter;
};

// Places the docked panels and the playback bar, then the canvas area and the splitter.
MainLayout ComputeMainLayout(const MainLayoutInput& in);
// The tallest a docked timeline may be; 10000 when it floats.
int32_t MaxTimelineHeight(const MainLayoutInput& in);
// The canvas area and splitter of an arrangement (filled in by ComputeMainLayout).
QV_Rect CanvasAreaOf(const MainLayoutInput& in, const MainLayout& layout);
QV_Rect RightSplitterOf(const MainLayoutInput& in, const MainLayout& layout);

inline int32_t RectWidth(const QV_Rect& r) { return r.right - r.left + 1; }
inline int32_t RectHeight(const QV_Rect& r) { return r.bottom - r.top + 1; }
