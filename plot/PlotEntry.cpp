#include "PlotEntry.h"

#include "MotionChart.h"

#include <QApplication>

#include <type_traits>

#define KROLPLOT_ENTRY extern "C" __attribute__((visibility("default")))

KROLPLOT_ENTRY QCoreApplication* krolPlotApplication(int* argc, char** argv)
{
    // No display is needed: the chart is drawn into a file. A QApplication rather than a
    // QGuiApplication while krol still builds the engine's dialogs (never shown) for sources.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(*argc, argv);
}

KROLPLOT_ENTRY bool krolPlotWriteSvg(const TMotionTable* table, QIODevice* device, QString* error)
{
    return MotionChart(*table).writeSvg(device, error);
}

// The signatures krol calls them with.
static_assert(std::is_same<decltype(&krolPlotApplication), KrolPlotApplicationFunction>::value, "");
static_assert(std::is_same<decltype(&krolPlotWriteSvg), KrolPlotWriteFunction>::value, "");
