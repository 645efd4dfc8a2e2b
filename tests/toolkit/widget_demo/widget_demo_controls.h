#pragma once

// The "controls" mode of the widget demo; its exit status.
int RunControlsDemo();
