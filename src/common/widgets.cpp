#include "common/widgets.h"

#include <QApplication>
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

FocusReturn::FocusReturn(QWidget* parent) : m_window(parent ? parent->window() : nullptr) {}

FocusReturn::~FocusReturn()
{
    if (m_window && m_window->isVisible() && QApplication::activeWindow() != m_window
        && !QApplication::activeModalWidget())
        m_window->activateWindow();
}

} // namespace widgets
