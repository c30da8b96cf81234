// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Drives the real window as a user would, for the window's test programs:
// typing into a field, pressing a button or a key where the focus is, opening
// a result's context menu, a fixture of one window per case and the test
// screen they run on. What to check is each test's own.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>

#include "window/form1.h"
#include "window/odds_tip.h"

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

inline QString sheetText(const Form1& form, tarvelin::Field field) {
    return QString::fromStdString(form.sheet().text(field));
}

// The window a test program's cases share, opened afresh for each case, with
// the shorthands they drive it by.
class FormFixture {
protected:
    std::unique_ptr<Form1> form;

    [[nodiscard]] bool open(const std::string& separator = ".") {
        form = std::make_unique<Form1>(separator);
        form->show();
        return QTest::qWaitForWindowActive(form.get());
    }
    QPushButton* button(const char* name) const { return form->findChild<QPushButton*>(name); }
    void press(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    void type(tarvelin::Field field, const QString& text) const {
        driver::type(*form, field, text);
    }
    // The worked example with this many shots, every step pressed.
    void workedExample(const QString& shots) const {
        for (const QString& action : {QString("Text1=4"), "Text4=" + shots, QString("Text5=4"),
                                      QString("Text7=5"), QString("Command1"), QString("Check1")}) {
            act(*form, action);
        }
        for (const char* step : {"Command2", "Command3", "Command4", "Command5"}) {
            press(step);
        }
    }
    // The odds tooltip, if one is on screen.
    OddsTip* shownTip() const {
        auto* tip = form->findChild<OddsTip*>();
        return tip != nullptr && tip->isVisible() ? tip : nullptr;
    }
    QAction* copyOddsEntry(tarvelin::Field field, const QString& entry = "Copy Odds") const {
        return menuEntry(*form, field, entry);
    }
    // Every widget shows exactly what the sheet holds.
    void expectMirrored() const {
        for (const tarvelin::Field field : tarvelin::kAllFields) {
            QCOMPARE(form->field(field)->text(), sheetText(*form, field));
        }
        for (const tarvelin::Box box : tarvelin::kAllBoxes) {
            QCOMPARE(form->box(box)->isChecked(), form->sheet().box(box));
        }
    }
};

// Runs a test class on a screen with room for the form at 24 px, so that only
// a case meant to outgrow the screen does. The screen's file lies in the
// working folder, named relative to it: Qt splits the platform's arguments at
// ':', which would cut a Windows path after its drive letter.
template <class Test>
int runOnTestScreen(int argc, char* argv[], const QString& name) {
    const QTemporaryDir dir(name + "-XXXXXX");
    QFile screens(dir.filePath("screens.json"));
    if (!screens.open(QIODevice::WriteOnly) ||
        screens.write(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": 1600,)"
                      R"( "height": 1200, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") <
            0) {
        return 1;
    }
    screens.close();
    const QString config = QDir::current().relativeFilePath(screens.fileName());
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    QApplication app(argc, argv);
    Form1::installAccessibleRole();
    Test test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace driver
