#pragma once

#include <cstdint>

#include "eps_parser.h"

class M_Mesh;
class QV_IoStream;
struct PathBuilder;

// Reads the paths and flat colours of an EPS or older Illustrator drawing into the builder's
// mesh: a token scanner over the file, not a PostScript interpreter.
void ParseEPSFile(PathBuilder& builder, QV_IoStream* stream, int32_t docHeight, ImportProgress progress);

// The reader the document's EPS import calls: a builder for the mesh at frame 0.
void ReadEPSIntoMesh(QV_IoStream* stream, M_Mesh* mesh, int32_t docHeight, ImportProgress progress);

// Shows the reader's alerts (three lines and OK); the main window's alert unless replaced.
extern void (*gEPSAlert)(const char* line1, const char* line2, const char* line3);
