#pragma once

#include "TMotionTable.h"

#include <QString>

class QCoreApplication;
class QIODevice;

// The krolplot library, loaded only when `krol sim --plot` asks for a chart: drawing needs
// QtGui and a GUI application, which every other run of krol does without.
namespace PlotLibrary {

// True when the command line asks for a chart (`krol sim ... --plot FILE`).
bool requested(int argc, char** argv);

// Loads the library and makes its application object (offscreen platform); null with *error
// when the library cannot be loaded.
QCoreApplication* makeApplication(int& argc, char** argv, QString* error);

// Writes the chart of the table as SVG; false with *error.
bool writeSvg(const TMotionTable& table, QIODevice* device, QString* error);

} // namespace PlotLibrary
