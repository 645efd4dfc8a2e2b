#include "swf_gradient_reader.h"

namespace {

SwfGradientReader gReader = nullptr;

}  // namespace

void SetSwfGradientReader(SwfGradientReader reader) { gReader = reader; }

SwfGradientReader GetSwfGradientReader() { return gReader; }
