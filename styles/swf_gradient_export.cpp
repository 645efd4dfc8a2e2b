#include "swf_gradient_export.h"

#include "gradient_stop.h"
#include "ss_gradient2.h"
#include "swf_gradient_reader.h"

namespace {

bool ReadGradient(M_ShapeStyle* style, int32_t frame, SwfGradientEffect& out)
{
    SS_Gradient2* gradient = dynamic_cast<SS_Gradient2*>(style);
    if (!gradient)
        return false;
    out.fType = gradient->fType;
    out.fCount = 0;
    for (int32_t i = 0; i < gradient->CountStops() && out.fCount < kSwfMaxGradientStops; i++) {
        GradientStop* stop = gradient->Stop(i);
        if (!stop)
            continue;
        out.fStops[out.fCount++] = { stop->fPosition.GetValue(frame), stop->fColor.GetValue(frame).AsColorStruct() };
    }
    return true;
}

}  // namespace

void RegisterSwfGradientReader() { SetSwfGradientReader(ReadGradient); }
