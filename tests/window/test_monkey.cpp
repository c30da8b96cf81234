// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Thousands of random but reproducible user events on the real window:
// clicks on every control, typing, pasting, cutting, undo, Space, Tab and
// assistive-technology edits, with failure messages dismissed as they come.
// After every event the widgets must show exactly what the sheet holds and
// focus must be on one of the window's controls.
//
// TARVELIN_MONKEY_SEED and TARVELIN_MONKEY_EVENTS change the run; a failure
// prints both, with the event that broke it, so it can be replayed.
#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <random>

#include "window/form1.h"

using tarvelin::Box;
using tarvelin::Field;

namespace {

unsigned envNumber(const char* name, unsigned fallback) {
    bool ok = false;
    const unsigned value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}

const char* const kWords[] = {"4",    "12",      "0",        "-1",     "7",       "2.5",
                              "2,5",  "11",      "5.5",      "1e309",  "-0",      "nan",
                              "four", " 4 ",     "4 shots",  "1e-400", "9",       "6",
                              "3",    "1.7e308", "-1.7e308", "\t",     "\xc3\xa9"};

// keyClicks knows only ASCII; other characters arrive as a key event that
// carries just the text, as an input method would send them.
void typeInto(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128 && c.isPrint()) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

}  // namespace

class TestMonkey : public QObject {
    Q_OBJECT

private:
    std::mt19937 random_;

    unsigned pick(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(random_); }

    QString randomText() {
        if (pick(3) == 0) {
            static const QString chars = "0123456789.,-+eE x";
            QString text;
            for (unsigned n = pick(8); n > 0; --n) {
                text += chars[int(pick(unsigned(chars.size())))];
            }
            return text;
        }
        return QString::fromUtf8(kWords[pick(std::size(kWords))]);
    }

    // Typing, pasting or an assistive edit into a field, by kind.
    QString typingEvent(QLineEdit* field, unsigned kind) {
        QString what;
        switch (kind) {
        case 2: {
            const QString text = randomText();
            what = "type \"" + text + "\" into " + field->objectName();
            field->setFocus();
            typeInto(field, text);
            break;
        }
        case 3: {
            const QString text = pick(20) == 0 ? QString(100000, '9') : randomText();
            what =
                "paste " + QString::number(text.size()) + " characters into " + field->objectName();
            QApplication::clipboard()->setText(text);
            field->setFocus();
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            break;
        }
        default: {
            const QString text = randomText();
            what = "assistive text \"" + text + "\" into " + field->objectName();
            QAccessible::queryAccessibleInterface(field)->setText(QAccessible::Value, text);
            break;
        }
        }
        return what;
    }

    // One random event on the form, said in words for a failure to name.
    QString randomEvent(Form1& form, const QList<QWidget*>& controls) {
        QString what;
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
        QLineEdit* field = form.field(tarvelin::kAllFields[pick(9)]);
        const unsigned kind = pick(9);
        switch (kind) {
        case 0:
        case 1: {
            QWidget* target = controls[int(pick(unsigned(controls.size())))];
            what = "click " + target->objectName();
            QTest::mouseClick(target, Qt::LeftButton, {},
                              QPoint(int(pick(unsigned(target->width()))),
                                     int(pick(unsigned(target->height())))));
            break;
        }
        case 2:
        case 3:
        case 7:
            what = typingEvent(field, kind);
            break;
        case 4:
            what = "Space on " + focus->objectName();
            QTest::keyClick(focus, Qt::Key_Space);
            break;
        case 5:
            what = "Tab from " + focus->objectName();
            QTest::keyClick(focus, Qt::Key_Tab, pick(2) ? Qt::ShiftModifier : Qt::NoModifier);
            break;
        case 6: {
            const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
                {Qt::Key_Backspace, Qt::NoModifier}, {Qt::Key_Delete, Qt::NoModifier},
                {Qt::Key_A, Qt::ControlModifier},    {Qt::Key_Z, Qt::ControlModifier},
                {Qt::Key_Y, Qt::ControlModifier},    {Qt::Key_X, Qt::ControlModifier},
                {Qt::Key_Home, Qt::NoModifier},      {Qt::Key_Return, Qt::NoModifier}};
            const auto& [key, modifiers] = keys[pick(std::size(keys))];
            what = "key " + QString::number(key, 16) + " on " + focus->objectName();
            QTest::keyClick(focus, key, modifiers);
            break;
        }
        default: {
            QCheckBox* box = form.box(tarvelin::kAllBoxes[pick(6)]);
            what = "toggle " + box->objectName();
            box->toggle();
            break;
        }
        }
        return what;
    }

    // The widgets show what the sheet holds, and focus is on a control.
    static void checkAgrees(const Form1& form, const QList<QWidget*>& controls,
                            const QString& where) {
        for (const Field f : tarvelin::kAllFields) {
            QVERIFY2(form.field(f)->text() == QString::fromStdString(form.sheet().text(f)),
                     qPrintable(where + ": " + form.field(f)->objectName() + " disagrees"));
        }
        for (const Box b : tarvelin::kAllBoxes) {
            QVERIFY2(form.box(b)->isChecked() == form.sheet().box(b),
                     qPrintable(where + ": " + form.box(b)->objectName() + " disagrees"));
        }
        QWidget* now = QApplication::focusWidget();
        QVERIFY2(now != nullptr && controls.contains(now),
                 qPrintable(where + ": focus is not on a control"));
    }

private slots:
    void randomEvents() {
        const unsigned seed = envNumber("TARVELIN_MONKEY_SEED", 20261207);
        const unsigned count = envNumber("TARVELIN_MONKEY_EVENTS", 5000);
        random_.seed(seed);

        Form1 form(pick(2) == 0 ? "." : ",");
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QList<QWidget*> controls;
        for (QWidget* w : form.findChildren<QWidget*>()) {
            if (w->focusPolicy() != Qt::NoFocus) {
                controls << w;
            }
        }
        QCOMPARE(controls.size(), 21);

        unsigned messages = 0;
        for (unsigned event = 0; event < count; ++event) {
            const QString what = randomEvent(form, controls);
            const QString where = QString("seed %1, event %2 (%3)").arg(seed).arg(event).arg(what);
            if (QMessageBox* message = form.message()) {
                QVERIFY2(!message->text().isEmpty(), qPrintable(where));
                ++messages;
                message->done(QMessageBox::Ok);
                QCoreApplication::processEvents();
            }
            checkAgrees(form, controls, where);
            if (QTest::currentTestFailed()) {
                return;
            }
            QVERIFY2(form.isVisible(), qPrintable(where + ": the window closed"));
        }
        qInfo("monkey: seed %u, %u events, %u failure messages dismissed", seed, count, messages);
    }
};

QTEST_MAIN(TestMonkey)
#include "test_monkey.moc"
