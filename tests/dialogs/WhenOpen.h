// Driving a modal dialog from a test: the steps run once the dialog of the given type is
// open (its exec() has started), and the dialog is closed if the steps did not close it.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QtTest>

#include <functional>

template <typename T> void WhenOpen(const std::function<void(T&)>& Steps) {
    QTimer::singleShot(0, [Steps] {
        auto* Dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        QVERIFY(Dialog);
        Steps(*Dialog);
        if (Dialog->isVisible()) Dialog->reject();
    });
}
