#pragma once

// The "codec" mode of the widget demo: widget_demo codec avi|mov OUT WIDTH HEIGHT; its exit
// status.
int RunCodecDemo(int argc, char** argv);
