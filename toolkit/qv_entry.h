#pragma once

// The program's entry behind main: keeps the command line, starts the
// toolkit, runs the application's main routine (which builds the application
// object and runs it) and shuts the toolkit down. Returns the exit status, 0.
int ToolkitMain(int argc, char** argv, void (*runApplication)());

// gCommandLine: the arguments joined with single spaces, trimmed;
// gLongCommandLine: the absolute path of the untrimmed text when it names an
// existing file, else empty.
void SetCommandLine(int argc, char** argv);
