#pragma once

#include <QString>

// How the main window starts; main() fills it from the command line, tests directly.
struct IdeOptions
{
    // Where the tool plug-ins are; empty: next to the program.
    QString pluginFolder;
    // The module description of the first virtual module; empty: the modules open at the last
    // exit, else the virtual module's own description.
    QString moduleFile;
    // Virtual modules follow the real clock; tests advance them by hand instead.
    bool realTime = true;
    // Window layout and open modules come back from the last exit.
    bool restore = true;
};
