// The program's start: which mode the command line asks for, the splash, the main window or
// the batch run without any window.
#pragma once

#include <QStringList>

namespace sondar {

// True when a window can be shown (an X or Wayland display, or a Qt platform named).
bool displayAvailable();

// Runs the program; returns the process exit status.
int runProgram(int argc, char** argv);

}  // namespace sondar
