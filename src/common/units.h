#pragma once
// Window sizes are designed in twips (1/1440 inch) and shown at the
// screen's resolution.

class QWidget;

namespace units {

int twipsToPixels(int twips, const QWidget* widget = nullptr);

} // namespace units
