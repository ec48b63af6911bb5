#include "common/units.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace units {

int twipsToPixels(int twips, const QWidget* widget)
{
    double dpi = 96.0;
    if (widget)
        dpi = widget->logicalDpiY();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        dpi = screen->logicalDotsPerInchY();
    return int(std::lround(twips * dpi / 1440.0));
}

} // namespace units
