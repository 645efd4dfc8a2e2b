#pragma once

#include <cstdint>

class QV_IoStream;
class VornLayer;

// A new layer of the type code: 2 image, 3 group, 4 bone, 5 switch, 6 particle, 7 note, 8 3D,
// 9 audio; every other code, 0 and 1 included, a vector layer. Null when memory runs out, and
// for the kinds this program does not hold yet (image, particle, 3D and audio
// layers come with their own code).
VornLayer* LayerFactory(int32_t type);

// For a type code whose kind this program does not hold yet: sets the stream's error text to
// say which kind is not supported yet and where, so that a user can tell a limitation from a
// damaged file. Nothing for the kinds it holds.
void ReportUnsupportedLayer(QV_IoStream* stream, int32_t type);
// The same for other content: kinds is its plural as a sentence starts ("Soundtracks").
void ReportUnsupported(QV_IoStream* stream, const char* kinds);
