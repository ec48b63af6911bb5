#pragma once
// Helpers for window tests: find controls by objectName, press keys, and
// let queued events run.

#include "printers.h"
#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace testsupport {

template <typename T>
T* child(QObject* parent, const char* name)
{
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control named " << name;
    return found;
}

// A top-level window of the application by objectName (visible or not).
template <typename T = QWidget>
T* topLevel(const char* name)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String(name))
            if (auto* t = qobject_cast<T*>(widget))
                return t;
    }
    return nullptr;
}

// The visible top-level windows of the application with that objectName.
inline QList<QWidget*> topLevels(const char* name)
{
    QList<QWidget*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name) && widget->isVisible())
            found << widget;
    return found;
}

// Presses Alt + an access key. A button pressed by its access key shows the
// press briefly before it clicks, so the click comes a moment later.
inline void accessKey(QWidget* widget, Qt::Key key)
{
    QTest::keyClick(widget, key, Qt::AltModifier);
    QTest::qWait(150);
}

// Runs queued events, deferred deletes included.
inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
}

} // namespace testsupport
