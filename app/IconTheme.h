#pragma once

#include <QIcon>

class QPalette;
class QWidget;

// Fits a tool's icons to the application's colours. The workbench icons are drawn dark on
// light; on a dark palette the host turns their lightness around (keeping hue and saturation)
// so they stay visible. Icons whose action carries the dynamic property "dpIgnCol" keep their
// own colours: they are meant to look the same everywhere.
class IconTheme
{
public:
    // A palette whose window colour is darker than middle grey.
    static bool isDark(const QPalette& palette);
    // The icon with the lightness of every pixel inverted.
    static QIcon inverted(const QIcon& icon);
    // Fits the icons of the tool's actions to the palette, inverted on a dark one and as drawn
    // on a light one, whatever it was fitted to before; returns how many changed.
    static int apply(QWidget* tool, const QPalette& palette);
};
