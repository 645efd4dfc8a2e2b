#pragma once

// Process-wide start and end of the toolkit, once each, on the interface
// thread: the random generator, the blend tables, the image plug-ins, the
// video layer with the tablet probe and the built-in cursors, the font
// library and the interface fonts.
void ToolkitStartup();
void ToolkitShutdown();
