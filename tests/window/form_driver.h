// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Drives the real window as a user would, for the window's test programs:
// typing into a field, pressing a button or a key where the focus is, and
// opening a result's context menu. What to check is each test's own.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "window/form1.h"

namespace driver {

inline void type(const Form1& form, tarvelin::Field field, const QString& text) {
    QLineEdit* edit = form.field(field);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// A button or a box by its name, "Command2" or "Check1", clicked.
inline void click(const Form1& form, const QString& name) {
    QTest::mouseClick(form.findChild<QAbstractButton*>(name), Qt::LeftButton);
}

// A key pressed as the window system delivers it, to wherever the focus is,
// so that the window's shortcuts see it first.
inline void key(Form1& form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(form.windowHandle(), key, modifiers);
}

// "Text5=3" types 3 into Text5; "Command2" or "Check3" clicks it.
inline void act(const Form1& form, const QString& action) {
    if (action.contains('=')) {
        type(form, tarvelin::Field(action.section('=', 0, 0).mid(4).toInt() - 1),
             action.section('=', 1));
    } else {
        click(form, action);
    }
}

inline void workedExample(const Form1& form) {
    for (const char* action : {"Text1=4", "Text4=12", "Text5=4", "Text7=5", "Command1", "Check1",
                               "Command2", "Command3", "Command4", "Command5"}) {
        act(form, action);
    }
}

// The entry of a field's context menu opened as a right click opens it, or
// null; the menu stays open until closed.
inline QAction* menuEntry(const Form1& form, tarvelin::Field field, const QString& text) {
    QLineEdit* edit = form.field(field);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(4, 4),
                            edit->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(edit, &click);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    const QList<QAction*> entries = menu != nullptr ? menu->actions() : QList<QAction*>();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&text](const QAction* a) { return a->text() == text; });
    return found != entries.end() ? *found : nullptr;
}

inline void closeMenu() {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        menu->close();
    }
}

}  // namespace driver
