#pragma once

#include "qv_pixelbuffer.h"

// Interface pictures: PNG files of the Resources folder, read on first use
// and kept by the application object for the whole run.

// The raster of the image "name.png" (32-bit). Never null: a file that is
// missing or unreadable gives a black 32 x 32 placeholder with a red cross,
// after one warning per name. The raster stays valid while the application
// object lives.
QV_PixelBuffer* GetResourceImage(const char* name);

// Tells the user that an interface picture is missing; called once per
// name. It writes the warning to the standard error and, once a window of
// the toolkit exists, shows it in an alert; tests replace it.
extern void (*gMissingImageWarning)(const char* name);
