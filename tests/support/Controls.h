#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

namespace mirai::test {

// A control of a screen by its name; a missing one fails the test.
template <class T = QLabel> T* control(QWidget* screen, const QString& name) {
    T* widget = screen ? screen->findChild<T*>(name) : nullptr;
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
}

// The text of a label of a screen; empty (and the test failed) when there is no such label.
inline QString labelText(QWidget* screen, const QString& name) {
    QLabel* label = control(screen, name);
    return label ? label->text() : QString();
}

} // namespace mirai::test
