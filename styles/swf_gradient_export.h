#pragma once

// Hands the vector layer's SWF export the stops of a shape's multi-stop gradient.
void RegisterSwfGradientReader();
