#pragma once

#include <QLabel>
#include <QString>
#include <QTest>
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

// Types a text into a control key by key, Japanese included (QTest::keyClicks knows ASCII only).
inline void typeText(QWidget* control, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, text.mid(i, width), Qt::NoModifier);
        i += width - 1;
    }
}

} // namespace mirai::test
