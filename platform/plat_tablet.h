#pragma once

// Pen pressure from a drawing tablet: an input device of the X server with a
// pressure axis (XInput 2). Without X11, without XInput 2 or without such a
// device there is no tablet and the pressure stays 0. Interface thread only,
// except PlatTabletPressure.

// True when a device with a pressure axis is attached.
bool PlatTabletProbe();
// Starts reading the pressure; false (and no tablet) when it cannot.
bool PlatTabletOpen();
void PlatTabletClose();
// While disabled (none of the program's windows is active) the pressure
// keeps its last value.
void PlatTabletEnable(bool enabled);
// The last pressure read, 0 to 1 over the device's range; 0 until one
// arrives. Any thread.
float PlatTabletPressure();
