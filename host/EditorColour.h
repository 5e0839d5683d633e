#pragma once

#include "KrolHostGlobal.h"

#include <QColor>
#include <QMap>
#include <QMetaType>
#include <QString>

// Text and background colour of one kind of editor text.
struct TEditorColour
{
    QColor Foreground;
    QColor Background;

    bool operator==(const TEditorColour& o) const { return Foreground == o.Foreground && Background == o.Background; }
    bool operator!=(const TEditorColour& o) const { return !(*this == o); }
};

// Keyed by the names below.
using TEditorColourMap = QMap<QString, TEditorColour>;

namespace EditorColour {
inline constexpr char KROLCommand[] = "KROL Command";
inline constexpr char Comment[] = "Comment";
inline constexpr char AsmDirective[] = "Assembler Directive";
inline constexpr char OtherText[] = "Other Text";
inline constexpr char SelectedText[] = "Selected Text";
inline constexpr char ActiveLine[] = "Active Line";
inline constexpr char HighlightedError[] = "Highlighted Error";
inline constexpr char HighlightedBreakpoint[] = "Highlighted Breakpoint";

// The default colours of a KROL editor.
KROLHOST_EXPORT extern const TEditorColourMap KROL;
}

Q_DECLARE_METATYPE(TEditorColour)
