#include "main_layout.h"

#include <algorithm>

namespace {

QV_Rect At(int32_t left, int32_t top, int32_t width, int32_t height)
{
    return QV_Rect { left, top, left + width - 1, top + height - 1 };
}

} // namespace

int32_t MaxTimelineHeight(const MainLayoutInput& in)
{
    if (!in.timelineDocked)
        return 10000;
    const int32_t available = in.height - in.menuBarHeight - in.toolBarHeight - in.statusBarHeight
        - in.playbackHeight - in.titleHeight - 3;
    int32_t above = 0;
    if (in.styleDocked && !in.layersDocked)
        above = RectHeight(in.style);
    if (in.toolsDocked)
        above = std::max(above, RectHeight(in.tools));
    if (above == 0)
        return available;
    return available - above - in.titleHeight - 3;
}

MainLayout ComputeMainLayout(const MainLayoutInput& in)
{
    MainLayout out;
    out.tools = in.tools;
    out.style = in.style;
    out.layers = in.layers;
    out.timeline = in.timeline;
    const int32_t hang = in.titleHeight + 4;

    if (in.toolsDocked)
        out.tools = At(0, in.topEdge + hang, RectWidth(in.tools), RectHeight(in.tools));

    int32_t layersTop = in.topEdge;
    if (in.styleDocked) {
        int32_t styleWidth = in.minPanelWidth;
        if (in.layersDocked) {
            const int32_t width = std::max(RectWidth(in.layers), in.minPanelWidth);
            out.layers = At(in.layers.left, in.layers.top, width, RectHeight(in.layers));
            styleWidth = width;
        }
        out.style = At(in.width - styleWidth, in.topEdge + hang, styleWidth, RectHeight(in.style));
        layersTop = out.style.bottom;
    }
    const int32_t column = in.layersDocked ? RectWidth(out.layers) : (in.styleDocked ? RectWidth(out.style) : 0);

    if (in.timelineDocked) {
        MainLayoutInput sized = in;
        const int32_t height = std::min(RectHeight(in.timeline), MaxTimelineHeight(sized));
        const int32_t width = in.layersDocked ? in.width - column - 5 : in.width;
        out.timeline = At(0, in.bottomEdge - 1 - height + 1, width, height);
        const int32_t top = out.timeline.top - in.titleHeight - 3 - in.playbackHeight;
        out.playback = At(0, top, in.width, in.playbackHeight);
    } else {
        out.playback = At(0, in.bottomEdge - in.playbackHeight, in.width, in.playbackHeight);
    }

    if (in.layersDocked) {
        const int32_t top = layersTop + hang;
        const int32_t bottom = in.timelineDocked ? in.bottomEdge - 1 : out.playback.top - 1;
        out.layers = QV_Rect { in.width - column, top, in.width - 1, std::max(bottom, top) };
        if (in.timelineDocked)
            out.playback.right = out.playback.left + (in.width - column - 5) - 1;
    }
    out.canvas = CanvasAreaOf(in, out);
    out.splitter = RightSplitterOf(in, out);
    return out;
}

QV_Rect CanvasAreaOf(const MainLayoutInput& in, const MainLayout& layout)
{
    QV_Rect area;
    area.left = in.toolsDocked ? layout.tools.right + 1 : 0;
    area.top = in.topEdge + 1;
    if (in.layersDocked)
        area.right = layout.layers.left - 6;
    else if (in.styleDocked)
        area.right = layout.style.left - 6;
    else
        area.right = in.width - 1;
    area.bottom = layout.playback.top - 1;
    return area;
}

QV_Rect RightSplitterOf(const MainLayoutInput& in, const MainLayout& layout)
{
    if (in.layersDocked) {
        const int32_t bottom = in.timelineDocked ? in.bottomEdge - 1 : layout.playback.top - 1;
        return QV_Rect { layout.layers.left - 5, in.toolBarBottom + 1, layout.layers.left - 1, bottom };
    }
    if (in.styleDocked)
        return QV_Rect { layout.style.left - 5, in.toolBarBottom + 1, layout.style.left - 1, layout.playback.top - 1 };
    return QV_Rect { -1000, -1000, -900, -900 };
}
