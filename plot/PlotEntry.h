#pragma once

#include "TMotionTable.h"

class QCoreApplication;
class QIODevice;
class QString;

// The entry points of the krolplot library, which krol looks up by name (QLibrary::resolve).

// Makes the application object that drawing text needs (a GUI application on the offscreen
// platform), in place of krol's core application; argc must outlive it.
using KrolPlotApplicationFunction = QCoreApplication* (*)(int* argc, char** argv);
constexpr const char* KrolPlotApplicationSymbol = "krolPlotApplication";

// Writes the chart of the table as SVG into an open device; false with *error when it could not.
using KrolPlotWriteFunction = bool (*)(const TMotionTable* table, QIODevice* device, QString* error);
constexpr const char* KrolPlotWriteSymbol = "krolPlotWriteSvg";
