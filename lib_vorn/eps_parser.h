#pragma once

#include <cstdint>

class M_Mesh;
class QV_IoStream;

// Progress of an import: a step number and the fraction done.
using ImportProgress = void (*)(int32_t step, float fraction);

// The shell's reader of EPS and Illustrator drawings: fills the mesh from the stream, sizing
// line widths by the document height. The document only cares whether points resulted. The
// shell installs its reader; without one an import finds no points.
using EPSParser = void (*)(QV_IoStream* stream, M_Mesh* mesh, int32_t docHeight, ImportProgress progress);

// Null: no reader. Answers the reader that was installed before.
EPSParser SetEPSParser(EPSParser parser);
EPSParser GetEPSParser();
