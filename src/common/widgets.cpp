#include "common/widgets.h"

#include <QPushButton>

namespace widgets {

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    setCaption(b, caption);
    return b;
}

void setCaption(QAbstractButton* button, const QString& caption)
{
    button->setText(caption);
    button->setAccessibleName(QString(caption).remove(u'&'));
}

void bringForward(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace widgets
