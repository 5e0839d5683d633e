#include "IconTheme.h"

#include <QAction>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

namespace {
const char* const DrawnIcon = "krolDrawnIcon";
}

bool IconTheme::isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

QIcon IconTheme::inverted(const QIcon& icon)
{
    QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty())
        sizes = {QSize(16, 16), QSize(32, 32)};
    QIcon result;
    for (const QSize& size : sizes) {
        QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                QColor c = QColor::fromRgba(line[x]);
                int h, s, l, a;
                c.getHsl(&h, &s, &l, &a);
                c.setHsl(h, s, 255 - l, a);
                line[x] = c.rgba();
            }
        }
        result.addPixmap(QPixmap::fromImage(image));
    }
    return result;
}

int IconTheme::apply(QWidget* tool, const QPalette& palette)
{
    const bool dark = isDark(palette);
    int changed = 0;
    const QList<QAction*> actions = tool->findChildren<QAction*>();
    for (QAction* action : actions) {
        if (action->icon().isNull() || action->property("dpIgnCol").toBool())
            continue;
        // An inverted icon keeps the one it was made from, which a light palette brings back.
        const QVariant drawn = action->property(DrawnIcon);
        if (dark == drawn.isValid())
            continue;
        if (dark) {
            action->setProperty(DrawnIcon, action->icon());
            action->setIcon(inverted(action->icon()));
        } else {
            action->setIcon(drawn.value<QIcon>());
            action->setProperty(DrawnIcon, QVariant());
        }
        ++changed;
    }
    return changed;
}
