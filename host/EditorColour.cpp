#include "EditorColour.h"

namespace EditorColour {

const TEditorColourMap KROL {
    {QLatin1String(KROLCommand), {QColor(0, 0, 255), QColor(255, 255, 255)}},
    {QLatin1String(Comment), {QColor(0, 128, 0), QColor(255, 255, 255)}},
    {QLatin1String(AsmDirective), {QColor(0, 0, 0), QColor(255, 255, 255)}},
    {QLatin1String(OtherText), {QColor(0, 0, 0), QColor(255, 255, 255)}},
    {QLatin1String(SelectedText), {QColor(0, 0, 0), QColor(255, 255, 127)}},
    {QLatin1String(ActiveLine), {QColor(0, 0, 0), QColor(240, 240, 240)}},
    {QLatin1String(HighlightedError), {QColor(0, 0, 0), QColor(255, 0, 0)}},
    {QLatin1String(HighlightedBreakpoint), {QColor(255, 255, 255), QColor(128, 0, 0)}},
};

}
