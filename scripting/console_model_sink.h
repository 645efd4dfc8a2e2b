#pragma once

// While a script host exists the model's diagnostic lines (the range messages) go to the Lua
// console rather than to standard error. Each host calls these from its constructor and
// destructor; a sink that someone else installed is left in place.
void AttachConsoleToModel();
void DetachConsoleFromModel();
